// Writing one exported file whose bytes are ready in memory.
//
// Most exports write into a fresh folder, where there is nothing to protect:
// a new file is created in place, written with one write and closed, and
// removed again when any of that fails. Only an existing file is replaced
// the careful way (util::WriteFileAtomically: written beside it, flushed,
// moved over it), so that a failure never destroys it. The two differ by
// about a millisecond per file under Wine, which is most of the cost of an
// exported icon.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/atomic_file.h"

namespace app {

util::FileWriteResult WriteExportFile(const std::string& path, const std::vector<uint8_t>& bytes);

// "the file could not be created", ... for error messages.
const char* DescribeFileWriteResult(util::FileWriteResult result);

}  // namespace app
