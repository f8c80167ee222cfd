// The hook of the file dialogs is the dialog procedure of the child dialog
// that the system creates inside the explorer-style dialog: from our
// template when the strip is wanted, an empty one of the system's otherwise.
// The child dialog runs through the program's dialog class, bound at
// WM_INITDIALOG, so its handlers have the same error guard as every window. The strip's windows are children of the
// child dialog, so the dialog destroys them; their state is read when the
// child dialog is destroyed, before its children go.
#include "controls/zu_dialog_win.h"

#include <dlgs.h>
#include <shlobj.h>

#include <exception>
#include <vector>

#include "gui/application.h"
#include "gui/dialog.h"
#include "gui/text.h"
#include "util/file_utils.h"
#include "util/file_utils_win.h"
#include "util/handles_win.h"

namespace controls {

namespace {

const wchar_t kTemplateName[] = L"DLGTEMPLATE";
// Room for a long path, or for the names of a multiple selection.
constexpr size_t kFileBufferSize = 32 * 1024;
// BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_NEWDIALOGSTYLE
constexpr UINT kBrowseFlags = 0x45;

// "description|pattern|…" as the system wants it: ANSI parts, each ended by
// a zero, and one more zero at the end. The bars are found in the wide text,
// where no byte of a double-byte character can be taken for one.
// The dialog runs through the wide API, so that its Chinese title and type
// names show on any system code page; the names it hands in and out are
// the program's ANSI paths.
std::wstring SystemFilter(const std::wstring& filter) {
  if (filter.empty()) return std::wstring();
  std::wstring out = filter;
  for (wchar_t& c : out) {
    if (c == L'|') c = L'\0';
  }
  out += L'\0';
  out += L'\0';
  return out;
}

// The file name the running dialog would return now: its folder and the
// name typed so far.
std::string CurrentFileName(HWND dialog) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const LRESULT n = SendMessageW(dialog, CDM_GETFILEPATH, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    if (n <= 0) return std::string();
    if (static_cast<size_t>(n) <= buffer.size()) return gui::WideToAnsi(buffer.data());
    buffer.resize(static_cast<size_t>(n));
  }
}

HWND CreateChild(DWORD ex_style, const wchar_t* cls, DWORD style, int x, int y, int width, int height, HWND parent,
                 int id, HFONT font) {
  HWND hwnd =
      CreateWindowExW(ex_style, cls, L"", WS_CHILD | style, x, y, width, height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), gui::Application().ModuleInstance(), nullptr);
  if (hwnd && font) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return hwnd;
}

}  // namespace

bool TZuOpenDialog::Execute(HWND owner) {
  std::vector<wchar_t> file(kFileBufferSize, L'\0');
  gui::AnsiToWide(FileName).copy(file.data(), file.size() - 1);
  const std::wstring filter = SystemFilter(Filter);
  const std::wstring title = Title;
  const std::wstring default_ext = gui::AnsiToWide(DefaultExt);
  const std::wstring initial_dir = gui::AnsiToWide(InitialDir);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.hInstance = gui::Application().ModuleInstance();
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = initial_dir.empty() ? nullptr : initial_dir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = default_ext.empty() ? nullptr : default_ext.c_str();
  ofn.Flags = Options | OFN_EXPLORER | OFN_ENABLEHOOK;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);
  ofn.lpfnHook = &HookProc;
  // The template's only purpose is the strip, which the check box's owner
  // switches on.
  if (OnGetCheckParams) {
    ofn.Flags |= OFN_ENABLETEMPLATE;
    ofn.lpTemplateName = kTemplateName;
  }

  panel_ = check_window_ = label_window_ = nullptr;
  child_ = std::make_unique<TChildDialog>(*this);
  const BOOL confirmed = RunSystemDialog(ofn);
  child_.reset();
  if (!confirmed) return false;
  FileName = gui::WideToAnsi(file.data());
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  if (OnGetChecked) OnGetChecked(check_box_.Checked);
  return true;
}

