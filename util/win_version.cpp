#include "util/win_version.h"

namespace util {

std::string WindowsVersionName(const WinVersion& v) {
  switch (v.platform) {
    case WinPlatform::kWin32s: return "32s";
    case WinPlatform::kWindows9x:
      if (v.major != 4) return "?";
      if (v.minor < 10) return "95";
      if (v.minor < 90) return "98";
      return "Me";
    case WinPlatform::kWindowsNT: {
      struct Row {
        unsigned major;
        int minor;  // -1: any minor version
        const char* name;
      };
      static const Row kNames[] = {
          {3, 51, "NT 3.51"}, {4, 0, "NT 4"}, {5, 0, "2000"}, {5, 1, "XP"}, {5, 2, ".NET Server"}, {6, -1, "Vista"},
      };
      for (const Row& row : kNames)
        if (row.major == v.major && (row.minor < 0 || static_cast<unsigned>(row.minor) == v.minor)) return row.name;
      return "?";
    }
    case WinPlatform::kUnknown: break;
  }
  return "?";
}

bool IsXPOrLater(const WinVersion& v) {
  return v.platform == WinPlatform::kWindowsNT && ((v.major == 5 && v.minor >= 1) || v.major > 5);
}

}  // namespace util
