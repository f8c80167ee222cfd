// The search pane of the main window: a folder tree, the files in the
// chosen folder (and its subfolders) that hold at least a given number of
// icons, and the save-all over those files.
//
// Every change of the folder, the minimum or the subfolder option rescans
// at once, on the window thread. The scan disables the window and the
// pane's options; every 50 ms it shows the count found so far and lets the
// window handle its messages, which is where ESC stops the scan. Whatever ends the
// scan, the window comes back as it was; an error is shown afterwards, and
// the files found before it stay listed.
#include <windows.h>
#include <shellapi.h>

#include "app/export/export_commands_win.h"
#include "app/globals.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "app/main_layout.h"
#include "app/main_window_win.h"
#include "app/search_scan_win.h"
#include "gui/application.h"
#include "gui/commands.h"
#include "gui/cursor.h"
#include "gui/error.h"
#include "gui/text.h"
#include "util/file_utils.h"
#include "util/system_paths_win.h"

namespace app {

namespace {

constexpr int kTreeId = 110;
constexpr int kFileBoxId = 111;
constexpr int kSubFoldersId = 112;
constexpr int kMinimumId = 113;
constexpr int kSpinId = 114;
constexpr const char* kScanMasks = "*.dll;*.exe;*.ocx";
// How often a change of the minimum looks whether the spin button was let go.
constexpr UINT_PTR kMinimumTimer = 1;
constexpr UINT kMinimumTimerMs = 50;
// The key colour of a row's picture: what the icon leaves uncovered.

}  // namespace

void TForm1::BuildSearchPane() {
  if (search_pane_built_) return;
  search_pane_built_ = true;
  CreateSearchPane(reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  // The file list keeps its right edge, so that it stays right of its splitter.
  const RECT files = FilePanel.BoundsRect();
  FilePanel.SetBounds(files.right - file_panel_width_, files.top, file_panel_width_, files.bottom - files.top);
}

void TForm1::CreateSearchPane(HFONT font) {
  auto with_font = [font](const gui::TWindow& window) {
    SendMessageW(window.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  };
  // The file panel first: the aligned layout gives the right edge to the
  // first right-aligned child, then the splitter, then the tree's panel.
  FilePanel.Create(FindPanel.Handle(), 0, 0, kFilePanelWidth, kFindPanelHeight);
  FilePanel.SetAlign(gui::TAlign::alRight);
  with_font(FilePanel);
  VSplitter.SetBounds(0, 0, kSplitterThickness, kFindPanelHeight);
  VSplitter.SetAlign(gui::TAlign::alRight);
  VSplitter.SetMinSize(kFilePanelWidth);
  VSplitter.SetParent(&FindPanel);
  VSplitter.OnMoved = [this](controls::TzuSplitter&) { VSplitterMoved(); };
  DirPanel.Create(FindPanel.Handle(), 0, 0, kFormWidth - kFilePanelWidth, kFindPanelHeight);
  DirPanel.SetAlign(gui::TAlign::alClient);
  with_font(DirPanel);

  const TSearchPanePlaces p = SearchPanePlaces(kFormWidth - kFilePanelWidth - kSplitterThickness, kFindPanelHeight,
                                               kFilePanelWidth, kFindPanelHeight);
  Label2.SetBounds(kPaneMargin, 6, p.tree.Width(), kPaneLabelHeight);
  Label2.SetCaption(Lang(sScanFolder));
  Label2.SetParent(&DirPanel);
  Tree.FolderOptions = controls::foNetworkNeighborhood;
  Tree.Create(DirPanel.Handle(), kTreeId, p.tree.left, p.tree.top, p.tree.Width(), p.tree.Height());
  Tree.OnChange = [this](controls::TzuFolderTree&) { TreeChange(); };

  Label3.SetBounds(kPaneMargin, 6, kFilePanelWidth - 2 * kPaneMargin, kPaneLabelHeight);
  Label3.SetCaption(Lang(sFilesWithIcons));
  Label3.SetParent(&FilePanel);
  FileBox.Create(FilePanel.Handle(), kFileBoxId, p.file_box.left, p.file_box.top, p.file_box.Width(),
                 p.file_box.Height());
  FileBox.DirectSearch = true;
  FileBox.OnClick = [this](controls::TZuListBox&) { FileBoxClick(); };
  FileBox.OnGetItemParams = [this](controls::TZuListBox&, int index, imaging::TBitmap* bitmap, int& offset,
                                   std::string& text) { FileBoxGetItemParams(index, bitmap, offset, text); };
  ChkSubFolders.Create(FilePanel.Handle(), kSubFoldersId, p.check_box.left, p.check_box.top, p.check_box.Width(),
                       p.check_box.Height(), Lang(sIncludeSubfolders));
  ChkSubFolders.OnClick = [this] { DirBoxChange(); };
  Img.SetBounds(p.strip.left, p.strip.top, p.strip.Width(), p.strip.Height());
  Img.LoadBitmapResource(L"PANE_STRIP");
  Img.SetParent(&FilePanel);
  count_column_ = p.count_label;
  Label4.SetAlignment(DT_CENTER);
  Label4.SetParent(&FilePanel);
  SetFoundCountText(L"0...");
  Label6.SetBounds(p.failed_label.left, p.failed_label.top, p.failed_label.Width(), p.failed_label.Height());
  Label6.SetAlignment(DT_CENTER);
  Label6.SetFontColor(RGB(255, 0, 0));
  Label6.SetCaption(Lang(sFailed));
  Label6.SetVisible(false);
  Label6.SetParent(&FilePanel);
  SaveAllBtn.SetBounds(p.save_all.left, p.save_all.top, p.save_all.Width(), p.save_all.Height());
  SaveAllBtn.LoadGlyph(L"GLYPH_SAVE");
  SaveAllBtn.SetHint(Lang(sHintSaveAll));
  SaveAllBtn.SetEnabled(false);
  SaveAllBtn.SetParent(&FilePanel);

  // The search bar's part of the pane, hidden with it.
  Label5.SetBounds(8, 14, 92, kPaneLabelHeight);
  Label5.SetCaption(Lang(sMinIconCount));
  Label5.SetHint(Lang(sHintMinCount));
  Label5.SetParent(&Panel2);
  Edit1.Create(Panel2.Handle(), kMinimumId, 102, 10, 50, 21, L"1");
  Edit1.SetMaxLength(4);
  Edit1.SetHint(Lang(sHintMinCount));
  Edit1.OnKeyPress = [this](wchar_t& key) { Edit1KeyPress(key); };
  UpDown1.Create(Panel2.Handle(), kSpinId, Edit1, 1, 1000, 1);
  UpDown1.SetHint(Lang(sHintMinCount));
  // Wired once the spin button has written its first position.
  Edit1.OnChange = [this] { SpinChange(); };
  CopyDirBtn.SetBounds(160, 7, 27, 27);
  CopyDirBtn.LoadGlyph(L"GLYPH_FINDDIR");
  CopyDirBtn.SetFlat(true);
  CopyDirBtn.SetHint(Lang(sHintCopyDir));
  CopyDirBtn.SetParent(&Panel2);
  CopyDirBtn.OnClick = [this](controls::TzuSoftButton&) { commands_.Execute(cmCopyDir); };
  Label5.SetVisible(false);
  CopyDirBtn.SetVisible(false);
  Edit1.SetVisible(false);
  UpDown1.SetVisible(false);
}

void TForm1::CreateSearchPaneMenu() {
  PopupSaveAll.reset(CreatePopupMenu());
  AppendSaveAllItems(PopupSaveAll.get(), cmSaveFoundIcons, cmSaveFoundIconGroups, cmSaveFoundPng);
  SaveAllBtn.SetDropDownMenu(PopupSaveAll.get());
}

// The tree and the list follow the pane's width; everything else in the
// pane follows its height.
void TForm1::VSplitterMoved() {
  FindPanel.Realign();
  LayOutSearchPane();
}

void TForm1::LayOutSearchPane() {
  if (!search_pane_built_) return;
  const RECT dir = DirPanel.ClientRect();
  const RECT files = FilePanel.ClientRect();
  const TSearchPanePlaces p = SearchPanePlaces(dir.right, dir.bottom, files.right, files.bottom);
  Tree.SetBounds(p.tree.left, p.tree.top, p.tree.Width(), p.tree.Height());
  Label2.SetBounds(kPaneMargin, 6, p.tree.Width(), kPaneLabelHeight);
  Label3.SetBounds(kPaneMargin, 6, files.right - 2 * kPaneMargin, kPaneLabelHeight);
  FileBox.SetBounds(p.file_box.left, p.file_box.top, p.file_box.Width(), p.file_box.Height());
  ChkSubFolders.SetBounds(p.check_box.left, p.check_box.top, p.check_box.Width(), p.check_box.Height());
  Img.SetBounds(p.strip.left, p.strip.top, p.strip.Width(), p.strip.Height());
  SaveAllBtn.SetBounds(p.save_all.left, p.save_all.top, p.save_all.Width(), p.save_all.Height());
  count_column_ = p.count_label;
  FitFoundCountLabel();
  Label6.SetBounds(p.failed_label.left, p.failed_label.top, p.failed_label.Width(), p.failed_label.Height());
}

// A folder chosen while a scan runs is scanned once that scan has ended:
// the list never mixes two scans.
void TForm1::TreeChange() { DirBoxChange(); }

// The count shows whole: its label grows about the column's centre as far
// as the text needs.
// The label is measured again only when the text's length changed (the
// scan sets it as it goes) or the layout moved its column.
void TForm1::SetFoundCountText(const std::wstring& text) {
  const bool longer_or_shorter = text.size() != Label4.Caption().size();
  Label4.SetCaption(text);
  if (longer_or_shorter) FitFoundCountLabel();
}

void TForm1::FitFoundCountLabel() {
  const std::wstring& text = Label4.Caption();
  util::WindowDc screen(nullptr);
  util::SelectGuard font(screen.get(), Label4.Font());
  SIZE extent{};
  GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  const util::TRect box = CountLabelBox(count_column_, extent.cx + 2);
  Label4.SetBounds(box.left, box.top, box.Width(), box.Height());
}

void TForm1::DirBoxChange() {
  if (Scanning) {
    rescan_pending_ = true;
    return;
  }
  FileBox.Clear();
  const std::string folder = Tree.GetPath();
  if (folder.empty()) return;
  RunScan(folder);
  if (rescan_pending_) {
    rescan_pending_ = false;
    DirBoxChange();
  }
}

void TForm1::RunScan(const std::string& folder) {
  UpdateWindow(Tree.Handle());
  UpdateWindow(FileBox.Handle());
  SetFoundCountText(L"0...");
  Label4.Repaint();
  Label6.SetVisible(false);
  // Disabling the window takes the focus away; it comes back afterwards,
  // so that typing into the minimum goes on after each digit's rescan.
  HWND focus = GetFocus();
  EnterScanState();
  SetStatusText(0, Lang(sScanningFolders) + L" " + Lang(sEscToCancel));
  UpdateWindow(Handle());
  gui::HourglassCursor hourglass;
  Scanning = true;

  // Runs however the scan ends, before an error is shown.
  struct ScanEnd {
    TForm1& form;
    HWND focus;
    bool cancelled = false;
    ~ScanEnd() {
      if (cancelled) form.Label6.SetVisible(true);
      Scanning = false;
      form.SetStatusText(0, L"");
      form.SetFoundCountText(std::to_wstring(form.FileBox.Count()));
      form.LeaveScanState();
      if (focus && IsWindow(focus) && IsWindowEnabled(focus) && IsWindowVisible(focus)) SetFocus(focus);
      if (form.close_after_scan_) PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
    }
  } end{*this, focus};

  const std::string minimum_text = gui::WideToAnsi(Edit1.Text());
  int minimum = 0;
  if (!util::ParseDecimal(minimum_text, &minimum)) throw gui::Error(LangFormat(sNotAnInteger, minimum_text));
  TShellScanFileSystem file_system;
  try {
    TListBoxScanList list(FileBox);
    // The window shows the count and handles its messages every 50 ms, so
    // that ESC is always heard, and no more often.
    const util::TScanAnswers answers = util::AnswerScan([this](int count) { return !ScanProgress(count); });
    end.cancelled = util::FindFiles(file_system, folder, folder, kScanMasks, minimum, ChkSubFolders.Checked(), list,
                                    answers.progress, answers.looking) == util::TScanResult::kCancelled;
  } catch (const util::TScanFolderError& e) {
    throw gui::Error(LangFormat(sCannotScanFolder, e.folder()) + L"\n" + gui::SystemErrorText(file_system.LastError()));
  }
}

void TForm1::EnterScanState() {
  SaveAllBtn.SetEnabled(false);
  ChkSubFolders.SetEnabled(false);
  Label5.SetEnabled(false);
  Edit1.SetEnabled(false);
  UpDown1.SetEnabled(false);
  SearchBtn.SetEnabled(false);
  EnableWindow(Handle(), FALSE);
}

void TForm1::LeaveScanState() {
  EnableWindow(Handle(), TRUE);
  SearchBtn.SetEnabled(true);
  ChkSubFolders.SetEnabled(true);
  Label5.SetEnabled(true);
  Edit1.SetEnabled(true);
  UpDown1.SetEnabled(true);
  SaveAllBtn.SetEnabled(FileBox.Count() > 0);
  commands_.Update();
}

bool TForm1::ScanProgress(int count) {
  SetFoundCountText(std::to_wstring(count) + L"...");
  Label4.Repaint();
  gui::Application().ProcessMessages();
  return Scanning;
}

// Only digits and control characters reach the minimum's edit.
void TForm1::Edit1KeyPress(wchar_t& key) {
  if (key >= 32 && (key < L'0' || key > L'9')) key = 0;
}

// The minimum changed, typed or stepped by the spin button. The folder is
// scanned again once the change has been handled, never inside it: a scan
// inside the spin button's own click would disable the button before it
// saw the mouse button go up, and its repeat timer would step on and on.
// While the spin button is held its steps are not scanned; the scan comes
// once it is let go.
void TForm1::SpinChange() {
  const std::wstring text = Edit1.Text();
  if (text.empty() || text == L"0") {
    Edit1.SetText(L"1");  // comes back here through the change event
    Edit1.SelectAll();
    return;
  }
  if (minimum_scan_pending_) return;
  minimum_scan_pending_ = true;
  PostMessageW(Handle(), WM_MINIMUMCHANGED, 0, 0);
}

void TForm1::MinimumChanged() {
  if (GetCapture() == UpDown1.Handle() && (GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
    SetTimer(Handle(), kMinimumTimer, kMinimumTimerMs, nullptr);
    return;
  }
  KillTimer(Handle(), kMinimumTimer);
  minimum_scan_pending_ = false;
  DirBoxChange();
}

bool TForm1::OnTimer(UINT_PTR id) {
  if (id != kMinimumTimer) return TForm::OnTimer(id);
  MinimumChanged();
  return true;
}

void TForm1::FileBoxClick() {
  const int index = FileBox.ItemIndex();
  if (index < 0) return;
  const std::string path = Tree.GetPath() + "\\" + FileBox.Item(index);
  if (path != CurrentFileName) OpenIconFile(path);
}

// A row's picture is the file's small shell icon drawn on the row's own
// colour, so that its soft edges blend with what is around them; its text
// stands after it.
void TForm1::FileBoxGetItemParams(int index, imaging::TBitmap* bitmap, int& offset, std::string& /*text*/) const {
  offset = 20;
  if (!bitmap) return;
  const std::string name = util::AddBackslash(Tree.GetPath()) + FileBox.Item(index);
  SHFILEINFOA info{};
  if (!SHGetFileInfoA(util::NativePath(name).c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON)) return;
  util::UniqueIcon icon(info.hIcon);
  if (!icon || !bitmap->SetSize(16, 16, imaging::PixelFormat::pfDevice)) return;
  bitmap->Fill(FileBox.RowBackground(index));
  DrawIconEx(bitmap->Canvas(), 0, 0, icon.get(), 16, 16, 0, nullptr, DI_NORMAL);
}

void TForm1::CopyDirBtnClick() {
  if (CurrentFileName.empty()) return;
  Tree.SelectPath(util::ExtractFileDir(CurrentFileName));
}

std::vector<std::string> TForm1::FoundFileNames() const {
  const std::string folder = Tree.GetPath();
  std::vector<std::string> names;
  for (const std::string& entry : FileBox.Items()) names.push_back(folder + "\\" + entry);
  return names;
}

void TForm1::SaveFoundClick(imaging::TExportType type, bool all_sizes) {
  TExportContext context = ExportContext();
  SaveAll(context, type, FoundFileNames(), all_sizes);
}

}  // namespace app
