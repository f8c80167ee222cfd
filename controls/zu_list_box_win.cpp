#include "controls/zu_list_box_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "controls/list_search.h"
#include "gui/application.h"
#include "gui/text.h"
#include "util/handles_win.h"

namespace controls {

namespace {

constexpr UINT kCloseSearch = WM_APP + 0x52;
constexpr int kItemHeight = 18;

}  // namespace

// --- TSearchEdit -------------------------------------------------------------

bool TSearchEdit::Create() {
  const RECT client = list_.ClientRect();
  if (!TSystemControl::Create(L"EDIT", list_.Handle(), 0, WS_BORDER | ES_AUTOHSCROLL, 0, 0, client.right,
                              list_.FontHeight() + 6))
    return false;
  SetFont(reinterpret_cast<HFONT>(SendMessageW(list_.Handle(), WM_GETFONT, 0, 0)));
  ShowWindow(Handle(), SW_SHOW);
  SetFocus(Handle());
  return true;
}

void TSearchEdit::CaretToEnd() const {
  const int length = GetWindowTextLengthW(Handle());
  SendMessageW(Handle(), EM_SETSEL, length, length);
}

bool TSearchEdit::OnReflectedCommand(int code) {
  if (code != EN_CHANGE || completing_) return false;
  Changed();
  return true;
}

// Completes the typed text from the list's items.
void TSearchEdit::Changed() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  TSearchText edit;
  edit.text = gui::WideToAnsi(Text());
  edit.caret = end;
  edit.selection_start = start;
  edit.selection_length = end - start;
  const TCompletion completion = Complete(edit, prev_length_, list_.Items(), list_.ItemIndex());
  prev_length_ = completion.prev_length;
  if (completion.select_all) SendMessageW(Handle(), EM_SETSEL, 0, -1);
  if (!completion.changed) return;
  completing_ = true;
  SetText(gui::AnsiToWide(completion.result.text));
  completing_ = false;
  SendMessageW(Handle(), EM_SETSEL, completion.result.selection_start,
               completion.result.selection_start + completion.result.selection_length);
}

void TSearchEdit::EnterPressed() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const DWORD length = static_cast<DWORD>(GetWindowTextLengthW(Handle()));
  switch (EnterSelection(start, end, length)) {
    case TEnterSelection::kSelectAll: SendMessageW(Handle(), EM_SETSEL, 0, -1); break;
    case TEnterSelection::kCaretToEnd: CaretToEnd(); break;
  }
  const int before = list_.ItemIndex();
  const std::wstring text = Text();
  SendMessageW(list_.Handle(), LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  if (list_.ItemIndex() != before) {
    if (list_.OnClick) list_.OnClick(list_);
    list_.CloseSearchLater();
  }
}

bool TSearchEdit::OnKeyDown(UINT key, LPARAM flags) {
  if (key == VK_ESCAPE) {
    list_.CloseSearchLater();
    return true;
  }
  if (key == VK_F2) {
    CaretToEnd();
    return true;
  }
  if (key == VK_TAB && GetKeyState(VK_MENU) >= 0) {
    SendMessageW(list_.Handle(), WM_KEYDOWN, key, flags);
    return true;
  }
  return false;
}

bool TSearchEdit::OnChar(UINT ch, LPARAM /*flags*/) {
  if (ch == VK_RETURN) {
    EnterPressed();
    return true;
  }
  return ch == VK_ESCAPE || ch == VK_TAB;  // no beep
}

std::optional<LRESULT> TSearchEdit::OnGetDlgCode(UINT /*key*/, MSG* /*msg*/) { return DLGC_WANTALLKEYS; }

bool TSearchEdit::OnKillFocus(HWND /*next*/) {
  list_.CloseSearchLater();
  return false;
}

// --- TZuListBox ----------------------------------------------------------------

TZuListBox::~TZuListBox() { search_.reset(); }

