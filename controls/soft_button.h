// State model of the glyph buttons: the window-less soft button
// (TzuSoftButton), the popup button with its drop-down part (TzuPopupButton)
// and the few decisions of the owner-drawn push button (TZuButton).
//
// The Win32 controls hold no logic of their own. They forward every mouse,
// key and property event to a model here and act on the TButtonActions that
// come back: repaint, raise the click, open the drop-down, and, when Track is
// set, ask whether the control is under the cursor and pass the answer to
// UpdateTracking. The buttons of one latching group find each other through
// TButtonGroupHost, which the window side implements over the siblings of
// the button's parent.
#pragma once

#include <string>
#include <vector>

#include "imaging/button_face.h"

namespace controls {

// The outline of a button face, as the face painter knows it.
using TzuBtnForm = imaging::TzuBtnForm;

// The button's own state; the face routine is given an imaging::FaceState
// instead.
enum class TBtnState { kUp = 0, kDisabled = 1, kDown = 2, kExclusive = 3, kDropDownPressed = 4 };

// The width of the popup button's separate drop-down part, and of the part
// that its pressed look covers.
constexpr int kDropDownPartWidth = 14;
constexpr int kDropDownPressedWidth = 12;

// What the window side does after an event, in this order: repaint (at once
// when RepaintNow), raise the mouse-down event, OnDblClick, OnClick, then
// open the drop-down, then answer UpdateTracking when Track is set.
struct TButtonActions {
  bool Repaint = false;
  bool RepaintNow = false;
  bool MouseDown = false;
  bool DoubleClick = false;
  bool Click = false;
  bool DropDown = false;
  bool Track = false;
  bool Handled = false;  // the accelerator key was taken

  TButtonActions& operator|=(const TButtonActions& other);
};

// The cursor as the window side sees it when it answers UpdateTracking,
// after it has let go of a capture taken for the press.
struct TCursorAnswer {
  bool UnderCursor = false;  // this control is the one under the cursor
  bool Captured = false;     // some window holds the mouse capture, or a drag runs
};

class TSoftButton;

// The soft buttons on the same parent as a button, as the window side knows them.
class TButtonGroupHost {
 public:
  virtual ~TButtonGroupHost() = default;
  // Every soft button of the parent; the asking button may be among them.
  virtual std::vector<TSoftButton*> SiblingButtons() = 0;
  // Repaints a sibling that the group rule sent up.
  virtual void RepaintButton(TSoftButton& button) = 0;
};

class TSoftButton {
 public:
  TSoftButton() = default;
  virtual ~TSoftButton() = default;
  TSoftButton(const TSoftButton&) = delete;
  TSoftButton& operator=(const TSoftButton&) = delete;

  void SetGroupHost(TButtonGroupHost* host) { host_ = host; }
  void SetClientSize(int width, int height);

  // Mouse and keyboard events, in client coordinates.
  virtual TButtonActions Press(int x, int y, bool left_button);
  virtual TButtonActions Move(int x, int y);
  virtual TButtonActions Release(int x, int y);
  TButtonActions DoubleClick(int x, int y);
  TButtonActions MouseEnter(bool captured);
  TButtonActions MouseLeave();
  TButtonActions UpdateTracking(const TCursorAnswer& cursor);
  // A dialog character: `visible` and `parent_showing` describe the control now.
  TButtonActions Accelerator(char key, bool visible, bool parent_showing);

  // The face state to paint now; the window side reads the other options
  // from the getters. Painting is also where a button that is Down but
  // still shown up (just enabled again) is shown down.
  imaging::FaceState PaintFace();

  // Properties. Setters return what to do; a change repaints.
  TButtonActions SetEnabled(bool value);
  TButtonActions SetDown(bool value);
  TButtonActions SetGroupIndex(int value);
  TButtonActions SetAllowAllUp(bool value);
  TButtonActions SetNumGlyphs(int value);
  // Derives NumGlyphs from a new glyph bitmap's size.
  TButtonActions SetGlyphSize(int width, int height);
  // The change itself does not repaint.
  void SetHiLightMode(int value);
  // Turning it on is refused on screens of 8 bits per pixel or fewer unless
  // visual themes draw the face, as the shading bands need the colours.
  TButtonActions SetShadowed(bool value, int screen_bits_per_pixel, bool themes_in_use);
  TButtonActions SetMargin(int value);
  TButtonActions SetFlat(bool value);
  void SetCaption(const std::string& caption) { caption_ = caption; }

