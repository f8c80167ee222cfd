// TZuListBox: the owner-drawn list of the search pane. Each row shows a
// small picture and a text that its owner supplies (OnGetItemParams);
// typing a character opens a search edit (TSearchEdit) at the top of the
// list that completes the typed text from the items and selects the
// matching row on Enter.
//
// The edit closes itself from inside its own message handling (ESC, Enter,
// losing the focus); it is released only once that handling has returned,
// through a message the list posts to itself.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/list_search.h"
#include "gui/control.h"
#include "imaging/bitmap_win.h"

namespace controls {

class TZuListBox;

class TSearchEdit : public gui::TSystemControl {
 public:
  explicit TSearchEdit(TZuListBox& list) : list_(list) {}
  bool Create();
  void CaretToEnd() const;

 protected:
  bool OnKeyDown(UINT key, LPARAM flags) override;
  bool OnChar(UINT ch, LPARAM flags) override;
  std::optional<LRESULT> OnGetDlgCode(UINT key, MSG* msg) override;
  bool OnKillFocus(HWND next) override;
  bool OnReflectedCommand(int code) override;

 private:
  void Changed();
  void EnterPressed();

  TZuListBox& list_;
  size_t prev_length_ = 0;
  bool completing_ = false;
};

class TZuListBox : public gui::TSystemControl {
 public:
  // Index, a bitmap to draw the row's picture into (null when only the text
  // is wanted), the text's left offset (2 on entry) and the text.
  using TGetItemParamsEvent =
      std::function<void(TZuListBox& sender, int index, imaging::TBitmap* bitmap, int& offset, std::string& text)>;

  ~TZuListBox() override;
  bool Create(HWND parent, UINT_PTR id, int x, int y, int width, int height, bool sorted = true);

  void Clear();
  // Adds the item; returns the count after it.
  int Add(const std::string& item);
  // Adds the item; false when the box could not take it.
  bool Append(const std::string& item);
  int Count() const;
  std::string Item(int index) const;
  std::vector<std::string> Items() const;
  int ItemIndex() const;
  // The colour a row is drawn on: the highlight for the selected row, the
  // window's colour for the others. A row picture that is not transparent
  // is drawn on it.
  COLORREF RowBackground(int index) const;
  void SetItemIndex(int index) const;

  bool DirectSearch = false;
  TGetItemParamsEvent OnGetItemParams;
  // Files dropped on the list (the owner registers the window for drops).
  std::function<void(TZuListBox& sender, int x, int y, const std::vector<std::string>& files)> OnDropFiles;

  // The alternative-item mark: a red frame on row AlterIndex (-1: none)
  // that follows the mouse and Alt+Up/Alt+Down while ShowAlterItem is on.
  bool ShowAlterItem = false;
  int AlterIndex() const { return alter_index_; }
  void SetAlterIndex(int index);

  // A batch of changes: the list does not redraw until the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  std::function<void(TZuListBox& sender)> OnClick;

  // The tool tip that shows a long row's whole text over the row.
  HWND HintWindow() const { return hint_; }

  bool SearchActive() const { return static_cast<bool>(search_); }
  TSearchEdit* SearchEdit() const { return search_.get(); }
  void SetSearchActive(bool on);
  // Closes the search once the current message handling has returned.
  void CloseSearchLater() const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnMouseMove(int x, int y, UINT keys) override;
  bool OnMouseButtonDown(gui::MouseButton button, int x, int y, UINT keys) override;
  bool OnMouseWheel(int delta, UINT keys, int x, int y) override;
  bool OnVScroll(int code, int position, HWND bar) override;
  bool OnKeyDown(UINT key, LPARAM flags) override;
  bool OnSysKeyDown(UINT key, LPARAM flags) override;
  bool OnChar(UINT ch, LPARAM flags) override;
  bool OnFilesDropped(HDROP drop) override;
  void OnSize(UINT type, int width, int height) override;
  bool OnReflectedDrawItem(DRAWITEMSTRUCT* item) override;
  bool OnReflectedMeasureItem(MEASUREITEMSTRUCT* item) override;
  bool OnReflectedCommand(int code) override;
  std::optional<LRESULT> OnNotify(NMHDR* header) override;

 private:
  friend class TSearchEdit;
  void TrackHintRow(int x, int y);
  void TrackAlterRow(int x, int y);
  bool MoveAlterRow(UINT key);
  void RedrawRow(int index) const;
  // The hint text and rectangle of the row under the mouse; show false
  // when its text fits.
  std::optional<util::TRect> RowHint(std::wstring* text) const;
  int FontHeight() const;
  void RaiseItemHeight() const;

  std::unique_ptr<TSearchEdit> search_;
  HWND hint_ = nullptr;  // owned by the list box's window (destroyed with it)
  int hint_row_ = -1;
  std::wstring hint_text_;
  int alter_index_ = -1;
  int update_count_ = 0;
};

}  // namespace controls
