// The save dialog's file types: its filter text holds pairs of description
// and pattern, all separated by "|", and the dialog's default extension
// follows from the type chosen.
#pragma once

#include <string>

namespace app {

// The number of description and pattern pairs of a filter.
int FilterCount(const std::wstring& filter);

// The extension that the type at the 1-based index names in its
// description, such as "ico" for "Icons (*.ico)": the text between the
// first "." and the first ")" after that type's "(", up to the first
// pattern separator (so "(*.jpg;*.jpeg)" gives "jpg"). Empty for "(*.*)".
std::string FilterDefaultExtension(const std::wstring& filter, int index);

}  // namespace app
