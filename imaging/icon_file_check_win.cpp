#include "imaging/icon_file_check_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "util/mapped_file_win.h"
#include "util/system_paths.h"
#include "util/system_paths_win.h"

namespace imaging {
namespace {

IconFileCheck Unmappable() {
  IconFileCheck c;
  c.damaged = true;
  c.problem = "file could not be mapped";
  return c;
}

// A file up to this size has its images checked through its mapping, all
// of whose pages may then stay resident until the check ends; a larger one
// (a system library with thousands of images) reads them through a buffer
// of this size, so that its images cost the working set no more.
constexpr size_t kImageBlock = 64 * 1024;
constexpr size_t kWholeFileLimit = 4 * kImageBlock;

// The images' bytes read from the file a block at a time. The check asks
// for them mostly in file order, so one block serves many images.
class BufferedImages : public IconImageSource {
 public:
  BufferedImages(HANDLE file, uint64_t size) : file_(file), size_(size), block_(kImageBlock) {}

  const uint8_t* Bytes(uint64_t offset, size_t length) override {
    if (offset < start_ || offset + length > start_ + filled_) {
      start_ = offset & ~uint64_t{4095};
      filled_ = 0;
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(start_);
      at.OffsetHigh = static_cast<DWORD>(start_ >> 32);
      const DWORD wanted = static_cast<DWORD>(std::min<uint64_t>(block_.size(), size_ - start_));
      DWORD got = 0;
      if (!ReadFile(file_, block_.data(), wanted, &got, &at)) return nullptr;
      filled_ = got;
      if (offset + length > start_ + filled_) return nullptr;
    }
    return block_.data() + (offset - start_);
  }

 private:
  HANDLE file_;
  uint64_t size_;
  std::vector<uint8_t> block_;
  uint64_t start_ = 0;
  size_t filled_ = 0;
};

IconFileInspection InspectOneFile(const std::string& path) {
  IconFileInspection result;
  result.source = path;
  const util::MappedFile file(path);
  if (!file.opened()) return result;
  result.opened = true;
  if (!file.mapped()) {
    result.check = Unmappable();
  } else if (file.size() <= kWholeFileLimit) {
    result.check = CheckIconFile(file.data(), file.size());
  } else {
    BufferedImages images(file.handle(), file.size());
    result.check = CheckIconFile(file.data(), file.size(), &images);
  }
  return result;
}

// A library that holds no icon groups of its own is, on 64-bit Windows 10
// and later, a system library whose icons the resource loader reads from
// SystemResources\<name>.mun. The shell's calls on the library give those
// icons there; reading them from the .mun file gives them everywhere.
bool MayKeepIconsElsewhere(const IconFileInspection& inspection) {
  return inspection.opened && !inspection.check.damaged && inspection.check.format == IconFileFormat::kPe &&
         inspection.check.icon_count == 0;
}

}  // namespace

IconFileInspection InspectIconFile(const std::string& path) {
  IconFileInspection own = InspectOneFile(util::NativePath(path));
  if (!MayKeepIconsElsewhere(own)) return own;
  const std::string mun = util::MunFilePath(path, util::WindowsFolder());
  if (mun.empty() || GetFileAttributesW(util::WidePathForOpen(mun).c_str()) == INVALID_FILE_ATTRIBUTES) return own;
  IconFileInspection resources = InspectOneFile(mun);
  const bool holds_icons = resources.opened && resources.check.HoldsIconStructure() && resources.check.icon_count > 0 &&
                           resources.check.format != IconFileFormat::kIco;
  return holds_icons ? resources : own;
}

}  // namespace imaging
