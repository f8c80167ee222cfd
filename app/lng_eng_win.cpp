#include "app/lng_eng_win.h"

#include <windows.h>

#include "gui/application.h"
#include "gui/text.h"

namespace app {

namespace {
std::wstring ReplacePlaceholder(std::wstring text, const wchar_t* placeholder, const std::wstring& value) {
  size_t at = text.find(placeholder);
  if (at != std::wstring::npos) text.replace(at, 2, value);
  return text;
}
}  // namespace

std::wstring Lang(unsigned id) {
  HINSTANCE instance = gui::Application().ModuleInstance();
  const wchar_t* text = nullptr;
  // With a length of 0 the system hands out a pointer into the resource.
  int n = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return n > 0 && text ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

std::wstring LangFormat(unsigned id, const std::string& text) {
  return ReplacePlaceholder(Lang(id), L"%s", gui::AnsiToWide(text));
}

std::wstring LangFormat(unsigned id, int number) {
  return ReplacePlaceholder(Lang(id), L"%d", std::to_wstring(number));
}

}  // namespace app
