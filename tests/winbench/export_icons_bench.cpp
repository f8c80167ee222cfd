// ExportIcons against a minimal loop that makes the same platform calls and
// writes the same bytes.
//
// For every icon of the file the reference loop extracts the icon, reads its
// bitmaps (icon info, a 32-bit copy and the mask bits for .ico; the icon
// drawn on a white 32-bit DIB section for .bmp and .jpg), encodes them with
// the same portable encoders and writes the file with one CreateFile, one
// WriteFile and one CloseHandle. ExportIcons adds the structural check of
// the source, the icon and bitmap objects, the name building and the
// replace-when-complete file writing. Before timing, both sides' files are
// compared byte for byte, so that the two loops provably do the same work.
//
// Usage: export_icons_bench [file]   (default: the system folder's shell32.dll)
#include <windows.h>

#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/export_engine_win.h"
#include "app/export_names.h"
#include "app/globals.h"
#include "imaging/image_formats.h"
#include "imaging/saveicons.h"
#include "util/atomic_file.h"
#include "util/byte_sink.h"
#include "util/file_utils.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
  CloseHandle(h);
  return ok;
}

struct Dib32 {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  uint32_t* bits = nullptr;
  Dib32(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(dc, bitmap);
  }
  ~Dib32() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

// One icon file: icon info, 32-bit copy, mask bits, encoding, one write.
bool ReferenceIco(HICON icon, const std::string& path) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  BITMAP bm{};
  GetObjectA(info.hbmColor, sizeof bm, &bm);
  imaging::Image32 color(bm.bmWidth, bm.bmHeight);
  imaging::MaskImage mask(bm.bmWidth, bm.bmHeight);
  {
    Dib32 copy(bm.bmWidth, bm.bmHeight);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, info.hbmColor);
    BitBlt(copy.dc, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    GdiFlush();
    std::memcpy(color.pixels.data(), copy.bits, color.pixels.size() * 4);
  }
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } mask_info{};
  mask_info.header.biSize = sizeof(BITMAPINFOHEADER);
  mask_info.header.biWidth = bm.bmWidth;
  mask_info.header.biHeight = bm.bmHeight;
  mask_info.header.biPlanes = 1;
  mask_info.header.biBitCount = 1;
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, info.hbmMask, 0, static_cast<UINT>(bm.bmHeight), mask.bits.data(),
            reinterpret_cast<BITMAPINFO*>(&mask_info), DIB_RGB_COLORS);
  DeleteDC(dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  util::MemorySink sink;
  if (imaging::SaveIconImageToSink(sink, color, mask) < 0) return false;
  return WriteWhole(path, sink.bytes());
}

// One picture file: the icon drawn on white, encoded, one write.
bool ReferencePicture(HICON icon, const std::string& path, int type) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  BITMAP bm{};
  GetObjectA(info.hbmColor, sizeof bm, &bm);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  Dib32 picture(bm.bmWidth, bm.bmHeight);
  std::fill(picture.bits, picture.bits + bm.bmWidth * bm.bmHeight, 0x00FFFFFFu);
  DrawIconEx(picture.dc, 0, 0, icon, bm.bmWidth, bm.bmHeight, 0, nullptr, DI_NORMAL);
  GdiFlush();
  imaging::BitmapView view{bm.bmWidth, bm.bmHeight, 32, static_cast<size_t>(bm.bmWidth) * 4,
                           reinterpret_cast<uint8_t*>(picture.bits)};
  util::MemorySink sink;
  if (imaging::EncodeBitmap(view, sink, type) != imaging::ImageWriteResult::kOk) return false;
  return WriteWhole(path, sink.bytes());
}

int ReferenceLoop(const std::string& source, const std::string& folder, app::TExportType type) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const UINT total = static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(instance, source.c_str(), UINT(-1))));
  const std::string ext = app::PerIconExtension(type);
  const std::string stem = util::BaseNameWithoutExt(source);
  int written = 0;
  for (UINT i = 0; i < total; ++i) {
    HICON icon = ExtractIconA(instance, source.c_str(), i);
    if (!icon) continue;
    const std::string path = app::PerIconFileName(folder, stem, static_cast<int>(i), ext);
    if (type == app::etIcon ? ReferenceIco(icon, path) : ReferencePicture(icon, path, type)) ++written;
    DestroyIcon(icon);
  }
  return written;
}

