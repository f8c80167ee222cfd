// Loading language strings from the string table, and filling in their
// single "%s" or "%d" place-holder.
#pragma once

#include <string>

namespace app {

std::wstring Lang(unsigned id);

// The string with its first "%s" replaced by text (an ANSI path or name);
// the text is inserted as it is, never read as a format.
std::wstring LangFormat(unsigned id, const std::string& text);
std::wstring LangFormat(unsigned id, int number);

}  // namespace app
