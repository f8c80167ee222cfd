// The icon the shell hands out for one icon of a file, made without the
// shell: which image of the group it takes, the bitmaps it makes of that
// image, and how it draws them. The window program saves every single-image
// export from such an icon; building the same bitmaps here lets a program
// without Windows write the same bytes.
//
// The shell extracts icons at the large icon size of a screen of 32 bits per
// pixel. Of a group it takes the image nearest that size (the smallest sum
// of the differences in width and height, the first found on a tie), and of
// the images that far off in both sides the one whose depth is nearest the
// screen's, the first on a tie. An executable's group names its images'
// depths in its entries; so does an icon file, whose entries are read the
// same way.
//
// Of the image it makes an icon of that size: a colour bitmap at the
// screen's depth and a 1-bit AND mask. A 1-bit image whose colours are
// black and white becomes a monochrome icon instead, one 1-bit bitmap of
// twice the height holding the mask above the picture. A 32-bit image with
// any alpha byte set also gets a premultiplied copy that is blended when it
// is drawn; an image that lacks its mask then takes it from the alpha
// channel. A PNG image is decoded to 32 bits (with an alpha channel) or to
// 24 (and an empty mask). An image of another size is stretched the way a
// device context stretches by default, combining the pixels it drops with
// AND.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/pixels.h"

namespace imaging {

constexpr int kShellIconSide = 32;
constexpr int kShellScreenBits = 32;

struct ShellIconEntry {
  int width = 0;  // 0 in a group entry means 256
  int height = 0;
  int bit_count = 0;
};

// The index of the entry the shell takes for an icon of side x side pixels
// on a screen of screen_bits; -1 for no entries.
int ShellIconChoice(const std::vector<ShellIconEntry>& entries, int side = kShellIconSide,
                    int screen_bits = kShellScreenBits);

// An icon as the shell keeps it. Rows are bottom-up (imaging/pixels.h).
struct ShellIcon {
  int width = 0;
  int height = 0;
  Image32 color;   // the colour bitmap read back at 32 bits; empty for a monochrome icon
  MaskImage mask;  // the AND mask; for a monochrome icon twice as high, the picture below
  Image32 blend;   // premultiplied pixels blended when drawn; empty when the image has no alpha

  bool Monochrome() const { return color.pixels.empty(); }
};

// Makes the icon of one stored image (a DIB with its mask, or a PNG stream)
// at side x side pixels. Returns null, or why the shell makes no icon of it.
const char* MakeShellIcon(const uint8_t* image, size_t size, ShellIcon* out, int side = kShellIconSide);

// The icon the shell extracts as icon `index` (0-based) of the file: of an
// executable, its group `index`; of an icon file, the file itself. The file
// must have passed the structural check (imaging/icon_file_check.h).
// Returns null, or why the shell gives no icon.
const char* ExtractShellIcon(const uint8_t* data, size_t size, uint32_t index, ShellIcon* out);

// The colour picture and mask an icon's bitmaps read back give, of the
// icon's size; a monochrome icon's picture comes back black and white.
void ShellIconImages(const ShellIcon& icon, Image32* color, MaskImage* mask);

// Draws the icon over what the canvas holds, its top left corner at the
// canvas's, as the shell draws an icon normally: blended where it has alpha,
// else through its mask (AND) and then its picture (XOR). The canvas must be
// 24 or 32 bits and at least the icon's size.
bool DrawShellIcon(const ShellIcon& icon, const BitmapView& canvas);

// The icon drawn on a white picture of its size at 24 or 32 bits per pixel
// (the white of a filled 32-bit picture has an alpha byte of 0).
PixelBuffer ShellIconOnWhite(const ShellIcon& icon, int bits_per_pixel);

}  // namespace imaging
