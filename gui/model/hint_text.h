// A control's hint holds a short and a long part separated by "|": the
// short part is the tool tip, the long part goes to the status line. A hint
// without "|" serves as both.
#pragma once

#include <string>

namespace gui {

std::wstring ShortHint(const std::wstring& hint);
std::wstring LongHint(const std::wstring& hint);

}  // namespace gui
