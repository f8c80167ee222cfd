// ExportIcons against a minimal loop that makes the same platform calls or
// fewer and writes the same bytes; what the read-back and the known icon
// size save; and the cost of one file as the export folder fills up.
//
// For every icon of the file the reference loop extracts the icon and reads
// its pixels on one device context kept for the whole loop (the icon's
// bitmaps straight through GetDIBits for .ico; the icon drawn on one white
// 32-bit DIB section, also kept, for .bmp, .jpg and the HTML images), at
// the size the shell extracts at; it encodes them with the same portable
// encoders and writes each file with one CreateFile, one WriteFile and one
// CloseHandle. ExportIcons adds the structural check of the source, the
// icon and bitmap objects, the name building, the listing of the folder and
// the replace-when-complete writing. Before timing, both sides' files are
// compared byte for byte, so that the two loops provably do the same work.
//
// Usage: export_icons_bench [file]   (default: the system folder's shell32.dll)
//        export_icons_bench --files  (only the cost of a file as the folder fills)
#include <windows.h>

#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/export/export_engine_win.h"
#include "app/export/export_file_win.h"
#include "app/export/export_names.h"
#include "app/globals.h"
#include "imaging/icon_win.h"
#include "imaging/image_formats.h"
#include "imaging/saveicons.h"
#include "imaging/saveicons_win.h"
#include "util/atomic_file.h"
#include "util/byte_sink.h"
#include "util/file_utils.h"

namespace {

using bench::Now;

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
  HANDLE h =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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

// What the reference loop keeps from icon to icon, as the engine keeps its
// work bitmap: one device context and one white picture of the icon size.
struct ReferenceWork {
  int width = GetSystemMetrics(SM_CXICON);
  int height = GetSystemMetrics(SM_CYICON);
  HDC dc = CreateCompatibleDC(nullptr);
  Dib32 picture{width, height};
  ~ReferenceWork() { DeleteDC(dc); }
};

bool ReadBits(HDC dc, HBITMAP bitmap, int width, int height, int bits, void* out) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bits);
  return GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), out, reinterpret_cast<BITMAPINFO*>(&info),
                   DIB_RGB_COLORS) == height;
}

// One icon file: the icon's two bitmaps read, encoded, one write.
bool ReferenceIco(ReferenceWork& work, HICON icon, const std::string& path) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  imaging::Image32 color(work.width, work.height);
  imaging::MaskImage mask(work.width, work.height);
  const bool read = ReadBits(work.dc, info.hbmColor, work.width, work.height, 32, color.pixels.data()) &&
                    ReadBits(work.dc, info.hbmMask, work.width, work.height, 1, mask.bits.data());
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  util::MemorySink sink;
  if (!read || imaging::SaveIconImageToSink(sink, color, mask) < 0) return false;
  return WriteWhole(path, sink.bytes());
}

// One picture file: the icon drawn on white, encoded, one write.
bool ReferencePicture(ReferenceWork& work, HICON icon, const std::string& path, int type) {
  Dib32& picture = work.picture;
  std::fill(picture.bits, picture.bits + work.width * work.height, 0x00FFFFFFu);
  DrawIconEx(picture.dc, 0, 0, icon, work.width, work.height, 0, nullptr, DI_NORMAL);
  GdiFlush();
  imaging::BitmapView view{work.width, work.height, 32, static_cast<size_t>(work.width) * 4,
                           reinterpret_cast<uint8_t*>(picture.bits)};
  util::MemorySink sink;
  if (imaging::EncodeBitmap(view, sink, type == imaging::etHTML ? imaging::etJPEG : type) !=
      imaging::ImageWriteResult::kOk)
    return false;
  return WriteWhole(path, sink.bytes());
}

int ReferenceLoop(const std::string& source, const std::string& folder, imaging::TExportType type) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const UINT total = static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(instance, source.c_str(), UINT(-1))));
  const std::string ext = app::PerIconExtension(type);
  const std::string stem = util::BaseNameWithoutExt(source);
  ReferenceWork work;
  int written = 0;
  for (UINT i = 0; i < total; ++i) {
    HICON icon = ExtractIconA(instance, source.c_str(), i);
    if (!icon) continue;
    const std::string path = app::PerIconFileName(folder, stem, static_cast<int>(i), ext);
    if (type == imaging::etIcon ? ReferenceIco(work, icon, path) : ReferencePicture(work, icon, path, type)) ++written;
    DestroyIcon(icon);
  }
  return written;
}