bool TZuListBox::Create(HWND parent, UINT_PTR id, int x, int y, int width, int height, bool sorted) {
  const DWORD style = WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_BORDER | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                      LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (sorted ? LBS_SORT : 0);
  if (!TSystemControl::Create(L"LISTBOX", parent, id, style, x, y, width, height)) return false;
  SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, kItemHeight);
  RaiseItemHeight();

  // One tool over the row under the mouse; its text is asked for when it shows.
  hint_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                          Handle(), nullptr, gui::Application().ModuleInstance(), nullptr);
  if (hint_) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = Handle();
    tool.uId = 1;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(hint_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(hint_, WM_SETFONT, SendMessageW(Handle(), WM_GETFONT, 0, 0), FALSE);
  }
  return true;
}

// The tool covers the row under the mouse, so that the tip goes when the
// mouse leaves the row and comes again over the next one.
void TZuListBox::TrackHintRow(int x, int y) {
  if (!hint_) return;
  const LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
  const int row = HIWORD(hit) ? -1 : static_cast<int>(LOWORD(hit));
  if (row == hint_row_) return;
  hint_row_ = row;
  SendMessageW(hint_, TTM_POP, 0, 0);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = Handle();
  tool.uId = 1;
  if (row < 0 || SendMessageW(Handle(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&tool.rect)) == LB_ERR)
    tool.rect = RECT{0, 0, 0, 0};
  SendMessageW(hint_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  // The tip saw this move before the tool covered the new row: show it again.
  MSG move{Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y), static_cast<DWORD>(GetMessageTime()), {0, 0}};
  GetCursorPos(&move.pt);
  SendMessageW(hint_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

std::optional<util::TRect> TZuListBox::RowHint(std::wstring* text) const {
  if (hint_row_ < 0 || hint_row_ >= Count()) return std::nullopt;
  int offset = 2;
  std::string item = Item(hint_row_);
  if (OnGetItemParams) OnGetItemParams(*const_cast<TZuListBox*>(this), hint_row_, nullptr, offset, item);
  const std::wstring wide = gui::AnsiToWide(item);
  util::WindowDc dc(Handle());
  util::SelectGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
  RECT row{};
  SendMessageW(Handle(), LB_GETITEMRECT, hint_row_, reinterpret_cast<LPARAM>(&row));
  if (text) *text = wide;
  return LongRowHint(size.cx, offset, ClientRect().right, row.top, row.bottom, wide.empty());
}

std::optional<LRESULT> TZuListBox::OnNotify(NMHDR* header) {
  if (!hint_ || header->hwndFrom != hint_) return std::nullopt;
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const std::optional<util::TRect> hint = RowHint(&hint_text_);
    if (!hint) hint_text_.clear();
    info->lpszText = const_cast<wchar_t*>(hint_text_.c_str());
    return 0;
  }
  if (header->code == TTN_SHOW) {
    // The tip opens right over the row: its top left at the row's top and
    // two pixels left of the row's text.
    const std::optional<util::TRect> hint = RowHint(nullptr);
    if (!hint) return 0;
    POINT corner{hint->left, hint->top};
    ClientToScreen(Handle(), &corner);
    SetWindowPos(hint_, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
  }
  return std::nullopt;
}

int TZuListBox::FontHeight() const {
  util::WindowDc dc(nullptr);
  util::SelectGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  return metrics.tmHeight;
}

// Rows are never lower than the font's character cell.
void TZuListBox::RaiseItemHeight() const {
  const int height = static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
  if (height < FontHeight()) SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, FontHeight());
}

void TZuListBox::Clear() {
  SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
  RaiseItemHeight();
  alter_index_ = -1;
}

void TZuListBox::BeginUpdate() {
  if (update_count_++ == 0) SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TZuListBox::EndUpdate() {
  if (update_count_ == 0 || --update_count_ > 0) return;
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TZuListBox::RedrawRow(int index) const {
  RECT row{};
  if (index >= 0 && SendMessageW(Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)) != LB_ERR)
    InvalidateRect(Handle(), &row, FALSE);
}

void TZuListBox::SetAlterIndex(int index) {
  if (index == alter_index_) return;
  RedrawRow(alter_index_);
  // The rows under an open search edit lie behind it: the edit shows again.
  if (search_ && alter_index_ >= 0 && alter_index_ < 2) InvalidateRect(search_->Handle(), nullptr, TRUE);
  alter_index_ = index;
  RedrawRow(alter_index_);
}

// The mark follows the mouse over the rows; the two rows under an open
// search edit never take it.
void TZuListBox::TrackAlterRow(int x, int y) {
  if (!ShowAlterItem || Count() == 0 || x < 1 || y < 1) return;
  const int height = static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
  const int top = static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
  if (height <= 0 || y >= (Count() - top) * height) return;
  const int row = y / height + top;
  if (search_ && row - top < 2) return;
  SetAlterIndex(row);
}

bool TZuListBox::MoveAlterRow(UINT key) {
  if (!ShowAlterItem || search_ || (key != VK_UP && key != VK_DOWN)) return false;
  const int target = alter_index_ + (key == VK_UP ? -1 : 1);
  if (target < 0 || target >= Count()) return true;
  SetAlterIndex(target);
  const int height = static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
  const int top = static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
  const int visible = height > 0 ? ClientRect().bottom / height : 1;
  if (target < top) SendMessageW(Handle(), LB_SETTOPINDEX, target, 0);
  if (target >= top + visible) SendMessageW(Handle(), LB_SETTOPINDEX, target - visible + 1, 0);
  return true;
}

int TZuListBox::Add(const std::string& item) {
  Append(item);
  return Count();
}

bool TZuListBox::Append(const std::string& item) {
  const std::wstring text = gui::AnsiToWide(item);
  return SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())) >= 0;
}

