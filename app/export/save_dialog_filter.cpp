#include "app/export/save_dialog_filter.h"

#include <algorithm>

namespace app {

int FilterCount(const std::wstring& filter) {
  if (filter.empty()) return 0;
  const auto bars = std::count(filter.begin(), filter.end(), L'|');
  return static_cast<int>(bars / 2 + 1);
}

std::string FilterDefaultExtension(const std::wstring& filter, int index) {
  // Step from one type's "(" to the next, as often as the index says.
  std::wstring s = filter;
  for (int i = 0; i < index; ++i) {
    const size_t open = s.find(L'(');
    const size_t start = open == std::wstring::npos ? 0 : open + 1;
    s = s.size() > start ? s.substr(start, s.size() - start - 1) : std::wstring();
  }
  const size_t dot = s.find(L'.');
  const size_t close = s.find(L')');
  if (dot == std::wstring::npos || close == std::wstring::npos || close <= dot) return std::string();
  // The system appends only the first extension of a pattern list.
  std::string extension;
  for (size_t i = dot + 1; i < close; ++i) {
    const wchar_t c = s[i];
    if (c == L';' || c == L',' || c == L' ' || c >= 128) break;
    extension += static_cast<char>(c);
  }
  return extension == "*" ? std::string() : extension;
}

}  // namespace app