int EngineLoop(app::TExportWork& work, const std::string& source, const std::string& folder,
               imaging::TExportType type) {
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

// The icon's pixels read back the way the engine did before: a BitBlt copy
// into a 32-bit DIB section (two device contexts) and the mask through a
// third device context.
bool OldReadIconImages(HICON icon, imaging::Image32* color, imaging::MaskImage* mask) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  util::UniqueBitmap mask_bitmap(info.hbmMask), color_bitmap(info.hbmColor);
  if (!color_bitmap || !imaging::CopyToDib32(color_bitmap.get(), color)) return false;
  *mask = imaging::MaskImage(color->width, color->height);
  util::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  return ReadBits(dc.get(), mask_bitmap.get(), color->width, color->height, 1, mask->bits.data());
}

// What the read-back through GetDIBits and the known icon size save, per
// icon of the source, against the way the engine did both before.
void ReadBackAndSize(const std::string& source, int rounds) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const UINT total = static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(instance, source.c_str(), UINT(-1))));
  std::vector<util::UniqueIcon> icons;
  for (UINT i = 0; i < total; ++i)
    if (HICON icon = ExtractIconA(instance, source.c_str(), i)) icons.emplace_back(icon);
  if (icons.empty()) return;
  std::vector<double> old_read, new_read, size_query;
  imaging::Image32 color;
  imaging::MaskImage mask;
  for (int round = 0; round < rounds; ++round) {
    double start = Now();
    for (const util::UniqueIcon& icon : icons) OldReadIconImages(icon.get(), &color, &mask);
    old_read.push_back(Now() - start);
    start = Now();
    for (const util::UniqueIcon& icon : icons) imaging::ReadIconImages(icon.get(), &color, &mask);
    new_read.push_back(Now() - start);
    start = Now();
    for (const util::UniqueIcon& icon : icons) imaging::IconSize(icon.get());
    size_query.push_back(Now() - start);
  }
  const double n = static_cast<double>(icons.size());
  std::printf("  read-back per icon: copy through a DIB section %.3f ms, GetDIBits on one context %.3f ms (%.2f)\n",
              bench::Median(old_read) * 1e3 / n, bench::Median(new_read) * 1e3 / n,
              bench::Median(new_read) / bench::Median(old_read));
  std::printf("  size per icon read from its bitmaps: %.3f ms (now taken from the extraction instead)\n",
              bench::Median(size_query) * 1e3 / n);
}

// The cost of one file as the folder fills: N new files, then the same N
// replaced, written the way the engine writes them (TExportFolder) and the
// way it did before (in place for a new name, beside and moved over for an
// existing one). The goal is a flat curve: 5,000 files within 1.3 x the
// cost per file of 184.
void FileCostCurve(const std::string& root, const char* where) {
  const std::vector<uint8_t> bytes(766, 0x5A);
  const int sizes[] = {184, 1000, 5000};
  const int kRounds = 3;
  struct Row {
    double new_old, new_engine, replaced_old, replaced_engine;
  } rows[3] = {};
  for (int s = 0; s < 3; ++s) {
    const int n = sizes[s];
    std::vector<double> samples[4];
    for (int round = 0; round < kRounds; ++round) {
      for (int way = 0; way < 2; ++way) {
        const bool engine = (round + way) % 2 == 0;
        bench::RemoveFolder(root);
        CreateDirectoryA(root.c_str(), nullptr);
        std::vector<std::string> names;
        for (int i = 0; i < n; ++i) names.push_back(app::PerIconFileName(root, "curve", i, ".ico"));
        for (int pass = 0; pass < 2; ++pass) {  // 0: new names, 1: every file replaced
          const double start = Now();
          if (engine) {
            app::TExportFolder folder(root);
            for (const std::string& name : names) folder.Write(name, bytes);
          } else {
            for (const std::string& name : names) {
              if (pass == 0) {
                HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
                DWORD done = 0;
                WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
                CloseHandle(h);
              } else {
                util::WriteFileAtomically(name,
                                          [&](util::ByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); });
              }
            }
          }
          samples[pass * 2 + (engine ? 1 : 0)].push_back((Now() - start) * 1e3 / n);
        }
      }
    }
    rows[s] = {bench::Median(samples[0]), bench::Median(samples[1]), bench::Median(samples[2]),
               bench::Median(samples[3])};
  }
  bench::RemoveFolder(root);
  std::printf("  cost per file as the folder fills, %s (ms; ratio to 184 files):\n", where);
  std::printf("    %6s  %-22s %-22s %-22s %-22s\n", "files", "new, before", "new, TExportFolder", "replaced, before",
              "replaced, TExportFolder");
  for (int s = 0; s < 3; ++s) {
    std::printf("    %6d  %.3f (%.2f)%10s %.3f (%.2f)%10s %.3f (%.2f)%10s %.3f (%.2f)%s\n", sizes[s], rows[s].new_old,
                rows[s].new_old / rows[0].new_old, "", rows[s].new_engine, rows[s].new_engine / rows[0].new_engine, "",
                rows[s].replaced_old, rows[s].replaced_old / rows[0].replaced_old, "", rows[s].replaced_engine,
                rows[s].replaced_engine / rows[0].replaced_engine, s == 2 ? "   (goal for TExportFolder <= 1.3)" : "");
  }
}

