#include <gtest/gtest.h>

#include <cstring>

#include <windows.h>
#include <shlwapi.h>

#include "e2e/e2e_main.h"
#include "win/win_test_support.h"

namespace e2e {
namespace {
std::string g_tamsel;
std::string g_tamsel64;
}  // namespace

// Every test starts tamsel.exe with the settings of a user who has run it
// once: what an earlier test stored (the window's placement, recent files)
// goes, and the help that only the very first start opens stays shut.
class FreshSettings : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Korvane\\Tamsel");
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Korvane\\Tamsel\\Settings", 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
      RegSetValueExA(key, "Run", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
      RegCloseKey(key);
    }
  }
};

// Once a test has moved the X keyboard focus to tamsel.exe's window (real
// keys through xdotool), what this process writes to standard output under
// Wine no longer arrives, while standard error does: failures and results
// are repeated there.
class StderrReport : public ::testing::EmptyTestEventListener {
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (result.failed())
      std::fprintf(stderr, "%s:%d: Failure\n%s\n", result.file_name() ? result.file_name() : "?", result.line_number(),
                   result.message());
  }
  void OnTestEnd(const ::testing::TestInfo& info) override {
    std::fprintf(stderr, "[ %s ] %s.%s\n", info.result()->Passed() ? "  PASSED" : "  FAILED", info.test_suite_name(),
                 info.name());
  }
};

const std::string& TamselPath() { return g_tamsel; }
const std::string& Tamsel64Path() { return g_tamsel64; }

}  // namespace e2e

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new e2e::StderrReport);
  ::testing::UnitTest::GetInstance()->listeners().Append(new e2e::FreshSettings);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--tamsel=", 9) == 0) e2e::g_tamsel = testing_support::ToWindowsPath(argv[i] + 9);
    if (std::strncmp(argv[i], "--tamsel64=", 11) == 0) e2e::g_tamsel64 = testing_support::ToWindowsPath(argv[i] + 11);
  }
  if (e2e::g_tamsel.empty()) {
    std::fprintf(stderr, "usage: tamsel_e2e_tests --tamsel=PATH\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}
