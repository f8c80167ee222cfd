// Export types shared by the command line, the export engine and the writers.
#pragma once

namespace app {

enum TExportType {
  etIcon = 0,
  etBitmap = 1,
  etJPEG = 2,
  etMetafile = 3,
  etHTML = 11,
  etDBase = 12,
};

}  // namespace app
