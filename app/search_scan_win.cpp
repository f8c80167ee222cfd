#include "app/search_scan_win.h"

#include "imaging/icon_file_check_win.h"

namespace app {

uint32_t TShellScanFileSystem::IconCount(const std::string& name) {
  // The structural check walks the same directories as the shell's count
  // query and comes to the same number, so the shell, which would open and
  // map the file a second time, is asked only about a file the check could
  // not open (a folder matching the mask, a file held by another process).
  const imaging::IconFileInspection inspection = shell_.Inspect(name);
  if (inspection.opened) return inspection.check.damaged ? 0 : inspection.check.icon_count;
  return shell_.Count(inspection.Source(name));
}

}  // namespace app
