// What the end-to-end tests share: where tamsel.exe is and how to run it.
#pragma once

#include <string>

namespace e2e {

// Windows path of the tamsel.exe under test (from --tamsel=...).
const std::string& TamselPath();

// Windows path of tamsel64.exe (from --tamsel64=...), for the tests that
// compare the two programs; empty when not given.
const std::string& Tamsel64Path();

}  // namespace e2e
