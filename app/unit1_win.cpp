#include "app/unit1_win.h"

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

std::string ModuleFileName() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::string CurrentDirectory() {
  DWORD n = GetCurrentDirectoryA(0, nullptr);
  std::string dir(n, '\0');
  n = GetCurrentDirectoryA(n, &dir[0]);
  dir.resize(n);
  return dir;
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
  save_dialog_folder_ = CurrentDirectory();
  help_file_ = util::ProgramFolder() + "glimbo.chm";
  PostMessageW(Handle(), WM_RUNCOMMANDLINE, 0, 0);
  if (args_.size() <= 1) OpenIconFile(program_path_);
}

bool TForm1::FormCloseQuery() { return true; }

void TForm1::FormDestroy() {}

void TForm1::OpenIconFile(const std::string& path) {
  gui::HourglassCursor hourglass;
  CurrentFileName = path;
  SetCaption(gui::Application().Title() + L" - " + gui::AnsiToWide(util::ExtractFileName(path)));
  icons_.LoadIcons(CurrentFileName);
  Invalidate();
  UpdateWindow(Handle());
  HTMLColumnCount = icons_.IconCount();
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
    default:
      return TForm::HandleMessage(msg, wp, lp);
  }
}

}  // namespace app
