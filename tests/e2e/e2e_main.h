// What the end-to-end tests share: where tamsel.exe is and how to run it.
#pragma once

#include <string>

namespace e2e {

// Windows path of the tamsel.exe under test (from --tamsel=...).
const std::string& TamselPath();

}  // namespace e2e
