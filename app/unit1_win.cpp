#include "app/unit1_win.h"

#include <commctrl.h>

#include <algorithm>

#include "app/export_engine_win.h"
#include "app/globals.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "gui/application.h"
#include "gui/cursor.h"
#include "gui/text.h"
#include "util/file_utils.h"
#include "util/file_utils_win.h"

namespace app {

namespace {

// Start geometry and the smallest size the window may be dragged to.
constexpr int kFormLeft = 161;
constexpr int kFormTop = 98;
constexpr int kFormWidth = 526;
constexpr int kFormHeight = 445;
constexpr int kMinTrackWidth = 526;
constexpr int kMinTrackHeight = 455;
// The toolbar strip above the grid and the search bar below it.
constexpr int kToolbarHeight = 33;
constexpr int kSearchBarHeight = 41;
constexpr int kStatusPanelWidth = 50;
constexpr int kScrollBoxId = 100;

std::string ModuleFileName() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

TForm1::TForm1(std::vector<std::string> args) : args_(std::move(args)), program_path_(ModuleFileName()) {}

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
  CreateControls();
  save_dialog_folder_ = util::CurrentDirectory();
  help_file_ = util::ProgramFolder() + "glimbo.chm";
  PostMessageW(Handle(), WM_RUNCOMMANDLINE, 0, 0);
  if (args_.size() <= 1) OpenIconFile(program_path_);
}

bool TForm1::FormCloseQuery() { return true; }

void TForm1::FormDestroy() {}

void TForm1::CreateControls() {
  StatusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, Handle(),
                              nullptr, gui::Application().Instance(), nullptr);
  ScrollBox.Create(Handle(), 0, kToolbarHeight, kFormWidth, kFormHeight / 2, kScrollBoxId);
  ScrollBox.OnSelectItem = [this](controls::TZuScrollBox&, int index) { ScrollBoxSelectItem(index); };
  ScrollBox.OnCustomPaint = [this](controls::TZuImageBox& sender, HDC canvas) { ScrollBoxCustomPaint(sender, canvas); };
  ScrollBox.SetOnDropFiles([this](controls::TZuScrollBox&, int, int, const std::vector<std::string>& files) {
    ScrollBoxDropFiles(files);
  });
  LayoutControls();
  SetFocus(ScrollBox.Handle());
}

void TForm1::LayoutControls() {
  if (!StatusBar) return;
  SendMessageW(StatusBar, WM_SIZE, 0, 0);
  RECT client = ClientRect();
  RECT status{};
  GetWindowRect(StatusBar, &status);
  const int width = client.right - client.left;
  const int status_height = status.bottom - status.top;
  const int grid_height = std::max(0, static_cast<int>(client.bottom) - kToolbarHeight - kSearchBarHeight - status_height);
  ScrollBox.SetBounds(0, kToolbarHeight, width, grid_height);

  // Panel 0 takes half the width; the other three are 50 pixels each.
  int edges[4];
  edges[0] = width / 2;
  for (int i = 1; i < 4; ++i) edges[i] = edges[i - 1] + kStatusPanelWidth;
  SendMessageW(StatusBar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

void TForm1::SetStatusText(int panel, const std::wstring& text) const {
  if (StatusBar) SendMessageW(StatusBar, SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(text.c_str()));
}

void TForm1::OpenIconFile(const std::string& path) {
  gui::HourglassCursor hourglass;
  CurrentFileName = path;
  SetCaption(gui::Application().Title() + L" - " + gui::AnsiToWide(util::ExtractFileName(path)));
  Grid().LoadIcons(CurrentFileName);
  RedrawWindow(ScrollBox.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  SetStatusText(1, L"");
  const int n = Grid().IconCount();
  if (n > 0) Grid().SetItemIndex(0);
  HTMLColumnCount = std::min(n, Grid().Columns());
  UpdateWindow(Handle());
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
  static const char* const kDepthNames[] = {"1", "4", "8", "24", "32"};
  const uint8_t depth = GetGraphicColorDepth(icon);
  SetStatusText(3, LangFormat(sBits, depth < 5 ? kDepthNames[depth] : "?"));
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
  if (files.size() > 1) gui::Application().MessageBox(Lang(sOneFileAtATime), MB_OK | MB_ICONINFORMATION);
}

LRESULT TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      info->ptMinTrackSize.x = kMinTrackWidth;
      info->ptMinTrackSize.y = kMinTrackHeight;
      return 0;
    }
    case WM_RUNCOMMANDLINE:
      RunCommandLine();
      return 0;
    case WM_SIZE:
      LayoutControls();
      return 0;
    case WM_SETFOCUS:
      SetFocus(ScrollBox.Handle());
      return 0;
    default:
      return TForm::HandleMessage(msg, wp, lp);
  }
}

}  // namespace app
