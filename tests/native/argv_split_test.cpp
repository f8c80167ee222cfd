#include "app/export/argv_split.h"

#include <gtest/gtest.h>

namespace app {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, QuotingAndBackslashRules) {
  struct Case {
    const char* line;
    Args args;
  } cases[] = {
      {"tamsel.exe", {"tamsel.exe"}},
      {"\"C:\\Program Files\\tamsel.exe\" a b", {"C:\\Program Files\\tamsel.exe", "a", "b"}},
      {"t.exe   a\t\tb  ", {"t.exe", "a", "b"}},
      {"t.exe \"C:\\My Files\\a.dll\" -e", {"t.exe", "C:\\My Files\\a.dll", "-e"}},
      {"t.exe \"\"", {"t.exe", ""}},          // an empty argument survives
      {"t.exe a\\\\b", {"t.exe", "a\\\\b"}},  // backslashes without a quote are literal
      {"t.exe \"C:\\out\\\\\"", {"t.exe", "C:\\out\\"}},
      {"t.exe a\\\"b", {"t.exe", "a\"b"}},
      {"t.exe \"a\"\"b\"", {"t.exe", "a\"b"}},
      {"t.exe -desttype=\"html\"x", {"t.exe", "-desttype=htmlx"}},
      {"t.exe \"unterminated arg", {"t.exe", "unterminated arg"}},
      {"", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.args, SplitCommandLine(c.line)) << c.line;
}

}  // namespace
}  // namespace app
