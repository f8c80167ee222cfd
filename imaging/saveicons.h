// The icon file writer: one icon image as a single-image .ico file.
//
// File layout (little-endian): a 6-byte header (0, type 1, count 1); one
// 16-byte directory entry whose colour field holds the bits per pixel
// (1, 4, 8, 24 or 32) with planes and bit count 0 and the image at offset 22;
// then a BITMAPINFOHEADER whose height is twice the image height, the colour
// table (2, 16 or 256 entries for 1, 4 and 8 bits), the colour rows and the
// 1-bit mask rows, all bottom-up and padded to 4 bytes. The header's image
// size counts the colour rows only.
//
// The directory entry keeps width and height in one byte each. An image of
// 256 pixels is stored with the byte 0 (the usual convention for 256) and
// its true height doubled in the header; anything larger cannot be described
// and is refused with kIconTooLarge before a file is created.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/color_depth.h"
#include "imaging/pixels.h"
#include "util/byte_sink.h"

namespace imaging {

// Results of the icon writers: a positive value is the number of bytes written.
enum IconResult : int {
  kIconNameTooShort = -1,      // the file name is shorter than 4 characters
  kIconNoInfo = -2,            // the icon's bitmaps are not available
  kIconNoColorBitmap = -3,     // no colour bitmap, and none could be made from the mask
  kIconConversionFailed = -4,  // the colour image or the mask could not be converted
  kIconBufferMissing = -5,     // a block to write is missing
  kIconCreateFailed = -6,      // the file could not be created (or could not replace the old one)
  kIconWriteFailed = -7,       // a write failed; nothing was left behind
  kIconTooLarge = -8,          // wider or taller than 256 pixels
};

constexpr int kMaxIconSide = 256;

#pragma pack(push, 1)
struct BitmapInfoHeader {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bit_count;
  uint32_t compression;
  uint32_t size_image;
  int32_t x_pels_per_meter;
  int32_t y_pels_per_meter;
  uint32_t clr_used;
  uint32_t clr_important;
};
#pragma pack(pop)
static_assert(sizeof(BitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");

// Fills the header for W x H at the depth code; returns the size of header
// and colour table (40 + 4 * colours used for 8 bits or less, else 40).
size_t InitBitmapInfoHeader(BitmapInfoHeader* header, int32_t width, int32_t height, int code);

// The 40 bytes of a header, little-endian, as stored in files.
void SerializeInfoHeader(const BitmapInfoHeader& header, uint8_t* out);

// What the writer puts into the file: the colour header with its table, the
// colour rows and the mask rows.
struct IconBits {
  BitmapInfoHeader header{};
  std::vector<Pixel32> color_table;  // 0, 2, 16 or 256 entries
  std::vector<uint8_t> color_rows;
  std::vector<uint8_t> mask_rows;
  uint8_t code = kDepth1;

  size_t InfoSize() const { return 40 + 4 * color_table.size(); }
};

// Analyses the colour image and converts it at the chosen depth: black then
// white for 1 bit, the standard colours for 4, the analysis palette for 8
// (each pixel its exact entry, else the nearest), blue-green-red for 24 and
// the raw pixels for 32. False for an empty image.
bool GetColorImageBits(const Image32& color, IconBits* bits);

// Copies the mask rows; false when the mask does not match the colour size.
bool GetMaskBits(const MaskImage& mask, IconBits* bits);

// A monochrome icon keeps its mask (upper half) and its image (lower half)
// in one 1-bit bitmap of double height. Splits it; false for an odd shape.
bool SplitMonochromeMask(const MaskImage& doubled, MaskImage* mask, Image32* color);

// Writes the complete file into the sink. Returns the byte count,
// kIconBufferMissing, kIconTooLarge or kIconWriteFailed.
int WriteIconToSink(const IconBits& bits, util::ByteSink& sink);

// Writes the file beside `file_name` and replaces it only when complete.
int WriteIconFile(const std::string& file_name, const IconBits& bits);

// The whole writer from pixels: name check, size check, conversion, file.
int SaveIconImageToFile(const std::string& file_name, const Image32& color, const MaskImage& mask);

// The file's bytes appended to the sink in one write; nothing on failure.
int SaveIconImageToSink(util::ByteSink& sink, const Image32& color, const MaskImage& mask);

}  // namespace imaging
