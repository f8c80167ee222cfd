// The contact addresses the program shows (the About window's link labels
// and the main window's web link) and what a click on one of them opens.
#pragma once

#include <string>

namespace app {

// The project's own web site and mail address. The web address is the one
// place to change it: the About window and the main window both show it.
constexpr const char kWebAddress[] = "https://tamsel.example.org/";
constexpr const char kMailAddress[] = "tamsel@tamsel.example.org";

// The address the shell is asked to open for a link label's text: a text
// with "@" is a mail address ("mailto:" in front), a text that begins with
// "www" (exactly so, lower case) a web site ("http://" in front); any other
// text, one with its own scheme among them, is opened as it is.
std::string LinkTarget(const std::string& caption);

}  // namespace app