int EngineLoop(app::TExportWork& work, const std::string& source, const std::string& folder,
               app::TExportType type) {
  app::TExportRequest request;
  request.Type = type;
  request.Source = source;
  request.DestFolder = folder;
  int count = 0;
  app::ExportIcons(work, count, request, 0);
  return count;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(h, nullptr));
  DWORD done = 0;
  if (!ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr)) bytes.clear();
  CloseHandle(h);
  return bytes;
}

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(find, &fd));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string source = bench::SourceArgument(argc, argv);
  // The batch never asks before replacing: every round rewrites the same files.
  app::BatchMode = true;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string root = std::string(temp) + "tamsel-export-bench-" + std::to_string(GetCurrentProcessId());
  const std::string ref_folder = root + "\\ref";
  const std::string engine_folder = root + "\\engine";
  CreateDirectoryA(root.c_str(), nullptr);

  const struct {
    app::TExportType type;
    const char* name;
    double goal;
  } cases[] = {{app::etIcon, ".ico", 1.2}, {app::etBitmap, ".bmp", 1.2}, {app::etJPEG, ".jpg", 1.5}};
  const int kRounds = 9;
  int status = 0;
  app::TExportWork work;
  std::printf("export_icons_bench: %s, %d rounds each\n", source.c_str(), kRounds);
  for (const auto& c : cases) {
    CreateDirectoryA(ref_folder.c_str(), nullptr);
    CreateDirectoryA(engine_folder.c_str(), nullptr);
    // Warm up both, then check that they wrote the same files.
    const int ref_count = ReferenceLoop(source, ref_folder, c.type);
    const int engine_count = EngineLoop(work, source, engine_folder, c.type);
    bool same = ref_count == engine_count && ref_count > 0;
    for (int i = 0; same && i < ref_count; ++i) {
      const std::string name = app::PerIconFileName("", util::BaseNameWithoutExt(source), i, c.name);
      const std::vector<uint8_t> a = ReadAll(ref_folder + "\\" + name), b = ReadAll(engine_folder + "\\" + name);
      if (a.empty() || a != b) {
        std::printf("  %s: %s differs (%u and %u bytes)\n", c.name, name.c_str(), static_cast<unsigned>(a.size()),
                    static_cast<unsigned>(b.size()));
        same = false;
      }
    }
    if (!same) {
      std::printf("  %s: the loops do not write the same files (%d and %d); nothing to compare\n", c.name,
                  ref_count, engine_count);
      status = 1;
    } else {
      // Fresh folders (the usual export, emptied before every round outside
      // the timing), then the same folders again (every file replaced).
      for (const bool fresh : {true, false}) {
        std::vector<double> ref, engine;
        for (int round = 0; round < kRounds; ++round) {
          // Alternate the order so that drift favours neither side.
          for (int side = 0; side < 2; ++side) {
            const bool ref_side = (round + side) % 2 == 0;
            const std::string& folder = ref_side ? ref_folder : engine_folder;
            if (fresh) {
              RemoveFolder(folder);
              CreateDirectoryA(folder.c_str(), nullptr);
            }
            const double start = Now();
            if (ref_side) ReferenceLoop(source, ref_folder, c.type);
            else EngineLoop(work, source, engine_folder, c.type);
            (ref_side ? ref : engine).push_back(Now() - start);
          }
        }
        const double r = bench::Median(ref), e = bench::Median(engine);
        std::printf("  %s %s: %d icons; reference %.3f ms/icon, ExportIcons %.3f ms/icon, ratio %.3f%s\n", c.name,
                    fresh ? "into a fresh folder" : "replacing every file", ref_count, r * 1e3 / ref_count,
                    e * 1e3 / ref_count, e / r, fresh ? (c.goal == 1.2 ? " (goal <= 1.2)" : " (goal <= 1.5)") : "");
      }
    }
    RemoveFolder(ref_folder);
    RemoveFolder(engine_folder);
  }
  // Where the difference goes: the same 766 bytes written 184 times plainly
  // and the way the writers do it (beside the target, flushed, moved over it).
  {
    CreateDirectoryA(ref_folder.c_str(), nullptr);
    const std::vector<uint8_t> bytes(766, 0x5A);
    std::vector<double> plain, atomic;
    for (int round = 0; round < kRounds; ++round) {
      double start = Now();
      for (int i = 0; i < 184; ++i) WriteWhole(app::PerIconFileName(ref_folder, "p", i, ".ico"), bytes);
      plain.push_back(Now() - start);
      start = Now();
      for (int i = 0; i < 184; ++i)
        util::WriteFileAtomically(app::PerIconFileName(ref_folder, "a", i, ".ico"),
                                  [&](util::ByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); });
      atomic.push_back(Now() - start);
    }
    std::printf("  file writing alone: plain %.3f ms/file, replace-when-complete %.3f ms/file\n",
                bench::Median(plain) * 1e3 / 184, bench::Median(atomic) * 1e3 / 184);
    RemoveFolder(ref_folder);
  }
  RemoveDirectoryA(root.c_str());
  return status;
}
