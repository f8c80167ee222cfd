// Export types shared by the command line, the export engine and the writers
// (whose image-type codes 1 to 3 are the same numbers).
#pragma once

namespace imaging {

enum TExportType {
  etIcon = 0,
  etBitmap = 1,
  etJPEG = 2,
  etMetafile = 3,
  etHTML = 11,
  etDBase = 12,
};

}  // namespace imaging
