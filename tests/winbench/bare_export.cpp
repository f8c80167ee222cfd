// The baseline of the batch benchmark: the least a program does to save
// every icon of a file as an icon file. For each icon it extracts the icon
// (ExtractIconA), reads its two bitmaps back (GetIconInfo, GetDIBits: the
// colours at 32 bits and the mask) and writes one .ico of that one image
// with one CreateFile and one WriteFile.
//
// Usage: bare_export.exe SOURCE FOLDER   (FOLDER must exist)
// The exit code is the number of files written.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// Owners of the handles the program makes.
struct IconDestroyer {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct ObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct FileCloser {
  void operator()(HANDLE file) const { CloseHandle(file); }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter>;
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using File = std::unique_ptr<void, FileCloser>;

// An icon file's directory with its one entry.
#pragma pack(push, 2)
struct IconDirectory {
  WORD reserved, type, count;
  BYTE width, height, colors, zero;
  WORD planes, bit_count;
  DWORD bytes, offset;
};
#pragma pack(pop)
static_assert(sizeof(IconDirectory) == 22, "ICONDIR and one ICONDIRENTRY");

template <typename T>
void Append(std::vector<uint8_t>& out, const T& value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  out.insert(out.end(), bytes, bytes + sizeof value);
}

// The icon's bitmaps as an icon file of one 32-bit image with its mask;
// empty on failure.
std::vector<uint8_t> IconFile(HDC dc, HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  const Bitmap color(info.hbmColor), mask_bitmap(info.hbmMask);
  BITMAP bm{};
  if (!color || !GetObjectA(color.get(), sizeof bm, &bm)) return {};
  const int width = bm.bmWidth, height = bm.bmHeight;
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } bi{};
  bi.header = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint8_t> colors(static_cast<size_t>(width) * height * 4);
  std::vector<uint8_t> mask(static_cast<size_t>((width + 31) / 32) * 4 * height);
  auto* info_header = reinterpret_cast<BITMAPINFO*>(&bi);
  if (GetDIBits(dc, color.get(), 0, height, colors.data(), info_header, DIB_RGB_COLORS) != height) return {};
  bi.header.biBitCount = 1;
  if (GetDIBits(dc, mask_bitmap.get(), 0, height, mask.data(), info_header, DIB_RGB_COLORS) != height) return {};

  const BITMAPINFOHEADER header{sizeof header, width, height * 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  IconDirectory directory{};
  directory.type = directory.count = directory.planes = 1;
  directory.width = static_cast<BYTE>(width < 256 ? width : 0);
  directory.height = static_cast<BYTE>(height < 256 ? height : 0);
  directory.bit_count = 32;
  directory.bytes = static_cast<DWORD>(sizeof header + colors.size() + mask.size());
  directory.offset = sizeof directory;
  std::vector<uint8_t> file;
  Append(file, directory);
  Append(file, header);
  file.insert(file.end(), colors.begin(), colors.end());
  file.insert(file.end(), mask.begin(), mask.end());
  return file;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  File file(handle);
  DWORD done = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
         done == bytes.size() && CloseHandle(file.release());
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc != 3) return 0;
  const std::string source = __argv[1], folder = __argv[2];
  const UINT count = static_cast<UINT>(reinterpret_cast<UINT_PTR>(ExtractIconA(instance, source.c_str(), UINT(-1))));
  const MemoryDc dc(CreateCompatibleDC(nullptr));
  int written = 0;
  for (UINT i = 0; i < count; ++i) {
    const Icon icon(ExtractIconA(instance, source.c_str(), i));
    if (!icon) continue;
    char name[32];
    wsprintfA(name, "\\ico%04u.ico", i + 1);
    const std::vector<uint8_t> file = IconFile(dc.get(), icon.get());
    if (!file.empty() && Write(folder + name, file)) ++written;
  }
  return written;
}
