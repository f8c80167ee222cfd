// What a click on a contact label opens and what a help request asks for:
// the decisions behind the About window's labels and ShowHelp.
#include <gtest/gtest.h>

#include "app/about_links.h"
#include "app/help_request.h"

namespace app {
namespace {

TEST(LinkTargetTest, MailWebAndSchemes) {
  struct Case {
    const char* caption;
    const char* expected;
  } cases[] = {
      {kMailAddress, "mailto:tamsel@tamsel.example.org"},
      {"www.example.org", "http://www.example.org"},
      {"www.a@b.org", "mailto:www.a@b.org"},  // "@" is asked first
      {kWebAddress, "https://tamsel.example.org/"},
      {"WWW.example.org", "WWW.example.org"},  // only "www" as written
      {" www.example.org", " www.example.org"},
      {"ww", "ww"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(LinkTarget(c.caption), c.expected) << c.caption;
}

TEST(HelpRequestTest, TopicsContentsAndOtherFiles) {
  struct Case {
    const char* file;
    const char* topic;
    bool made;
    THelpCommand command;
    const char* argument;
  } cases[] = {
      {"C:\\Tamsel\\glimbo.chm", "print", true, hhDisplayTopic, "C:\\Tamsel\\glimbo.chm::/print.htm"},
      {"C:\\Tamsel\\glimbo.chm", "exp", true, hhDisplayTopic, "C:\\Tamsel\\glimbo.chm::/exp.htm"},
      {"C:\\Tamsel\\glimbo.chm", "", true, hhDisplayToc, "C:\\Tamsel\\glimbo.chm"},
      {"C:\\TAMSEL\\GLIMBO.CHM", "", true, hhDisplayToc, "C:\\TAMSEL\\GLIMBO.CHM"},
      {"C:\\Tamsel\\glimbo.hlp", "print", false, hhDisplayToc, ""},
      {"C:\\help.chm\\glimbo", "", false, hhDisplayToc, ""},
      {"C:\\Tamsel\\glimbo.chm.bak", "", false, hhDisplayToc, ""},
      {"", "", false, hhDisplayToc, ""},
  };
  for (const Case& c : cases) {
    const auto request = MakeHelpRequest(c.file, c.topic);
    ASSERT_EQ(request.has_value(), c.made) << c.file;
    if (!request) continue;
    EXPECT_EQ(request->command, c.command) << c.file;
    EXPECT_EQ(request->argument, c.argument) << c.file;
  }
}

}  // namespace
}  // namespace app