// The child dialog inside the system's file dialog: the hook's window.
class TZuOpenDialog::TChildDialog : public gui::TDialog {
 public:
  explicit TChildDialog(TZuOpenDialog& owner) : owner_(owner) {}

 protected:
  bool OnInitDialog() override {
    if (owner_.OnGetCheckParams) owner_.CreateStrip(Handle());
    return true;
  }
  std::optional<LRESULT> OnNotify(NMHDR* header) override {
    switch (header->code) {
      case CDN_INITDONE: owner_.Show(Handle()); return 0;
      case CDN_FOLDERCHANGE: owner_.FolderChange(Handle()); return 0;
      default: return std::nullopt;
    }
  }
  bool OnDestroy() override {
    owner_.KeepCheckState();
    return TDialog::OnDestroy();
  }

 private:
  TZuOpenDialog& owner_;
};

TZuOpenDialog::TZuOpenDialog() = default;
TZuOpenDialog::~TZuOpenDialog() = default;

UINT_PTR CALLBACK TZuOpenDialog::HookProc(HWND hook, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<TZuOpenDialog*>(reinterpret_cast<const OPENFILENAMEW*>(lp)->lCustData);
    self->child_->BindAtInit(hook);
  }
  return static_cast<UINT_PTR>(gui::TDialog::Route(hook, msg, wp, lp));
}

void TZuOpenDialog::CreateStrip(HWND hook) {
  // The file dialog's own font: the strip matches the standard controls,
  // and its texts get the same fallback fonts for characters that the face
  // lacks.
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(hook), WM_GETFONT, 0, 0));
  // A container for the tab order: the dialog's keyboard navigation walks
  // into the panel's children.
  panel_ = CreateChild(WS_EX_CONTROLPARENT, L"STATIC", SS_LEFT, 0, 204, 200, 24, hook, kZuStripPanelId, font);
  if (!panel_) return;
  // Created first, the check box stays above the label, which fills the
  // panel once placed.
  check_window_ = CreateChild(0, L"BUTTON", WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_AUTOCHECKBOX, 8, 4, 157, 17,
                              panel_, kZuCheckBoxId, font);
  label_window_ =
      CreateChild(0, L"STATIC", WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX, 8, 8, 157, 13, panel_, kZuInfoLabelId, font);
}

