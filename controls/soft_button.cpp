#include "controls/soft_button.h"

#include <algorithm>
#include <cctype>

namespace controls {

TButtonActions& TButtonActions::operator|=(const TButtonActions& other) {
  Repaint |= other.Repaint;
  RepaintNow |= other.RepaintNow;
  MouseDown |= other.MouseDown;
  DoubleClick |= other.DoubleClick;
  Click |= other.Click;
  DropDown |= other.DropDown;
  Track |= other.Track;
  Handled |= other.Handled;
  return *this;
}

namespace {

TButtonActions RepaintIf(bool changed) {
  TButtonActions actions;
  actions.Repaint = changed;
  return actions;
}

// A property change repaints the button.
template <typename T>
TButtonActions Assign(T& field, T value) {
  const bool changed = field != value;
  field = value;
  return RepaintIf(changed);
}

}  // namespace

void TSoftButton::SetClientSize(int width, int height) {
  width_ = width;
  height_ = height;
}

// For moves and releases the line just below the face still counts as
// inside (y may equal the height); the drop-down part ends at the face.
bool TSoftButton::Inside(int x, int y) const { return x >= 0 && x < width_ && y >= 0 && y <= height_; }

TButtonActions TSoftButton::Press(int, int, bool left_button) {
  TButtonActions actions;
  actions.MouseDown = true;
  if (!left_button || !enabled_) return actions;
  if (!down_) {
    state_ = TBtnState::kDown;
    actions.Repaint = true;
  }
  dragging_ = true;
  return actions;
}

TButtonActions TSoftButton::Move(int x, int y) {
  TButtonActions actions;
  if (dragging_) {
    TBtnState state = down_ ? TBtnState::kExclusive : TBtnState::kUp;
    if (Inside(x, y) && !down_) state = TBtnState::kDown;
    actions.Repaint = state != state_;
    state_ = state;
  } else if (!mouse_over_) {
    actions.Track = true;
  }
  return actions;
}

TButtonActions TSoftButton::Release(int x, int y) {
  TButtonActions actions;
  if (!dragging_) return actions;
  dragging_ = false;
  const bool inside = Inside(x, y);
  if (group_index_ == 0) {
    state_ = TBtnState::kUp;
    mouse_over_ = false;
    actions.Repaint = inside;
  } else if (inside) {
    actions |= SetDown(!down_);
    if (down_) actions.RepaintNow = true;
  } else {
    if (down_) state_ = TBtnState::kExclusive;
    actions.RepaintNow = true;
  }
  if (inside) AddClick(actions);
  actions.Track = true;
  return actions;
}

// A double click arrives in place of the second press of two, so it presses
// the button again; OnDblClick belongs to latched buttons only.
TButtonActions TSoftButton::DoubleClick(int x, int y) {
  TButtonActions actions = Press(x, y, true);
  actions.DoubleClick = down_;
  return actions;
}

TButtonActions TSoftButton::MouseEnter(bool captured) {
  TButtonActions actions;
  if (mouse_over_ || !enabled_ || captured) return actions;
  mouse_over_ = true;
  actions.RepaintNow = true;
  return actions;
}

TButtonActions TSoftButton::MouseLeave() {
  TButtonActions actions;
  if (!mouse_over_ || !enabled_ || dragging_) return actions;
  mouse_over_ = false;
  actions.Repaint = true;
  return actions;
}

TButtonActions TSoftButton::UpdateTracking(const TCursorAnswer& cursor) {
  if (!enabled_) return {};
  return cursor.UnderCursor ? MouseEnter(cursor.Captured) : MouseLeave();
}

TButtonActions TSoftButton::Accelerator(char key, bool visible, bool parent_showing) {
  TButtonActions actions;
  if (!enabled_ || !visible || !parent_showing || !IsAccelerator(key, caption_)) return actions;
  AddClick(actions);
  actions.Handled = true;
  return actions;
}

void TSoftButton::AddClick(TButtonActions& actions) const { actions.Click = true; }

imaging::FaceState TSoftButton::FaceStateFor(TBtnState state) const {
  if (state == TBtnState::kDown || state == TBtnState::kExclusive) return imaging::FaceState::kPressed;
  if (!enabled_) return imaging::FaceState::kDisabled;
  return mouse_over_ ? imaging::FaceState::kHot : imaging::FaceState::kNormal;
}

imaging::FaceState TSoftButton::PaintFace() {
  if (enabled_ && down_ && state_ == TBtnState::kUp) state_ = TBtnState::kDown;
  return FaceStateFor(state_);
}

// A button disabled in the middle of a press forgets the press, so that the
// release that follows cannot click a disabled button.
TButtonActions TSoftButton::SetEnabled(bool value) {
  if (value == enabled_) return {};
  enabled_ = value;
  state_ = value ? TBtnState::kUp : TBtnState::kDisabled;
  if (!value) {
    dragging_ = false;
    dropping_ = false;
  }
  TButtonActions actions;
  actions.Track = true;
  actions.RepaintNow = true;
  return actions;
}

TButtonActions TSoftButton::SetDown(bool value) {
  TButtonActions actions;
  if (group_index_ == 0) value = false;
  if (value == down_ || (down_ && !allow_all_up_)) return actions;
  down_ = value;
  if (value) {
    actions.Repaint = state_ == TBtnState::kUp;
    state_ = TBtnState::kExclusive;
    UpdateExclusive();
  } else {
    state_ = TBtnState::kUp;
    actions.RepaintNow = true;
  }
  return actions;
}

// Leaving every group also lets the button up: outside a group nothing could
// ever release it again.
TButtonActions TSoftButton::SetGroupIndex(int value) {
  if (value == group_index_) return {};
  group_index_ = value;
  if (value == 0 && down_) {
    down_ = false;
    state_ = enabled_ ? TBtnState::kUp : TBtnState::kDisabled;
  }
  UpdateExclusive();
  return RepaintIf(true);
}

TButtonActions TSoftButton::SetAllowAllUp(bool value) {
  if (value == allow_all_up_) return {};
  allow_all_up_ = value;
  UpdateExclusive();
  return RepaintIf(true);
}

// Tells the other buttons of the group: a button that went down sends the
// others up, and the whole group shares the sender's AllowAllUp.
void TSoftButton::UpdateExclusive() {
  if (host_ == nullptr || group_index_ == 0) return;
  for (TSoftButton* sibling : host_->SiblingButtons()) {
    if (sibling != this && sibling->ButtonPressed(*this)) host_->RepaintButton(*sibling);
  }
}

bool TSoftButton::ButtonPressed(const TSoftButton& sender) {
  if (sender.group_index_ != group_index_) return false;
  allow_all_up_ = sender.allow_all_up_;
  if (!sender.down_ || !down_) return false;
  down_ = false;
  state_ = TBtnState::kUp;
  return true;
}

TButtonActions TSoftButton::SetNumGlyphs(int value) { return Assign(num_glyphs_, ClampNumGlyphs(value)); }

// A strip of up to five square images is taken as that many glyph frames;
// a longer strip is one wide picture.
TButtonActions TSoftButton::SetGlyphSize(int width, int height) {
  TButtonActions actions = RepaintIf(true);
  return actions |= SetNumGlyphs(NumGlyphsForGlyph(num_glyphs_, width, height));
}

void TSoftButton::SetHiLightMode(int value) { hi_light_mode_ = ClampHiLightMode(value); }

TButtonActions TSoftButton::SetShadowed(bool value, int screen_bits_per_pixel, bool themes_in_use) {
  if (!ShadowedAllowed(value, screen_bits_per_pixel, themes_in_use)) return {};
  return Assign(shadowed_, value);
}

TButtonActions TSoftButton::SetMargin(int value) {
  if (value < -1) return {};
  return Assign(margin_, value);
}

TButtonActions TSoftButton::SetFlat(bool value) { return Assign(flat_, value); }

bool TPopupButton::InDropDownPart(int x, int y) const {
  return x >= ClientWidth() - kDropDownPartWidth && x < ClientWidth() && y >= 0 && y < ClientHeight();
}

// Only a left press of an enabled popup button counts: any other press
// raises nothing at all, not even the mouse-down event.
TButtonActions TPopupButton::Press(int x, int y, bool left_button) {
  if (!left_button || !enabled_) return {};
  if (!HasSeparatePart() || x < ClientWidth() - kDropDownPartWidth) return TSoftButton::Press(x, y, true);
  TButtonActions actions;
  actions.MouseDown = true;
  actions.Repaint = true;
  state_ = TBtnState::kDropDownPressed;
  dropping_ = true;
  return actions;
}

TButtonActions TPopupButton::Move(int x, int y) {
  if (!dropping_) return TSoftButton::Move(x, y);
  TBtnState state = TBtnState::kUp;
  if (InDropDownPart(x, y)) {
    state = TBtnState::kDropDownPressed;
    mouse_over_ = true;
  }
  TButtonActions actions = RepaintIf(state != state_);
  state_ = state;
  return actions;
}

TButtonActions TPopupButton::Release(int x, int y) {
  if (!dropping_) return TSoftButton::Release(x, y);
  dragging_ = false;
  dropping_ = false;
  state_ = TBtnState::kUp;
  mouse_over_ = false;
  TButtonActions actions;
  if (InDropDownPart(x, y)) {
    actions.Repaint = true;
    actions.DropDown = true;
  }
  return actions;
}

// With a separate part the main part only clicks; without one every click
// also opens the menu.
void TPopupButton::AddClick(TButtonActions& actions) const {
  actions.Click = true;
  if (!separate_drop_down_) actions.DropDown = true;
}

TPopupFace TPopupButton::PaintPopupFace(bool themes_in_use) {
  TPopupFace face;
  face.State = PaintFace();
  if (!draw_drop_down_) return face;
  face.Arrow = true;
  face.ArrowPressed = face.State == imaging::FaceState::kPressed;
  if (state_ == TBtnState::kDropDownPressed) {
    face.PressedPart = true;
    face.ExcludeLeft = ClientWidth() - kDropDownPressedWidth;
  }
  // A flat button without themes shows its separating line only while hot.
  if (separate_drop_down_ && enabled_ && (mouse_over_ || !Flat() || themes_in_use)) {
    face.EtchedLine = true;
    face.LineX = ClientWidth() - kDropDownPartWidth;
    face.LineTop = themes_in_use ? 2 : 1;
    face.LineBottom = ClientHeight() - 2;
  }
  return face;
}

TButtonActions TPopupButton::SetDrawDropDown(bool value) { return Assign(draw_drop_down_, value); }

TButtonActions TPopupButton::SetSeparateDropDown(bool value) { return Assign(separate_drop_down_, value); }

// The last single '&' names the key. Double-byte captions need no care here:
// no trail byte of a double-byte code page is as low as '&'.
int NumGlyphsForGlyph(int current, int width, int height) {
  if (height <= 0 || width % height != 0) return current;
  const int frames = width / height;
  return frames < 6 ? frames : 1;
}

int ClampNumGlyphs(int value) { return std::clamp(value, 1, 5); }

int ClampHiLightMode(int value) { return std::clamp(value, 0, 3); }

bool ShadowedAllowed(bool value, int screen_bits_per_pixel, bool themes_in_use) {
  return !value || screen_bits_per_pixel > 8 || themes_in_use;
}

bool IsAccelerator(char key, const std::string& caption) {
  int hotkey = -1;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != '&') hotkey = static_cast<unsigned char>(caption[i]);
    }
  }
  return hotkey >= 0 && std::toupper(hotkey) == std::toupper(static_cast<unsigned char>(key));
}

TButtonPoint DropDownPoint(int left, int top, int height) { return {left, top + height}; }

imaging::FaceState PushButtonFaceState(bool enabled, bool selected, bool mouse_over) {
  if (!enabled) return imaging::FaceState::kDisabled;
  if (selected) return imaging::FaceState::kPressed;
  return mouse_over ? imaging::FaceState::kHot : imaging::FaceState::kNormal;
}

TWindowRegion PushButtonRegion(TzuBtnForm form, const std::string& windows_version_name, int client_width,
                               int client_height) {
  TWindowRegion region;
  if (form == TzuBtnForm::efRect || windows_version_name == "95") return region;
  region.Form = form;
  region.Right = client_width + 1;
  region.Bottom = client_height + 1;
  region.Corner = region.Form == TzuBtnForm::efRoundRect ? 5 : 0;
  return region;
}

}  // namespace controls
