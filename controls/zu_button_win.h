// The program's glyph buttons.
//
// TzuSoftButton is window-less: a face with a glyph and a caption, hot
// tracking, and latching groups of buttons on the same host. TzuPopupButton
// adds a drop-down arrow and opens a menu (or shows a panel) under itself,
// optionally from a separate right-hand part. TZuButton is an owner-drawn
// push button that takes the focus, with the same face.
//
// Their state machines live in soft_button (portable); their faces are
// painted by DrawButtonFace. These classes hold the properties, forward the
// mouse to the model and do what it answers.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/soft_button.h"
#include "gui/control.h"
#include "imaging/button_face.h"
#include "util/handles_win.h"

namespace controls {

// The glyph's side of the caption.
enum TzuButtonLayout { blGlyphLeft, blGlyphRight };

// The glyph of a button: a strip of equal frames side by side, kept as a
// bitmap of its own that no device context holds.
class TButtonGlyph {
 public:
  // Copies the picture in (null clears it); false when GDI refused.
  bool Assign(HBITMAP bitmap);
  bool LoadResource(const wchar_t* name);
  HBITMAP Handle() const { return bitmap_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  util::UniqueBitmap bitmap_;
  int width_ = 0;
  int height_ = 0;
};

class TzuSoftButton : public gui::TGraphicControl, private TButtonGroupHost {
 public:
  TzuSoftButton();
  ~TzuSoftButton() override;

  void SetCaption(const std::wstring& caption);
  const std::wstring& Caption() const { return caption_; }
  // The glyph is copied in; its size may set NumGlyphs.
  void SetGlyph(HBITMAP glyph);
  void LoadGlyph(const wchar_t* resource_name);
  void SetNumGlyphs(int count) { Act(model_->SetNumGlyphs(count)); }
  void SetDown(bool down) { Act(model_->SetDown(down)); }
  bool Down() const { return model_->Down(); }
  void SetGroupIndex(int index) { Act(model_->SetGroupIndex(index)); }
  void SetAllowAllUp(bool allow) { Act(model_->SetAllowAllUp(allow)); }
  void SetShadowed(bool shadowed);
  void SetFlat(bool flat) { Act(model_->SetFlat(flat)); }
  void SetLayout(TzuButtonLayout layout);
  void SetEdgeForm(imaging::TzuBtnForm form);
  void SetMargin(int margin) { Act(model_->SetMargin(margin)); }
  void SetSpacing(int spacing);
  void SetTransparent(bool transparent);
  void SetHiLightMode(int mode) { model_->SetHiLightMode(mode); }
  void SetColor(imaging::TColor color);

  std::function<void(TzuSoftButton& sender)> OnClick;
  std::function<void(TzuSoftButton& sender)> OnDblClick;

  // The state machine, for tests and the gallery of controls.
  TSoftButton& Model() { return *model_; }
  const TButtonGlyph& Glyph() const { return glyph_; }

 protected:
  explicit TzuSoftButton(std::unique_ptr<TSoftButton> model);

  // The face options every button kind shares.
  imaging::ButtonFaceParams FaceParams(HDC dc, imaging::FaceState face_state) const;
  void Act(const TButtonActions& actions);
  virtual void DropDown() {}

  void Paint(HDC dc) override;
  void MouseDown(gui::MouseButton button, int x, int y, UINT keys) override;
  void MouseMove(int x, int y, UINT keys) override;
  void MouseUp(gui::MouseButton button, int x, int y, UINT keys) override;
  void DoubleClick(gui::MouseButton button, int x, int y, UINT keys) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void EnabledChanged() override;
  void BoundsChanged() override { model_->SetClientSize(Width(), Height()); }
  bool DialogChar(wchar_t ch) override;
  bool Opaque() const override { return !transparent_; }

 private:
  std::vector<TSoftButton*> SiblingButtons() override;
  void RepaintButton(TSoftButton& button) override;

  std::unique_ptr<TSoftButton> model_;
  std::wstring caption_;
  TButtonGlyph glyph_;
  TzuButtonLayout layout_ = TzuButtonLayout::blGlyphLeft;
  imaging::TzuBtnForm edge_form_ = imaging::efRoundRect;
  int spacing_ = 4;
  bool transparent_ = true;
  imaging::TColor color_ = imaging::SystemColor(COLOR_BTNFACE);
};

class TzuPopupButton : public TzuSoftButton {
 public:
  TzuPopupButton();

  void SetDrawDropDown(bool draw) { Act(popup_->SetDrawDropDown(draw)); }
  void SetSeparateDropDown(bool separate) { Act(popup_->SetSeparateDropDown(separate)); }
  // What opens under the button: a pop-up menu (its commands go to the
  // button's top-level window) or a window shown at that point. Not owned.
  void SetDropDownMenu(HMENU menu) { menu_ = menu; }
  void SetDropDownWindow(HWND window) { window_ = window; }

  // Runs before the drop-down opens; setting handled stops it.
  std::function<void(TzuPopupButton& sender, bool& handled)> OnPopup;

  // Opens the drop-down at the button's bottom-left corner.
  void DropDown() override;

 protected:
  void Paint(HDC dc) override;

 private:
  TPopupButton* popup_;
  HMENU menu_ = nullptr;
  HWND window_ = nullptr;
};

class TZuButton : public gui::TSystemControl {
 public:
  bool Create(HWND parent, UINT_PTR id, int x, int y, int width, int height, const std::wstring& caption);

  void SetGlyph(HBITMAP glyph);
  void SetNumGlyphs(int count);
  void SetLeftText(bool left_text);
  void SetColor(imaging::TColor color);
  void SetHiLightColor(imaging::TColor color);
  void SetFocusedTextColor(imaging::TColor color);
  void SetDoFocusText(bool on);
  void SetShadowed(bool shadowed);
  void SetFlat(bool flat);
  void SetDrawFocus(bool on);
  void SetEdgeForm(imaging::TzuBtnForm form);
  void SetHiLightMode(int mode);
  // The default button of its window: its caption is bold.
  void SetDefault(bool is_default);

  std::function<void(TZuButton& sender)> OnClick;

  bool MouseOver() const { return mouse_over_; }
  bool HasRegion() const { return has_region_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnMouseMove(int x, int y, UINT keys) override;
  void OnMouseLeave() override;
  bool OnMouseDoubleClick(gui::MouseButton button, int x, int y, UINT keys) override;
  void OnSize(UINT type, int width, int height) override;
  bool OnSetFocus(HWND previous) override;
  bool OnKillFocus(HWND next) override;
  bool OnReflectedDrawItem(DRAWITEMSTRUCT* item) override;
  bool OnReflectedCommand(int code) override;

 private:
  void Changed() const { InvalidateRect(Handle(), nullptr, FALSE); }
  void UpdateRegion();

  TButtonGlyph glyph_;
  int num_glyphs_ = 1;
  bool left_text_ = false;
  imaging::TColor color_ = imaging::SystemColor(COLOR_BTNFACE);
  imaging::TColor hi_light_color_ = imaging::SystemColor(COLOR_BTNFACE);
  imaging::TColor focused_text_color_ = 255;  // pure red
  bool do_focus_text_ = false;
  bool shadowed_ = true;
  bool flat_ = false;
  bool draw_focus_ = true;
  imaging::TzuBtnForm edge_form_ = imaging::efRoundRect;
  int hi_light_mode_ = 0;
  bool default_ = false;
  bool mouse_over_ = false;
  bool tracking_ = false;
  bool has_region_ = false;
};

}  // namespace controls
