// Conversions between the program's ANSI byte strings (paths, names) and the
// wide texts that go to controls.
#pragma once

#include <string>

namespace gui {

std::wstring AnsiToWide(const std::string& s);
std::string WideToAnsi(const std::wstring& s);
std::wstring Utf8ToWide(const std::string& s);

// The system's own text for an error code (GetLastError), without the
// line break it ends in.
std::wstring SystemErrorText(unsigned long code);

}  // namespace gui
