// The main window's commands: one table that the toolbar, the menus and
// the keyboard all go through. A command's enabling rule decides for its
// button, its menu item and its shortcut alike; the table updates what
// shows them after every command, and OpenIconFile after every load.
#include <windows.h>
#include <shellapi.h>

#include "app/about_links.h"
#include "app/about_win.h"
#include "app/export/composite_image_win.h"
#include "app/export/export_commands_win.h"
#include "app/globals.h"
#include "app/help_win.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "app/main_window_win.h"
#include "app/mru_menu_win.h"
#include "app/print_win.h"
#include "gui/application.h"
#include "gui/commands.h"
#include "util/file_utils.h"

namespace app {

void TForm1::CreateCommands() {
  gui::TCommandList& c = commands_;
  auto loaded = [this] { return icons_loaded_; };
  c.Add(cmOpen, [this] { OpenBtnClick(); });
  c.Add(
      cmSaveSelected, [this] { SaveSelClick(); }, loaded);
  c.Add(
      cmSaveAllAsOne, [this] { SaveAllAsOneClick(); }, loaded);
  for (int type = 0; type < 4; ++type) {
    c.Add(
        cmSaveAllIcons + type, [this, type] { SaveAllClick(static_cast<imaging::TExportType>(type)); }, loaded);
  }
  c.Add(
      cmSaveSelectedAllSizes, [this] { SaveSelAllSizesClick(); }, loaded);
  c.Add(
      cmSaveAllIconGroups, [this] { SaveAllClick(imaging::etIcon, true); }, loaded);
  c.Add(
      cmSaveAllPng, [this] { SaveAllClick(imaging::etPNG); }, loaded);
  c.Add(
      cmExportHtml, [this] { NHTMClick(); }, loaded);
  c.Add(
      cmExportDBase, [this] { NDBFClick(); }, loaded);
  c.Add(
      cmCopy, [this] { CopyBtnClick(); }, loaded);
  c.Add(cmCopyKey, [this] { CopyBtnClick(); });
  c.Add(
      cmPrint, [this] { PrintBtnClick(); }, loaded);
  c.Add(
      cmRefresh, [this] { RefreshBtnClick(); }, loaded);
  c.Add(cmHelp, [this] { ShowHelp(""); });
  c.Add(cmAbout, [this] { AboutBtnClick(); });
  c.Add(cmSearchPane, [this] { SearchBtnClick(); });
  c.Add(cmWebSite, [this] { Label1Click(); });
  c.Add(cmCopyDir, [this] { CopyDirBtnClick(); });
  auto found = [this] { return FileBox.Count() > 0 && !Scanning; };
  for (int type = 0; type < 4; ++type) {
    c.Add(
        cmSaveFoundIcons + type, [this, type] { SaveFoundClick(static_cast<imaging::TExportType>(type)); }, found);
  }
  c.Add(
      cmSaveFoundIconGroups, [this] { SaveFoundClick(imaging::etIcon, true); }, found);
  c.Add(
      cmSaveFoundPng, [this] { SaveFoundClick(imaging::etPNG); }, found);

  // "Ctrl+" is Ctrl alone; F1 takes any modifiers.
  c.AddShortcut(cmOpen, {'O', true});
  c.AddShortcut(cmSaveSelected, {'S', true});
  c.AddShortcut(cmCopyKey, {'C', true});
  c.AddShortcut(cmPrint, {'P', true});
  c.AddShortcut(cmRefresh, {'R', true});
  c.AddShortcut(cmHelp, {VK_F1, false, false, false, true});

  gui::BindControl(c, cmSaveAllAsOne, SaveBtn);
  gui::BindControl(c, cmCopy, CopyBtn);
  gui::BindControl(c, cmPrint, PrintBtn);
  gui::BindControl(c, cmRefresh, RefreshBtn);
  for (int id = cmSaveSelected; id <= cmExportDBase; ++id) gui::BindMenuItem(c, id, PopupSave.get());
  for (int id = cmSaveFoundIcons; id <= cmSaveFoundMetafiles; ++id) gui::BindMenuItem(c, id, PopupSaveAll.get());
  for (int id : {cmSaveSelectedAllSizes, cmSaveAllIconGroups, cmSaveAllPng}) gui::BindMenuItem(c, id, PopupSave.get());
  for (int id : {cmSaveFoundIconGroups, cmSaveFoundPng}) gui::BindMenuItem(c, id, PopupSaveAll.get());

  OpenBtn.OnClick = [this](controls::TzuSoftButton&) { commands_.Execute(cmOpen); };
  CopyBtn.OnClick = [this](controls::TzuSoftButton&) { commands_.Execute(cmCopy); };
  PrintBtn.OnClick = [this](controls::TzuSoftButton&) { commands_.Execute(cmPrint); };
  RefreshBtn.OnClick = [this](controls::TzuSoftButton&) { commands_.Execute(cmRefresh); };
  HelpBtn.OnClick = [this](controls::TzuSoftButton&) { commands_.Execute(cmHelp); };
  AboutBtn.OnClick = [this](controls::TzuSoftButton&) { commands_.Execute(cmAbout); };
}

void TForm1::CreateMenus() {
  PopupSave.reset(CreatePopupMenu());
  HMENU save_all = CreatePopupMenu();
  const std::wstring save_selected = Lang(sSaveSelected) + L"\tCtrl+S";
  AppendMenuW(PopupSave.get(), MF_STRING, cmSaveSelected, save_selected.c_str());
  AppendMenuW(PopupSave.get(), MF_STRING, cmSaveSelectedAllSizes, Lang(sSaveSelectedAllSizes).c_str());
  AppendMenuW(PopupSave.get(), MF_STRING, cmSaveAllAsOne, Lang(sSaveAllAsOne).c_str());
  AppendMenuW(PopupSave.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(save_all), Lang(sSaveAll).c_str());
  AppendSaveAllItems(save_all, cmSaveAllIcons, cmSaveAllIconGroups, cmSaveAllPng);
  AppendMenuW(save_all, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(save_all, MF_STRING, cmExportHtml, Lang(sHtmlMenu).c_str());
  AppendMenuW(save_all, MF_STRING, cmExportDBase, Lang(sDbaseMenu).c_str());
  SaveBtn.SetDropDownMenu(PopupSave.get());
  CreateSearchPaneMenu();
}

void TForm1::AppendSaveAllItems(HMENU menu, int first_type, int groups, int png) {
  const int captions[] = {sIconsMenu, sBitmapsMenu, sJpegMenu, sMetafilesMenu};
  for (int type = 0; type < 4; ++type) {
    AppendMenuW(menu, MF_STRING, first_type + type, Lang(captions[type]).c_str());
    if (type == imaging::etIcon) AppendMenuW(menu, MF_STRING, groups, Lang(sAllSizesMenu).c_str());
  }
  AppendMenuW(menu, MF_STRING, png, Lang(sPngMenu).c_str());
}

bool TForm1::OnCommand(int id, int /*code*/, HWND control) {
  if (control) return false;
  if (const auto path = RecentFileForCommand(recent_, static_cast<UINT>(id))) {
    OpenIconFile(*path);  // a copy: the open rebuilds the list
    return true;
  }
  if (!commands_.Contains(id)) return false;
  commands_.Execute(id);
  return true;
}

bool TForm1::FormKeyDown(UINT key, bool ctrl, bool shift, bool alt) {
  if (key == VK_ESCAPE && Scanning) Scanning = false;
  // With a mouse button held the letter keys do nothing here.
  const bool mouse_down = GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 || GetKeyState(VK_MBUTTON) < 0;
  if (mouse_down && key != VK_F1) return false;
  if (const int id = commands_.FindShortcut(key, ctrl, shift, alt)) commands_.Execute(id);
  return false;  // the focused control still sees the key
}

bool TForm1::RequireSelection() {
  if (Grid().ItemIndex() >= 0) return true;
  MessageBoxW(Handle(), Lang(sSelectAnIcon).c_str(), gui::Application().Title().c_str(), MB_ICONWARNING);
  return false;
}

void TForm1::OpenBtnClick() {
  if (!OpenDlg.Execute(Handle())) return;
  const std::string path = OpenDlg.FileName;
  OpenDlg.InitialDir = util::ExtractFilePath(path);
  if (SaveDlg.InitialDir.empty()) SaveDlg.InitialDir = OpenDlg.InitialDir;
  if (path != CurrentFileName) OpenIconFile(path);
  SetFocus(ScrollBox.Handle());
}

void TForm1::CopyBtnClick() {
  if (!RequireSelection()) return;
  const imaging::TIcon& icon = Grid().Icons(Grid().ItemIndex());
  const int size = icon.Height();
  util::WindowDc screen(nullptr);
  util::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
  util::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), size, size));
  if (!dc || !bitmap) return;
  {
    util::SelectGuard select(dc.get(), bitmap.get());
    RECT all{0, 0, size, size};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    icon.Draw(dc.get(), 0, 0);
  }
  if (!OpenClipboard(Handle())) return;
  EmptyClipboard();
  // The clipboard owns the bitmap once it took it.
  if (SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release();
  CloseClipboard();
}

