#include "gui/model/hint_text.h"

namespace gui {

std::wstring ShortHint(const std::wstring& hint) {
  const size_t bar = hint.find(L'|');
  return bar == std::wstring::npos ? hint : hint.substr(0, bar);
}

std::wstring LongHint(const std::wstring& hint) {
  const size_t bar = hint.find(L'|');
  return bar == std::wstring::npos ? hint : hint.substr(bar + 1);
}

}  // namespace gui