// On the disk (the temporary folder) and, where the host has one, in memory
// (tmpfs), where nothing but the program's own cost can grow.
void FileCostCurves() {
  const std::string name = "tamsel-file-curve-" + std::to_string(GetCurrentProcessId());
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  FileCostCurve(std::string(temp) + name, "on disk");
  const DWORD shm = GetFileAttributesA("Z:\\dev\\shm");
  if (shm != INVALID_FILE_ATTRIBUTES && (shm & FILE_ATTRIBUTE_DIRECTORY))
    FileCostCurve("Z:\\dev\\shm\\" + name, "in memory");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--files") {
    FileCostCurves();
    return 0;
  }
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
    imaging::TExportType type;
    const char* name;
    double goal;
  } cases[] = {{imaging::etIcon, ".ico", 1.2},
               {imaging::etBitmap, ".bmp", 1.2},
               {imaging::etJPEG, ".jpg", 1.5},
               {imaging::etHTML, ".jpg", 1.5}};
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
      if (c.type == imaging::etHTML && i == 0)
        std::printf("  HTML: the images compared; the document is the engine's alone\n");
      const std::vector<uint8_t> a = ReadAll(ref_folder + "\\" + name), b = ReadAll(engine_folder + "\\" + name);
      if (a.empty() || a != b) {
        std::printf("  %s: %s differs (%u and %u bytes)\n", c.name, name.c_str(), static_cast<unsigned>(a.size()),
                    static_cast<unsigned>(b.size()));
        same = false;
      }
    }
    if (!same) {
      std::printf("  %s: the loops do not write the same files (%d and %d); nothing to compare\n", c.name, ref_count,
                  engine_count);
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
              bench::RemoveFolder(folder);
              CreateDirectoryA(folder.c_str(), nullptr);
            }
            const double start = Now();
            if (ref_side)
              ReferenceLoop(source, ref_folder, c.type);
            else
              EngineLoop(work, source, engine_folder, c.type);
            (ref_side ? ref : engine).push_back(Now() - start);
          }
        }
        const double r = bench::Median(ref), e = bench::Median(engine);
        std::printf("  %s %s: %d icons; reference %.3f ms/icon, ExportIcons %.3f ms/icon, ratio %.3f%s\n",
                    c.type == imaging::etHTML ? "HTML" : c.name, fresh ? "into a fresh folder" : "replacing every file",
                    ref_count, r * 1e3 / ref_count, e * 1e3 / ref_count, e / r,
                    fresh ? (c.goal == 1.2 ? " (goal <= 1.2)" : " (goal <= 1.5)") : "");
      }
    }
    bench::RemoveFolder(ref_folder);
    bench::RemoveFolder(engine_folder);
    DeleteFileA((engine_folder + ".htm").c_str());
  }
  ReadBackAndSize(source, kRounds);
  FileCostCurves();
  RemoveDirectoryA(root.c_str());
  return status;
}
