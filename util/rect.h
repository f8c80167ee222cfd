// The one rectangle of the program's layout arithmetic.
//
// Left and top are inclusive, right and bottom exclusive, as in GDI's RECT,
// so a rectangle from the window side converts member by member
// (util/rect_win.h). Code that thinks in origin and size builds one with
// FromBounds and reads Width() and Height().
#pragma once

namespace util {

struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static constexpr TRect FromBounds(int x, int y, int width, int height) { return TRect{x, y, x + width, y + height}; }

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr TRect Moved(int dx, int dy) const { return TRect{left + dx, top + dy, right + dx, bottom + dy}; }
  constexpr TRect Inset(int dx, int dy) const { return TRect{left + dx, top + dy, right - dx, bottom - dy}; }

  constexpr bool operator==(const TRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  constexpr bool operator!=(const TRect& o) const { return !(*this == o); }
};

}  // namespace util
