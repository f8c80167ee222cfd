// The About window is a template built in memory, its controls placed in
// pixels in a client area of 289 x 185. Its texts are fixed: none comes
// from the language table. The link labels are static controls that report
// clicks; the window paints them blue and gives them the hand cursor.
#include "app/about_win.h"

#include <shellapi.h>

#include "app/about_links.h"
#include "gui/application.h"
#include "gui/dialog_template.h"
#include "gui/text.h"

namespace app {

namespace {

constexpr int kClientWidth = 289;
constexpr int kClientHeight = 185;
constexpr wchar_t kVersion[] = L"3.4";
constexpr wchar_t kNotice[] = L"Finds, shows and saves the icons inside files.";
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

HFONT MakeFont(int pixels, int weight) {
  return CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Impact");
}

// Puts a label at (x, y) with the size of its text, so that only the text
// itself reacts to the mouse.
void PlaceLabel(HWND label, int x, int y) {
  const std::wstring text = gui::WindowText(label);
  SIZE size{0, 0};
  {
    util::WindowDc dc(label);
    util::SelectGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  }
  SetWindowPos(label, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER);
}

}  // namespace

TAboutFrm::TAboutFrm()
    : OnOpenLink([](const std::string& address) {
        ShellExecuteA(gui::Application().MainWindow(), nullptr, address.c_str(), nullptr, nullptr, SW_SHOW);
      }) {}

void TAboutFrm::Execute(HWND owner) {
  gui::DialogTemplate t(DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU, 190, 110, L"About...");
  using gui::DialogTemplate;
  t.Item(SS_ICON, 0, 0, 0, 0, kAboutIconId, DialogTemplate::kStatic, L"");
  t.Item(SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, kAboutNameId, DialogTemplate::kStatic, L"Tamsel");
  t.Item(SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, kAboutVersionId, DialogTemplate::kStatic, kVersion);
  t.Item(SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, kAboutNoticeId, DialogTemplate::kStatic, kNotice);
  t.Item(SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, 0, 0, 0, kAboutMailId, DialogTemplate::kStatic,
         gui::AnsiToWide(kMailAddress));
  t.Item(SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, 0, 0, 0, kAboutWebId, DialogTemplate::kStatic,
         gui::AnsiToWide(kWebAddress));
  ShowModal(owner, t.get());
}

bool TAboutFrm::OnInitDialog() {
  HWND dialog = Handle();
  HWND icon = GetDlgItem(dialog, kAboutIconId);
  SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1))),
               0);
  SetWindowPos(icon, nullptr, 16, 16, 32, 32, SWP_NOZORDER);

  name_font_.reset(MakeFont(19, FW_BOLD));
  version_font_.reset(MakeFont(16, FW_NORMAL));
  SendDlgItemMessageW(dialog, kAboutNameId, WM_SETFONT, reinterpret_cast<WPARAM>(name_font_.get()), FALSE);
  SendDlgItemMessageW(dialog, kAboutVersionId, WM_SETFONT, reinterpret_cast<WPARAM>(version_font_.get()), FALSE);
  PlaceLabel(GetDlgItem(dialog, kAboutNameId), 87, 8);
  PlaceLabel(GetDlgItem(dialog, kAboutVersionId), 192, 32);
  PlaceLabel(GetDlgItem(dialog, kAboutNoticeId), 61, 60);
  PlaceLabel(GetDlgItem(dialog, kAboutMailId), 61, 86);
  PlaceLabel(GetDlgItem(dialog, kAboutWebId), 61, 112);

  ok_btn_.Create(dialog, kAboutOkId, 107, 152, 75, 25, L"OK");
  ok_btn_.SetFont(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  ok_btn_.SetDefault(true);
  ok_btn_.OnClick = [this](controls::TZuButton&) { End(IDOK); };
  gui::CenterDialog(dialog, kClientWidth, kClientHeight);
  SetFocus(ok_btn_.Handle());
  return false;  // the focus is set
}

bool TAboutFrm::IsLink(HWND control) const {
  return control && (control == GetDlgItem(Handle(), kAboutMailId) || control == GetDlgItem(Handle(), kAboutWebId));
}

void TAboutFrm::Label4Click(HWND label) {
  const std::string text = gui::WideToAnsi(gui::WindowText(label));
  if (OnOpenLink) OnOpenLink(LinkTarget(text));
}

bool TAboutFrm::OnCommand(int id, int code, HWND control) {
  if (code == STN_CLICKED && IsLink(control)) {
    Label4Click(control);
    return true;
  }
  if (id == IDOK || id == IDCANCEL) {  // Enter, Escape and the close box
    End(IDOK);
    return true;
  }
  return false;
}

HBRUSH TAboutFrm::OnCtlColorStatic(HDC dc, HWND control) {
  if (!IsLink(control)) return nullptr;
  SetTextColor(dc, kLinkColor);
  SetBkMode(dc, TRANSPARENT);
  return GetSysColorBrush(COLOR_BTNFACE);
}

bool TAboutFrm::OnSetCursor(HWND window, UINT /*hit_test*/) {
  if (!IsLink(window)) return false;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
  return true;
}

void ShowAbout(HWND owner) {
  TAboutFrm form;
  form.Execute(owner);
}

}  // namespace app