  TBtnState State() const { return state_; }
  bool MouseOver() const { return mouse_over_; }
  bool Dragging() const { return dragging_; }
  bool Enabled() const { return enabled_; }
  bool Down() const { return down_; }
  int GroupIndex() const { return group_index_; }
  bool AllowAllUp() const { return allow_all_up_; }
  int NumGlyphs() const { return num_glyphs_; }
  int HiLightMode() const { return hi_light_mode_; }
  bool Shadowed() const { return shadowed_; }
  int Margin() const { return margin_; }
  bool Flat() const { return flat_; }
  int ClientWidth() const { return width_; }
  int ClientHeight() const { return height_; }

 protected:
  // The complete click: the popup button adds its drop-down.
  virtual void AddClick(TButtonActions& actions) const;
  imaging::FaceState FaceStateFor(TBtnState state) const;
  bool Inside(int x, int y) const;

  TBtnState state_ = TBtnState::kUp;
  bool mouse_over_ = false;
  bool dragging_ = false;
  bool dropping_ = false;  // the popup's drop-down part is held
  bool enabled_ = true;

 private:
  void UpdateExclusive();
  // The group rule as seen by a sibling of `sender`; true when it went up.
  bool ButtonPressed(const TSoftButton& sender);

  TButtonGroupHost* host_ = nullptr;
  int width_ = 25;
  int height_ = 25;
  bool down_ = false;
  int group_index_ = 0;
  bool allow_all_up_ = false;
  int num_glyphs_ = 1;
  int hi_light_mode_ = 0;
  bool shadowed_ = true;
  int margin_ = -1;
  bool flat_ = false;
  std::string caption_;
};

// What the popup button's paint does: one face, or for the pressed
// drop-down part a pressed face first and then, with the rightmost
// kDropDownPressedWidth pixels excluded, the current face again; and the
// etched line that separates the drop-down part.
struct TPopupFace {
  bool Arrow = false;  // draw the drop-down arrow at all
  imaging::FaceState State = imaging::FaceState::kNormal;
  bool ArrowPressed = false;  // for State
  bool PressedPart = false;   // paint the pressed face first, then exclude
  int ExcludeLeft = 0;        // .. the columns from here to the right edge
  bool EtchedLine = false;
  int LineX = 0;
  int LineTop = 0;
  int LineBottom = 0;
};

class TPopupButton : public TSoftButton {
 public:
  TButtonActions Press(int x, int y, bool left_button) override;
  TButtonActions Move(int x, int y) override;
  TButtonActions Release(int x, int y) override;

  TPopupFace PaintPopupFace(bool themes_in_use);

  TButtonActions SetDrawDropDown(bool value);
  TButtonActions SetSeparateDropDown(bool value);
  bool DrawDropDown() const { return draw_drop_down_; }
  bool SeparateDropDown() const { return separate_drop_down_; }
  bool Dropping() const { return dropping_; }

 protected:
  void AddClick(TButtonActions& actions) const override;

 private:
  bool HasSeparatePart() const { return separate_drop_down_ && draw_drop_down_; }
  bool InDropDownPart(int x, int y) const;

  bool draw_drop_down_ = true;
  bool separate_drop_down_ = false;
};

// The property rules the push button shares with the soft buttons: the
// frame count a new glyph implies (width a whole multiple of the height,
// below 6 frames; otherwise 1, or unchanged when the width is no multiple),
// the clamps, and whether shading may be switched on (not on screens of 8
// bits per pixel or fewer without visual themes).
int NumGlyphsForGlyph(int current, int width, int height);
int ClampNumGlyphs(int value);
int ClampHiLightMode(int value);
bool ShadowedAllowed(bool value, int screen_bits_per_pixel, bool themes_in_use);

// Whether `key` is the accelerator of `caption`: the character after a
// single '&' ("&&" is a literal ampersand), letters compared without case.
bool IsAccelerator(char key, const std::string& caption);

struct TButtonPoint {
  int X = 0;
  int Y = 0;
};

// Where a popup button's drop-down opens: its bottom-left corner, in its
// parent's client coordinates (the window side converts to the screen).
TButtonPoint DropDownPoint(int left, int top, int height);

// The face state of the owner-drawn push button for one draw request.
imaging::FaceState PushButtonFaceState(bool enabled, bool selected, bool mouse_over);

// The push button's window region: Form efRect means no region (remove the
// one set before, if any); otherwise an ellipse or a rounded rectangle over
// (0, 0) .. (Right, Bottom), with Corner x Corner rounded corners.
struct TWindowRegion {
  TzuBtnForm Form = imaging::efRect;
  int Right = 0;
  int Bottom = 0;
  int Corner = 0;
};

// The region covers the client rectangle enlarged by one pixel to the right
// and bottom, since region shapes leave out their right and bottom edges.
// On Windows 95, and for a rectangular face, the button keeps no region.
TWindowRegion PushButtonRegion(TzuBtnForm form, const std::string& windows_version_name, int client_width,
                               int client_height);

}  // namespace controls