void TForm1::RefreshBtnClick() { OpenIconFile(CurrentFileName); }

void TForm1::SearchBtnClick() {
  const bool show = !FindPanel.Visible();
  if (show) BuildSearchPane();
  CopyDirBtn.SetVisible(show);
  FindPanel.SetVisible(show);
  Label5.SetVisible(show);
  Edit1.SetVisible(show);
  UpDown1.SetVisible(show);
  SearchBtn.SetText(Lang(show ? sSearchClose : sSearchOpen));
  HSplitter.SetVisible(show);
  FormResize();
  if (show) DirBoxChange();
}

void TForm1::Label1Click() { ShellExecuteA(Handle(), nullptr, kWebAddress, nullptr, nullptr, SW_SHOW); }

void TForm1::ShowHelp(const std::string& topic) { app::ShowHelp(topic); }

// The dialog commands of the export engine, with what the window has.
TExportContext TForm1::ExportContext() {
  TExportContext context(Handle(), Grid(), SaveDlg, DirDlg, SaveDlg.InitialDir);
  context.ShowHelp = [](const std::string& topic) { app::ShowHelp(topic); };
  return context;
}

void TForm1::SaveSelClick() {
  TExportContext context = ExportContext();
  SaveSelected(context);
}

void TForm1::SaveAllAsOneClick() {
  TExportContext context = ExportContext();
  SaveAllAsOne(context);
}

void TForm1::SaveSelAllSizesClick() {
  TExportContext context = ExportContext();
  SaveSelectedWithAllSizes(context);
}

void TForm1::SaveAllClick(imaging::TExportType type, bool all_sizes) {
  TExportContext context = ExportContext();
  SaveAll(context, type, {}, all_sizes);
}

void TForm1::NHTMClick() {
  TExportContext context = ExportContext();
  ExportHtml(context, OptionsWindowSkipped());
}

void TForm1::NDBFClick() {
  TExportContext context = ExportContext();
  ExportDBase(context, OptionsWindowSkipped());
}

void TForm1::AboutBtnClick() { ShowAbout(Handle()); }

void TForm1::PrintBtnClick() {
  TPrintSource source;
  const int index = Grid().ItemIndex();
  source.selected_icon = index >= 0 ? &Grid().Icons(index) : nullptr;
  source.draw_grid = [this](imaging::TBitmap& bitmap) { DrawCompositeImage(bitmap, Grid(), false); };
  PrintCommand(Handle(), source);
}

}  // namespace app
