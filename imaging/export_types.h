// Export types shared by the command line, the export engine and the writers
// (whose image-type codes 1 to 4 are the same numbers). PNG came after the
// HTML and dBase codes were fixed; it takes the next free picture code, so
// that a dBase memo type and a save dialog's filter index still count the
// picture types in order.
#pragma once

namespace imaging {

enum TExportType {
  etIcon = 0,
  etBitmap = 1,
  etJPEG = 2,
  etMetafile = 3,
  etPNG = 4,
  etHTML = 11,
  etDBase = 12,
};

}  // namespace imaging
