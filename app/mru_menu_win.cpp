#include "app/mru_menu_win.h"

#include "gui/text.h"
#include "util/file_utils.h"

namespace app {

namespace {

// A menu takes "&" for the mark of an access key; a file name's own "&"
// must show as it is.
std::wstring MenuCaption(const std::string& path) {
  std::wstring caption;
  for (wchar_t c : gui::AnsiToWide(util::ExtractFileName(path))) {
    if (c == L'&') caption += L'&';
    caption += c;
  }
  return caption;
}

}  // namespace

util::UniqueMenu BuildRecentFilesMenu(const TRecentFiles& recent) {
  util::UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  const std::vector<std::string>& paths = recent.Paths();
  for (size_t i = 0; i < paths.size(); ++i) {
    UINT flags = MF_STRING | (static_cast<int>(i) == recent.CheckedIndex() ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuW(menu.get(), flags, kRecentFileCommand + static_cast<UINT>(i), MenuCaption(paths[i]).c_str());
  }
  // The caption is the form's own text, not one of the string table.
  if (paths.empty()) AppendMenuW(menu.get(), MF_STRING | MF_GRAYED, kRecentEmptyCommand, L"<Empty>");
  return menu;
}

std::optional<std::string> RecentFileForCommand(const TRecentFiles& recent, UINT command) {
  if (command < kRecentFileCommand) return std::nullopt;
  size_t index = command - kRecentFileCommand;
  if (index >= recent.Paths().size()) return std::nullopt;
  return recent.Paths()[index];
}

}  // namespace app
