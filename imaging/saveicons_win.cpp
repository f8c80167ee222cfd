#include "imaging/saveicons_win.h"

#include <cstring>
#include <vector>

#include "util/atomic_file.h"
#include "util/file_utils.h"
#include "util/file_utils_win.h"
#include "util/handles_win.h"

namespace imaging {

namespace {

// GetIconInfo hands out handles of 32 or less for "no bitmap"; those are
// neither used nor deleted.
HBITMAP RealBitmap(HBITMAP h) { return reinterpret_cast<uintptr_t>(h) > 32 ? h : nullptr; }

bool BitmapSize(HBITMAP bitmap, int* width, int* height) {
  BITMAP bm{};
  if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) == 0) return false;
  *width = bm.bmWidth;
  *height = bm.bmHeight;
  return true;
}

// The header of an uncompressed bottom-up DIB.
BITMAPINFOHEADER BottomUpHeader(int width, int height, WORD bit_count) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bit_count;
  header.biCompression = BI_RGB;
  return header;
}

// The bitmap's rows at 1 bit per pixel, black then white.
bool ReadMaskRows(HDC dc, HBITMAP bitmap, MaskImage* mask) {
  int width = 0, height = 0;
  if (!BitmapSize(bitmap, &width, &height) || width <= 0 || height <= 0) return false;
  *mask = MaskImage(width, height);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } info{};
  info.header = BottomUpHeader(width, height, 1);
  int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), mask->bits.data(),
                       reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  return rows == height;
}

// The bitmap's pixels at 32 bits, bottom row first, straight from the
// bitmap: the same pixels a copy into a 32-bit DIB section gives, without
// the section and the two device contexts of the copy.
bool ReadColorPixels(HDC dc, HBITMAP bitmap, int width, int height, Image32* image) {
  BITMAPINFO info{};
  info.bmiHeader = BottomUpHeader(width, height, 32);
  *image = Image32(width, height);
  int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), image->pixels.data(), &info, DIB_RGB_COLORS);
  return rows == height;
}

}  // namespace