int TZuListBox::Count() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

std::string TZuListBox::Item(int index) const {
  const LRESULT length = SendMessageW(Handle(), LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return std::string();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(length));
  return gui::WideToAnsi(text);
}

std::vector<std::string> TZuListBox::Items() const {
  std::vector<std::string> items;
  for (int i = 0, n = Count(); i < n; ++i) items.push_back(Item(i));
  return items;
}

int TZuListBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void TZuListBox::SetItemIndex(int index) const { SendMessageW(Handle(), LB_SETCURSEL, index, 0); }

void TZuListBox::SetSearchActive(bool on) {
  if (on == SearchActive()) return;
  if (on) {
    search_ = std::make_unique<TSearchEdit>(*this);
    if (!search_->Create()) search_.reset();
  } else {
    const bool had_focus = search_ && GetFocus() == search_->Handle();
    search_.reset();
    if (had_focus) SetFocus(Handle());
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TZuListBox::CloseSearchLater() const { PostMessageW(Handle(), kCloseSearch, 0, 0); }

bool TZuListBox::OnReflectedMeasureItem(MEASUREITEMSTRUCT* item) {
  item->itemHeight = kItemHeight;
  return true;
}

bool TZuListBox::OnReflectedCommand(int code) {
  if (code != LBN_SELCHANGE) return false;
  if (OnClick) OnClick(*this);
  return true;
}

COLORREF TZuListBox::RowBackground(int index) const {
  return GetSysColor(index == ItemIndex() ? COLOR_HIGHLIGHT : COLOR_WINDOW);
}

bool TZuListBox::OnReflectedDrawItem(DRAWITEMSTRUCT* item) {
  if (item->itemID == static_cast<UINT>(-1) || static_cast<int>(item->itemID) >= Count()) return true;
  HDC dc = item->hDC;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  const int saved = SaveDC(dc);
  SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const RECT& row = item->rcItem;
  FillRect(dc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

  const int index = static_cast<int>(item->itemID);
  int offset = 2;
  std::string text = Item(index);
  imaging::TBitmap picture;
  if (OnGetItemParams) OnGetItemParams(*this, index, &picture, offset, text);
  if (!picture.Empty()) {
    const int x = row.left + 2;
    const int y = PictureTop(row.top, row.bottom, picture.Height());
    if (picture.Transparent) {
      GdiTransparentBlt(dc, x, y, picture.Width(), picture.Height(), picture.Canvas(), 0, 0, picture.Width(),
                        picture.Height(), picture.TransparentColor);
    } else {
      BitBlt(dc, x, y, picture.Width(), picture.Height(), picture.Canvas(), 0, 0, SRCCOPY);
    }
  }
  if (!text.empty()) {
    // The item's DC holds the list's font: its metrics need no screen DC.
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const std::wstring wide = gui::AnsiToWide(text);
    SetBkMode(dc, OPAQUE);
    TextOutW(dc, row.left + offset, TextTop(row.top, row.bottom, metrics.tmHeight), wide.c_str(),
             static_cast<int>(wide.size()));
  }
  if (ShowAlterItem && index == alter_index_ && !selected) {
    util::UniquePen red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    util::SelectGuard pen(dc, red.get());
    const POINT frame[] = {{row.left, row.top},
                           {row.right - 1, row.top},
                           {row.right - 1, row.bottom - 1},
                           {row.left, row.bottom - 1},
                           {row.left, row.top}};
    Polyline(dc, frame, 5);
  }
  RestoreDC(dc, saved);
  return true;
}

// The list's own message.
LRESULT TZuListBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != kCloseSearch) return TSystemControl::HandleMessage(msg, wp, lp);
  SetSearchActive(false);
  return 0;
}

bool TZuListBox::OnMouseMove(int x, int y, UINT /*keys*/) {
  TrackHintRow(x, y);
  TrackAlterRow(x, y);
  return false;
}

// Scrolling or clicking the list ends a search.
bool TZuListBox::OnMouseButtonDown(gui::MouseButton /*button*/, int /*x*/, int /*y*/, UINT /*keys*/) {
  SetSearchActive(false);
  return false;
}

bool TZuListBox::OnMouseWheel(int /*delta*/, UINT /*keys*/, int /*x*/, int /*y*/) {
  SetSearchActive(false);
  return false;
}

bool TZuListBox::OnVScroll(int /*code*/, int /*position*/, HWND /*bar*/) {
  SetSearchActive(false);
  return false;
}

bool TZuListBox::OnKeyDown(UINT key, LPARAM /*flags*/) { return GetKeyState(VK_MENU) < 0 && MoveAlterRow(key); }

bool TZuListBox::OnSysKeyDown(UINT key, LPARAM /*flags*/) { return GetKeyState(VK_MENU) < 0 && MoveAlterRow(key); }

bool TZuListBox::OnFilesDropped(HDROP drop) {
  if (!OnDropFiles) return false;
  std::vector<std::string> files;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    char name[MAX_PATH + 1] = {};
    DragQueryFileA(drop, i, name, sizeof name);
    files.push_back(name);
  }
  POINT at{};
  DragQueryPoint(drop, &at);
  // The drop is finished whatever the handler does.
  struct Finish {
    HDROP drop;
    ~Finish() { DragFinish(drop); }
  } finish{drop};
  OnDropFiles(*this, at.x, at.y, files);
  return true;
}

bool TZuListBox::OnChar(UINT ch, LPARAM flags) {
  if (SearchActive() || !DirectSearch || !OpensSearch(ch, GetKeyState(VK_CONTROL) < 0)) return false;
  SetSearchActive(true);
  if (search_) SendMessageW(search_->Handle(), WM_CHAR, ch, flags);
  return true;
}

void TZuListBox::OnSize(UINT /*type*/, int /*width*/, int /*height*/) {
  if (alter_index_ >= 0 && alter_index_ != ItemIndex()) RedrawRow(alter_index_);
  if (search_) {
    const RECT client = ClientRect();
    SetWindowPos(search_->Handle(), nullptr, 0, 0, client.right, FontHeight() + 6, SWP_NOMOVE | SWP_NOZORDER);
  }
}

}  // namespace controls
