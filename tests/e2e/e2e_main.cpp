#include <gtest/gtest.h>

#include <cstring>

#include "e2e/e2e_main.h"
#include "win/win_test_support.h"

namespace e2e {
namespace {
std::string g_tamsel;
}

const std::string& TamselPath() { return g_tamsel; }

}  // namespace e2e

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--tamsel=", 9) == 0) e2e::g_tamsel = testing_support::ToWindowsPath(argv[i] + 9);
  }
  if (e2e::g_tamsel.empty()) {
    std::fprintf(stderr, "usage: tamsel_e2e_tests --tamsel=PATH\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}