void TZuOpenDialog::Show(HWND hook) {
  // The system took the title as ANSI text, which loses the characters
  // outside the code page. The dialog's procedure is an ANSI one, which
  // would narrow a wide text again, so the wide title is stored by the
  // default procedure itself.
  if (!Title.empty()) DefWindowProcW(GetParent(hook), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Title.c_str()));
  info_label_ = TZuInfoLabel{};
  ShowInfoLabel();
  if (OnGetCheckParams) gui::RunGuarded([&] { OnGetCheckParams(check_box_); });
  if (check_window_) {
    SetWindowTextW(check_window_, check_box_.Caption.c_str());
    SendMessageW(check_window_, BM_SETCHECK, check_box_.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowWindow(check_window_, check_box_.Visible ? SW_SHOW : SW_HIDE);
  }
  if (!panel_) return;
  // The system has grown the placeholder over its standard controls; the
  // strip takes what lies below it, across the whole width.
  RECT client;
  GetClientRect(hook, &client);
  LONG top = 0;
  if (HWND placeholder = GetDlgItem(hook, stc32)) {
    RECT r;
    GetWindowRect(placeholder, &r);
    MapWindowPoints(nullptr, hook, reinterpret_cast<POINT*>(&r), 2);
    top = r.bottom;
  }
  const int width = client.right;
  const int height = client.bottom > top ? client.bottom - top : 0;
  SetWindowPos(panel_, nullptr, 0, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (label_window_) SetWindowPos(label_window_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TZuOpenDialog::FolderChange(HWND hook) {
  if (!OnGetFileInfo) return;
  const std::string name = CurrentFileName(GetParent(hook));
  gui::RunGuarded([&] { OnGetFileInfo(name, info_label_); });
  ShowInfoLabel();
}

void TZuOpenDialog::ShowInfoLabel() {
  if (!label_window_) return;
  SetWindowTextW(label_window_, info_label_.Caption.c_str());
  ShowWindow(label_window_, info_label_.Visible ? SW_SHOW : SW_HIDE);
}

void TZuOpenDialog::KeepCheckState() {
  if (check_window_) check_box_.Checked = SendMessageW(check_window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  panel_ = check_window_ = label_window_ = nullptr;
}

namespace {

// Where the folder picker should start. Under Wine the picker's walk down
// to the start folder at times stops at one of its parents; a stop there is
// answered by asking again, a few times.
struct TPickerStart {
  std::wstring folder;
  int retries = 3;
  bool arrived = false;
};

bool IsParentOf(const std::wstring& parent, const std::wstring& folder) {
  return folder.size() > parent.size() && _wcsnicmp(parent.c_str(), folder.c_str(), parent.size()) == 0 &&
         (parent.back() == L'\\' || folder[parent.size()] == L'\\');
}

// The folder picker's callback. Its parameter is the start, or null.
int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM lp, LPARAM data) {
  auto* start = reinterpret_cast<TPickerStart*>(data);
  // An error must not unwind through the shell's code; it is shown here.
  try {
    switch (msg) {
      case BFFM_INITIALIZED:
        if (start) {
          SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->folder.c_str()));
          SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(start->folder.c_str()));
        }
        break;
      case BFFM_SELCHANGED: {
        wchar_t path[MAX_PATH] = {};
        if (!SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lp), path)) break;
        SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
        if (!start || start->arrived) break;
        if (_wcsicmp(path, start->folder.c_str()) == 0) {
          start->arrived = true;
        } else if (IsParentOf(path, start->folder) && start->retries > 0) {
          --start->retries;
          PostMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->folder.c_str()));
        }
        break;
      }
    }
  } catch (const std::exception& e) {
    MessageBoxW(browser, gui::TApplication::Describe(e).c_str(), nullptr, MB_OK);
  } catch (...) {
    MessageBoxW(browser, L"An unexpected error occurred.", nullptr, MB_OK);
  }
  return 0;
}

}  // namespace

bool TZuDirDialog::Execute(HWND owner) {
  // The new dialog style needs OLE on this thread.
  util::OleSession ole;
  LPITEMIDLIST desktop_list = nullptr;
  const HRESULT hr = SHGetSpecialFolderLocation(owner, CSIDL_DESKTOP, &desktop_list);
  util::UniquePidl desktop(desktop_list);
  if (FAILED(hr) || !desktop) return false;

  // The wide API shows the Chinese title on any code page; the folder goes
  // in and out as the program's ANSI path.
  wchar_t display_name[MAX_PATH] = {};
  const std::wstring title = Title;
  if (Directory.empty()) Directory = util::CurrentDirectory();
  Directory = util::RemoveBackslash(Directory);
  TPickerStart start{gui::AnsiToWide(Directory)};

  BROWSEINFOW info{};
  info.hwndOwner = owner ? owner : GetActiveWindow();
  info.pidlRoot = desktop.get();
  info.pszDisplayName = display_name;
  info.lpszTitle = title.c_str();
  info.ulFlags = kBrowseFlags;
  info.lpfn = &BrowseCallback;
  info.lParam = start.folder.empty() ? 0 : reinterpret_cast<LPARAM>(&start);

  util::UniquePidl chosen(SHBrowseForFolderW(&info));
  if (!chosen) return false;
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(chosen.get(), path)) return false;
  Directory = gui::WideToAnsi(path);
  return true;
}

}  // namespace controls
