// The export types, under the names the export engine and the command line use.
#pragma once

#include "imaging/export_types.h"

namespace app {

using imaging::TExportType;
using imaging::etIcon;
using imaging::etBitmap;
using imaging::etJPEG;
using imaging::etMetafile;
using imaging::etPNG;
using imaging::etHTML;
using imaging::etDBase;

}  // namespace app
