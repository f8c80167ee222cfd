#include "app/main_window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "app/about_links.h"
#include "app/export/export_engine_win.h"
#include "app/globals.h"
#include "app/help_win.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "app/main_layout.h"
#include "app/mru_menu_win.h"
#include "gui/application.h"
#include "gui/cursor.h"
#include "gui/text.h"
#include "util/file_utils.h"
#include "util/file_utils_win.h"

namespace app {

namespace {

constexpr int kScrollBoxId = 100;
constexpr int kSearchBtnId = 101;

// A hint whose long part would break the status line is not shown there.
bool FitsTheStatusLine(const std::wstring& text) { return text.find_first_of(L"\r\n\t") == std::wstring::npos; }

}  // namespace

TForm1::TForm1(std::vector<std::string> args) : args_(std::move(args)), program_path_(util::ProgramPath()) {}

// The window goes while the form is whole: FormDestroy saves the settings.
TForm1::~TForm1() {
  DestroyHandle();
  gui::Application().SetHintHandler(nullptr);
}

bool TForm1::Create() {
  HICON icon = LoadIconW(gui::Application().Instance(), MAKEINTRESOURCEW(1));
  if (!CreateForm(L"TForm1", gui::Application().Title(), kFormLeft, kFormTop, kFormWidth, kFormHeight, icon))
    return false;
  gui::Application().SetMainWindow(Handle());
  return true;
}

void TForm1::FormCreate() {
  BatchMode = false;
  Scanning = false;
  SetKeyPreview(true);
  CreateControls();
  CreateMenus();
  CreateCommands();
  const TLoadedSettings loaded = LoadSettings(SettingsTarget(), recent_);
  initial_show_ = loaded.show_command;
  RebuildRecentFilesMenu();
  gui::Application().SetHintHandler([this](const std::wstring& hint) { AppOnHint(hint); });
  SaveDlg.InitialDir = util::CurrentDirectory();
  // The pane starts opposite to its stored state; the toggle brings it
  // there with the matching caption.
  FindPanel.SetBounds(0, 0, FindPanel.BoundsRect().right, loaded.panes.find_panel_height);
  file_panel_width_ = loaded.panes.file_panel_width;
  FindPanel.SetVisible(!loaded.panes.find_panel_visible);
  SearchBtnClick();
  help_file_ = util::ProgramFolder() + "glimbo.chm";
  SetHelpFile(help_file_);
  PostMessageW(Handle(), WM_RUNCOMMANDLINE, 0, 0);
  if (args_.size() <= 1) OpenIconFile(program_path_);
}

// Help windows close with the program.
// A scan runs inside the window's own handlers: closing now would free the
// window under it. The scan is stopped instead, and the window closes once
// it has ended.
bool TForm1::FormCloseQuery() {
  if (Scanning) {
    Scanning = false;
    close_after_scan_ = true;
    return false;
  }
  CloseAllHelp();
  return true;
}

void TForm1::FormDestroy() { SaveSettings(SettingsTarget(), recent_); }

TSettingsTarget TForm1::SettingsTarget() const {
  TSettingsTarget target;
  target.window = Handle();
  const RECT client = ClientRect();
  const RECT status = StatusBar.BoundsRect();
  target.client_height = client.bottom;
  target.find_splitter_height = HSplitter.Height();
  target.status_bar_height = status.bottom - status.top;
  target.find_panel_client_width = FindPanel.ClientRect().right;
  target.file_splitter_width = kSplitterThickness;
  const RECT pane = FindPanel.BoundsRect();
  target.panes.find_panel_visible = FindPanel.Visible();
  target.panes.find_panel_height = pane.bottom - pane.top;
  const RECT files = FilePanel.BoundsRect();
  target.panes.file_panel_width = search_pane_built_ ? files.right - files.left : file_panel_width_;
  target.measure = [this](TSettingsTarget& placed) { placed = SettingsTarget(); };
  target.placement = hidden_placement_;
  return target;
}

void TForm1::CreateControls() {
  HFONT font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  CreateStatusBar();
  CreatePanes();
  CreateToolbar(font);
  CreateSearchBar(font);
  CreateGrid();
  SetUpFileDialogs();
  FormResize();
  SetFocus(ScrollBox.Handle());
}

void TForm1::CreateStatusBar() { StatusBar.Create(Handle()); }

// Above the status bar: the search pane's host at the bottom under its
// splitter, and the main panel with the toolbar, the grid and the search
// bar filling the rest.
void TForm1::CreatePanes() {
  Panel1.Create(Handle(), 0, 0, kFormWidth, kFormHeight);
  FindPanel.Create(Panel1.Handle(), 0, 0, kFormWidth, kFindPanelHeight, 0);  // hidden at start
  FindPanel.SetAlign(gui::TAlign::alBottom);
  HSplitter.SetBounds(0, 0, kFormWidth, kSplitterThickness);
  HSplitter.SetAlign(gui::TAlign::alBottom);
  HSplitter.SetMinSize(kFindPanelHeight);
  HSplitter.SetVisible(false);
  HSplitter.SetParent(&Panel1);
  HSplitter.OnMoved = [this](controls::TzuSplitter&) { HSplitterMoved(); };
  MainPanel.Create(Panel1.Handle(), 0, 0, kFormWidth, kFormHeight);
  MainPanel.SetAlign(gui::TAlign::alClient);
}

void TForm1::CreateToolbar(HFONT font) {
  Bevel1.Create(MainPanel.Handle(), 0, 0, kFormWidth, kToolbarHeight);
  Bevel1.SetBevel(gui::Bevel::kRaised);
  Bevel1.SetAlign(gui::TAlign::alTop);
  SendMessageW(Bevel1.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  struct ToolButton {
    controls::TzuSoftButton& button;
    int left, width;
    const wchar_t* glyph;
    int hint;
    bool flat;
  };
  const ToolButton buttons[] = {
      {OpenBtn, 8, 40, L"GLYPH_OPEN", sHintOpen, false},
      {SaveBtn, 56, 40, L"GLYPH_SAVE", sHintSave, false},
      {CopyBtn, 96, 27, L"GLYPH_COPY", sHintCopy, true},
      {PrintBtn, 123, 27, L"GLYPH_PRINT", sHintPrint, true},
      {RefreshBtn, 158, 27, L"GLYPH_REFRESH", sHintRefresh, true},
      {HelpBtn, 193, 27, L"GLYPH_HELP", sHintHelp, true},
      {AboutBtn, 220, 27, L"GLYPH_ABOUT", sHintAbout, true},
  };
  for (const ToolButton& b : buttons) {
    b.button.SetBounds(b.left, 3, b.width, 27);
    b.button.LoadGlyph(b.glyph);
    b.button.SetFlat(b.flat);
    b.button.SetHint(Lang(b.hint));
    b.button.SetParent(&Bevel1);
  }
  OpenBtn.SetSeparateDropDown(true);
  for (controls::TzuSoftButton* b :
       {static_cast<controls::TzuSoftButton*>(&SaveBtn), &CopyBtn, &PrintBtn, &RefreshBtn}) {
    b->SetEnabled(false);
  }

  label_font_.reset(
      CreateFontW(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY, 0, L"Courier New"));
  Label1.SetFont(label_font_.get());
  Label1.SetTransparent(true);
  Label1.SetFontColor(RGB(128, 128, 128));
  Label1.SetCaption(gui::AnsiToWide(kWebAddress));
  Label1.SetHint(L"|" + gui::AnsiToWide(kWebAddress));
  Label1.SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
  Label1.OnClick = [this](controls::Tzu3DLabel&) { commands_.Execute(cmWebSite); };
  Label1.SetParent(&Bevel1);
}

// The bar under the grid with the button that opens the search pane.
void TForm1::CreateSearchBar(HFONT font) {
  Panel2.Create(MainPanel.Handle(), 0, 0, kFormWidth, kSearchBarHeight);
  Panel2.SetAlign(gui::TAlign::alBottom);
  SendMessageW(Panel2.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SearchBtn.Create(Panel2.Handle(), kSearchBtnId, 0, 8, 179, 25, Lang(sSearchOpen));
  SearchBtn.OnClick = [this](controls::TZuButton&) { commands_.Execute(cmSearchPane); };
}

void TForm1::CreateGrid() {
  ScrollBox.Create(MainPanel.Handle(), 0, kToolbarHeight, kFormWidth, kFormHeight / 2, kScrollBoxId);
  ScrollBox.SetAlign(gui::TAlign::alClient);
  ScrollBox.SetHint(L"|" + Lang(sDropFilesHere));
  ScrollBox.OnSelectItem = [this](controls::TZuScrollBox&, int index) { ScrollBoxSelectItem(index); };
  ScrollBox.OnCustomPaint = [this](controls::TZuImageBox& sender, HDC canvas) { ScrollBoxCustomPaint(sender, canvas); };
  ScrollBox.SetOnDropFiles(
      [this](controls::TZuScrollBox&, int, int, const std::vector<std::string>& files) { ScrollBoxDropFiles(files); });
}

void TForm1::SetUpFileDialogs() {
  OpenDlg.Title = Lang(sSelectFile);
  OpenDlg.Filter = Lang(sOpenFilter);
  // A name that is not there opens as a file without icons.
  OpenDlg.Options = OFN_HIDEREADONLY;
  DirDlg.Title = Lang(sSelectFolder);
  WireOpenAfterSave(SaveDlg);
}

void TForm1::FormResize() {
  if (!StatusBar.Handle()) return;
  StatusBar.FitParent();
  const RECT client = ClientRect();
  const RECT status = StatusBar.BoundsRect();
  const int width = client.right;
  const int status_height = status.bottom - status.top;

  const std::array<int, 4> edges = StatusPanelEdges(width);
  StatusBar.SetParts(edges.data(), static_cast<int>(edges.size()));

  // The splitters' places are read once the panels have been laid out for
  // the new size.
  Panel1.SetBounds(0, 0, width, std::max(0, static_cast<int>(client.bottom) - status_height));
  Panel1.Realign();
  if (FindPanel.Visible()) {
    const RECT pane = FindPanel.BoundsRect();
    const int height = FindPanelHeightAfterResize(pane.bottom - pane.top, HSplitter.Top(), HSplitter.MinSize(),
                                                  client.bottom, HSplitter.Height(), status_height);
    FindPanel.SetBounds(pane.left, pane.top, width, height);
    Panel1.Realign();
    FindPanel.Realign();
    const RECT files = FilePanel.BoundsRect();
    const int file_width = FilePanelWidthAfterResize(files.right - files.left, VSplitter.Left(), VSplitter.MinSize(),
                                                     width, VSplitter.Width());
    FilePanel.SetBounds(files.left, files.top, file_width, files.bottom - files.top);
  }
  MainPanel.Realign();

  const RECT toolbar = Bevel1.ClientRect();
  int text_width = 0;
  {
    util::WindowDc dc(Bevel1.Handle());
    util::SelectGuard font(dc.get(), label_font_.get());
    SIZE size{};
    const std::wstring text = Label1.Caption();
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    text_width = size.cx;
  }
  const util::TRect label = LinkLabelBounds(toolbar.right, text_width);
  Label1.SetBounds(label.left, label.top, label.Width(), label.Height());
  const RECT bar = Panel2.ClientRect();
  const util::TRect search = SearchButtonBounds(bar.right);
  SearchBtn.SetBounds(search.left, search.top, search.Width(), search.Height());
  HSplitterMoved();
  VSplitterMoved();
}

void TForm1::HSplitterMoved() {
  MainPanel.Realign();
  FindPanel.Realign();
  LayOutSearchPane();
}

void TForm1::SetStatusText(int panel, const std::wstring& text) const {
  if (StatusBar.Handle()) StatusBar.SetPartText(panel, text);
}

std::wstring TForm1::StatusText(int panel) const { return StatusBar.PartText(panel); }

void TForm1::AppOnHint(const std::wstring& long_hint) {
  if (FitsTheStatusLine(long_hint)) SetStatusText(0, long_hint);
}

void TForm1::OpenIconFile(const std::string& path) {
  gui::HourglassCursor hourglass;
  MakeCurrentFile(path);
  LoadGrid();
  ShowLoadedGrid();
}

void TForm1::MakeCurrentFile(const std::string& path) {
  CurrentFileName = path;
  SetCaption(gui::Application().Title() + L" - " + gui::AnsiToWide(util::ExtractFileName(path)));
  UpdateRecentFiles(path);
}

void TForm1::LoadGrid() {
  Grid().LoadIcons(CurrentFileName);
  HTMLColumnCount = std::min(Grid().IconCount(), Grid().Columns());
}

void TForm1::ShowLoadedGrid() {
  RedrawWindow(ScrollBox.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  SetStatusText(1, L"");
  const int n = Grid().IconCount();
  icons_loaded_ = n > 0;
  commands_.Update();
  if (n > 0) Grid().SetItemIndex(0);
  UpdateWindow(Handle());
}

// The list keeps full paths: a file opened by a relative name is the same
// file from wherever the program starts next.
void TForm1::UpdateRecentFiles(const std::string& path) {
  recent_.Opened(util::FullPathName(path));
  RebuildRecentFilesMenu();
}

void TForm1::RebuildRecentFilesMenu() {
  MRUPopup = BuildRecentFilesMenu(recent_);
  OpenBtn.SetDropDownMenu(MRUPopup.get());
}

void TForm1::ScrollBoxSelectItem(int index) {
  const int count = Grid().IconCount();
  if (index < 0) {
    SetStatusText(1, std::to_wstring(count));
    SetStatusText(2, L"");
    SetStatusText(3, L"");
    return;
  }
  const imaging::TIcon& icon = Grid().Icons(index);
  SetStatusText(1, std::to_wstring(index + 1) + L" : " + std::to_wstring(count));
  SetStatusText(2, std::to_wstring(icon.Width()) + L"x" + std::to_wstring(icon.Height()));
  SetStatusText(3, LangFormat(sBits, DepthDigits(GetGraphicColorDepth(icon))));
}

// On an almost empty grid an invitation to drop files shows in its middle.
void TForm1::ScrollBoxCustomPaint(controls::TZuImageBox& sender, HDC canvas) const {
  if (sender.IconCount() >= 3) return;
  const std::wstring text = Lang(sDropFilesHere);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  font.lfWeight = FW_BOLD;
  util::UniqueFont bold(CreateFontIndirectW(&font));
  util::SelectGuard select(canvas, bold.get());
  SIZE size{};
  GetTextExtentPoint32W(canvas, text.c_str(), static_cast<int>(text.size()), &size);
  SetTextColor(canvas, RGB(192, 192, 192));
  SetBkMode(canvas, TRANSPARENT);
  TextOutW(canvas, sender.Width() / 2 - size.cx / 2, sender.Height() / 2 - size.cy / 2, text.c_str(),
           static_cast<int>(text.size()));
}

void TForm1::ScrollBoxDropFiles(const std::vector<std::string>& files) {
  if (files.empty()) return;
  gui::Application().BringToFront();
  OpenIconFile(files.front());
  ScrollBox.SetHint(L"");  // the invitation has done its work
  if (files.size() > 1) gui::Application().MessageBox(Lang(sOneFileAtATime), MB_OK | MB_ICONINFORMATION);
}

bool TForm1::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = kMinTrackWidth;
  info->ptMinTrackSize.y = kMinTrackHeight;
  return true;
}

void TForm1::OnSize(UINT /*type*/, int /*width*/, int /*height*/) { FormResize(); }

bool TForm1::OnSetFocus(HWND /*previous*/) {
  SetFocus(ScrollBox.Handle());
  return true;
}

bool TForm1::OnMenuSelect(UINT item, UINT /*flags*/, HMENU /*menu*/) {
  // A recent file's full path shows while its entry is highlighted.
  if (const auto path = RecentFileForCommand(recent_, item)) AppOnHint(gui::AnsiToWide(*path));
  return true;
}

// The program's own messages.
LRESULT TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_RUNCOMMANDLINE: RunCommandLine(); return 0;
    case WM_MINIMUMCHANGED: MinimumChanged(); return 0;
    default: return TForm::HandleMessage(msg, wp, lp);
  }
}

}  // namespace app