bool CopyToDib32(HBITMAP bitmap, Image32* image) {
  int width = 0, height = 0;
  if (!BitmapSize(bitmap, &width, &height) || width <= 0 || height <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader = BottomUpHeader(width, height, 32);
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * 4 * static_cast<DWORD>(height);
  util::UniqueMemoryDc target_dc(CreateCompatibleDC(nullptr));
  util::UniqueMemoryDc source_dc(CreateCompatibleDC(nullptr));
  if (!target_dc || !source_dc) return false;
  void* bits = nullptr;
  util::UniqueBitmap section(CreateDIBSection(target_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section || !bits) return false;
  {
    util::SelectGuard select_target(target_dc.get(), section.get());
    util::SelectGuard select_source(source_dc.get(), bitmap);
    if (!select_target.ok() || !select_source.ok()) return false;
    if (!BitBlt(target_dc.get(), 0, 0, width, height, source_dc.get(), 0, 0, SRCCOPY)) return false;
    GdiFlush();
  }
  *image = Image32(width, height);
  std::memcpy(image->pixels.data(), bits, image->pixels.size() * sizeof(Pixel32));
  return true;
}

uint8_t GetIconColorDepth(HBITMAP bitmap) {
  Image32 image;
  if (!CopyToDib32(bitmap, &image)) return kDepth4;
  return imaging::GetIconColorDepth(image);
}

uint8_t GetIconColorDepth(const TBitmap& bitmap) {
  BitmapView view = bitmap.View();
  if (!view.Valid()) return kDepth4;
  Image32 image(view.width, view.height);
  int bytes = view.bits_per_pixel / 8;
  for (int row = 0; row < view.height; ++row) {
    const uint8_t* p = view.Row(row);
    Pixel32* out = image.pixels.data() + static_cast<size_t>(row) * view.width;
    for (int x = 0; x < view.width; ++x, p += bytes) out[x] = MakePixel(p[2], p[1], p[0], bytes == 4 ? p[3] : 0);
  }
  return imaging::GetIconColorDepth(image);
}

int ReadIconImages(HICON icon, Image32* color, MaskImage* mask) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return kIconNoInfo;
  util::UniqueBitmap mask_bitmap(RealBitmap(info.hbmMask));
  util::UniqueBitmap color_bitmap(RealBitmap(info.hbmColor));
  // GetIconInfo's bitmaps belong to no device context, so GetDIBits may
  // read them directly; one context serves both.
  util::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return kIconConversionFailed;

  if (!color_bitmap) {
    // A monochrome icon: mask above, image below, in one bitmap.
    MaskImage doubled;
    if (!mask_bitmap) return kIconNoColorBitmap;
    if (!ReadMaskRows(dc.get(), mask_bitmap.get(), &doubled)) return kIconConversionFailed;
    if (!SplitMonochromeMask(doubled, mask, color)) return kIconNoColorBitmap;
  } else {
    int width = 0, height = 0;
    if (!BitmapSize(color_bitmap.get(), &width, &height)) {
      MessageBoxA(nullptr, "GetObject did NOT work", "ERROR GetObject", MB_ICONERROR);
      return kIconConversionFailed;
    }
    if (width > kMaxIconSide || height > kMaxIconSide) return kIconTooLarge;
    if (width <= 0 || height <= 0) return kIconConversionFailed;
    if (!ReadColorPixels(dc.get(), color_bitmap.get(), width, height, color)) return kIconConversionFailed;
    if (!mask_bitmap || !ReadMaskRows(dc.get(), mask_bitmap.get(), mask)) return kIconConversionFailed;
  }
  return 0;
}

int SaveIconToFile(const std::string& file_name, HICON icon) {
  if (file_name.size() < 4) return kIconNameTooShort;
  Image32 color;
  MaskImage mask;
  const int read = ReadIconImages(icon, &color, &mask);
  if (read < 0) return read;
  return SaveIconImageToFile(file_name, color, mask);
}

namespace {

// The temporary file of SaveIconToStream, made with CREATE_NEW so that it
// is ours alone: another process, or another thread, exporting at the same
// time gets a name of its own. Removed when the object goes.
class TExclusiveTempFile {
 public:
  ~TExclusiveTempFile() {
    file_.reset();
    if (!path_.empty()) DeleteFileA(path_.c_str());
  }
  // Creates the first free one of folder + "zuiff.tmp", "zuiff1.tmp", ...
  bool Create() {
    const std::string folder = util::GetTempFolder();
    bool failed = false;
    // The naming loop asks whether each candidate is taken; creating the
    // file answers that and claims the name in one step.
    util::GetUniqueFileName(folder, "zuiff", "tmp", [&](const std::string& candidate) {
      file_.reset(CreateFileA(candidate.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr));
      if (file_) {
        path_ = candidate;
        return false;
      }
      const DWORD error = GetLastError();
      // A name being deleted by someone else answers "access denied" while
      // it still shows in the folder.
      const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                         (error == ERROR_ACCESS_DENIED && util::FileExistsAt(candidate));
      failed = !taken;
      return taken;
    });
    return !failed && file_;
  }
  HANDLE get() const { return file_.get(); }

 private:
  util::UniqueFile file_;
  std::string path_;
};

bool ReadWhole(HANDLE file, std::vector<uint8_t>* bytes) {
  const DWORD size = GetFileSize(file, nullptr);
  if (size == INVALID_FILE_SIZE || SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0) return false;
  bytes->resize(size);
  DWORD done = 0;
  return ReadFile(file, bytes->data(), size, &done, nullptr) && done == size;
}

}  // namespace

int SaveIconToStream(util::ByteSink& stream, HICON icon) {
  Image32 color;
  MaskImage mask;
  const int read = ReadIconImages(icon, &color, &mask);
  if (read < 0) return read;
  util::MemorySink encoded;
  const int result = SaveIconImageToSink(encoded, color, mask);
  if (result < 0) return result;

  // The bytes pass through the temporary file, written and read back
  // through the one handle that made it.
  TExclusiveTempFile file;
  if (!file.Create()) return kIconCreateFailed;
  std::vector<uint8_t> bytes;
  if (!util::WriteToFile(reinterpret_cast<intptr_t>(file.get()), encoded.bytes().data(), encoded.bytes().size()) ||
      !ReadWhole(file.get(), &bytes) || bytes != encoded.bytes()) {
    return kIconWriteFailed;
  }
  return stream.Write(bytes.data(), bytes.size()) ? result : kIconWriteFailed;
}

}  // namespace imaging
