// Naming the running Windows version. The table works on plain numbers so
// that every row can be tested with an injected version.
#pragma once

#include <string>

namespace util {

enum class WinPlatform { kWin32s, kWindows9x, kWindowsNT, kUnknown };

struct WinVersion {
  WinPlatform platform = WinPlatform::kUnknown;
  unsigned major = 0;
  unsigned minor = 0;
};

// "95", "98", "Me", "NT 4", "2000", "XP", "Vista", ... or "?".
std::string WindowsVersionName(const WinVersion& version);
bool IsXPOrLater(const WinVersion& version);

}  // namespace util
