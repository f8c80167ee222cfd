#include "imaging/icon_file_check_win.h"

#include <windows.h>

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

IconFileInspection InspectOneFile(const std::string& path) {
  IconFileInspection result;
  result.source = path;
  const util::MappedFile file(path);
  if (!file.opened()) return result;
  result.opened = true;
  result.check = file.mapped() ? CheckIconFile(file.data(), file.size()) : Unmappable();
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
