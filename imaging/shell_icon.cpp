#include "imaging/shell_icon.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "imaging/icon_file_check.h"
#include "imaging/icon_resource_walk.h"
#include "imaging/image_stretch.h"
#include "util/byte_order.h"

namespace imaging {

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

uint64_t RowBytes(int64_t width, int bits) { return ((static_cast<uint64_t>(width) * bits + 31) / 8) & ~uint64_t{3}; }

// One bit field of a 16- or 32-bit pixel, widened to 8 bits by repeating its
// top bits, as the screen's conversion widens it.
struct Field {
  int shift = 0;
  int length = 0;

  explicit Field(uint32_t mask) {
    if (!mask) return;
    while (!(mask & 1)) {
      mask >>= 1;
      ++shift;
    }
    while (mask & 1) {
      mask >>= 1;
      ++length;
    }
  }
  uint32_t Get(uint32_t pixel) const {
    static const uint8_t kTop[9] = {0x00, 0x80, 0xc0, 0xe0, 0xf0, 0xf8, 0xfc, 0xfe, 0xff};
    const int s = shift - (8 - length);
    pixel = s < 0 ? pixel << -s : pixel >> s;
    pixel &= kTop[length > 8 ? 8 : length];
    // A field of 8 bits or more has nothing to repeat.
    return length >= 8 ? pixel : (pixel | (pixel >> length));
  }
};

// A stored DIB as the shell reads it: header, colour table, colour rows
// and (when present) mask rows, all checked to lie within the image.
struct Dib {
  int width = 0;
  int height = 0;  // of the picture, half the stored height
  int bits = 0;
  uint32_t compression = kRgb;
  std::vector<Pixel32> palette;  // at most 1 << bits entries, for 8 bits or less
  uint32_t masks[3] = {0x7c00, 0x03e0, 0x001f};
  bool black_and_white = false;  // a 1-bit table of black, then white
  const uint8_t* color = nullptr;
  const uint8_t* mask = nullptr;  // null when the image ends before its mask
};

const char* ReadDib(const uint8_t* image, size_t size, Dib* dib) {
  if (size < kCoreHeaderSize) return "the image is too short for a header";
  const uint32_t header = util::ReadLe32(image);
  if (size < header) return "the image is shorter than its header";
  uint32_t colors = 0;
  uint64_t table = 0;
  if (header == kCoreHeaderSize) {
    dib->width = util::ReadLe16(image + 4);
    dib->height = static_cast<int16_t>(util::ReadLe16(image + 6));
    dib->bits = util::ReadLe16(image + 10);
    colors = dib->bits <= 8 ? 1u << dib->bits : 0;
    table = kCoreHeaderSize;
  } else if (header == kInfoHeaderSize) {
    dib->width = static_cast<int32_t>(util::ReadLe32(image + 4));
    dib->height = static_cast<int32_t>(util::ReadLe32(image + 8));
    dib->bits = util::ReadLe16(image + 14);
    dib->compression = util::ReadLe32(image + 16);
    if (dib->compression != kRgb && dib->compression != kBitFields) return "the image is compressed";
    colors = util::ReadLe32(image + 32);
    if (colors > 256) colors = 256;
    if (!colors && dib->bits <= 8) colors = 1u << dib->bits;
    table = kInfoHeaderSize + (dib->compression == kBitFields ? 12 : 0);
  } else {
    return "the image has a header of an unknown kind";
  }
  if (dib->width <= 0 || dib->height <= 1) return "the image has no size";
  const int stored_height = dib->height;
  dib->height = stored_height / 2;
  const uint64_t entry = header == kCoreHeaderSize ? 3 : 4;
  const uint64_t info_size = table + colors * entry;
  const uint64_t color_size = RowBytes(dib->width, dib->bits) * static_cast<uint64_t>(dib->height);
  const uint64_t mask_size = RowBytes(dib->width, 1) * static_cast<uint64_t>(dib->height);
  if (info_size > size || color_size > size - info_size) return "the image is cut short";
  dib->color = image + info_size;
  if (mask_size <= size - info_size - color_size) dib->mask = dib->color + color_size;
  if (dib->compression == kBitFields && header == kInfoHeaderSize) {
    for (int i = 0; i < 3; ++i) dib->masks[i] = util::ReadLe32(image + kInfoHeaderSize + 4 * static_cast<size_t>(i));
  }
  if (dib->bits <= 8) {
    const uint32_t used = colors < (1u << dib->bits) ? colors : (1u << dib->bits);
    for (uint32_t i = 0; i < used; ++i) {
      const uint8_t* q = image + table + i * entry;
      dib->palette.push_back(MakePixel(q[2], q[1], q[0]));
    }
    const bool reserved_clear = entry == 3 || (image[table + 3] == 0 && (colors < 2 || image[table + 7] == 0));
    dib->black_and_white = dib->bits == 1 && dib->palette.size() == 2 && dib->palette[0] == 0 &&
                           dib->palette[1] == 0xFFFFFF && reserved_clear;
  }
  return nullptr;
}

// Pixel x of a stored row as the screen's 32-bit bitmap takes it: a palette
// index becomes its colour (black past the table's end), bit fields are
// widened, and a 32-bit pixel in the usual layout is copied whole, alpha
// byte included.
Pixel32 ScreenPixel(const Dib& dib, const uint8_t* row, int x) {
  switch (dib.bits) {
    case 1:
    case 4:
    case 8: {
      const int per_byte = 8 / dib.bits;
      const int shift = 8 - dib.bits * (x % per_byte + 1);
      const uint32_t index = (row[x / per_byte] >> shift) & ((1u << dib.bits) - 1);
      return index < dib.palette.size() ? dib.palette[index] : 0;
    }
    case 16: {
      const uint32_t p = util::ReadLe16(row + 2 * static_cast<size_t>(x));
      return MakePixel(static_cast<uint8_t>(Field(dib.masks[0]).Get(p)),
                       static_cast<uint8_t>(Field(dib.masks[1]).Get(p)),
                       static_cast<uint8_t>(Field(dib.masks[2]).Get(p)));
    }
    case 24: {
      const uint8_t* p = row + 3 * static_cast<size_t>(x);
      return MakePixel(p[2], p[1], p[0]);
    }
    case 32: {
      const uint32_t p = util::ReadLe32(row + 4 * static_cast<size_t>(x));
      if (dib.compression == kRgb || (dib.masks[0] == 0xff0000 && dib.masks[1] == 0xff00 && dib.masks[2] == 0xff))
        return p;
      return MakePixel(static_cast<uint8_t>(Field(dib.masks[0]).Get(p)),
                       static_cast<uint8_t>(Field(dib.masks[1]).Get(p)),
                       static_cast<uint8_t>(Field(dib.masks[2]).Get(p)));
    }
    default: return 0;
  }
}

bool HasAlpha(const Dib& dib) {
  if (dib.bits != 32) return false;
  const uint64_t count = static_cast<uint64_t>(dib.width) * static_cast<uint64_t>(dib.height);
  for (uint64_t i = 0; i < count; ++i)
    if (dib.color[4 * i + 3] != 0) return true;
  return false;
}

// The stored colour rows at 32 bits, of the image's own size. A depth the
// screen cannot convert leaves the bitmap black.
Image32 ScreenColors(const Dib& dib) {
  Image32 out(dib.width, dib.height);
  const bool known =
      dib.bits == 1 || dib.bits == 4 || dib.bits == 8 || dib.bits == 16 || dib.bits == 24 || dib.bits == 32;
  if (!known) return out;
  const uint64_t stride = RowBytes(dib.width, dib.bits);
  for (int y = 0; y < dib.height; ++y) {
    const uint8_t* row = dib.color + stride * static_cast<uint64_t>(y);
    Pixel32* line = out.pixels.data() + static_cast<size_t>(y) * dib.width;
    for (int x = 0; x < dib.width; ++x) line[x] = ScreenPixel(dib, row, x);
  }
  return out;
}

MaskImage MaskRows(const uint8_t* rows, int width, int height) {
  MaskImage mask(width, height);
  std::memcpy(mask.bits.data(), rows, mask.bits.size());
  return mask;
}

// The mask of a 32-bit image stored without one: set wherever the pixel is
// not fully opaque.
MaskImage MaskFromAlpha(const Dib& dib) {
  MaskImage mask(dib.width, dib.height);
  const size_t stride = DibStride(dib.width, 1);
  for (int y = 0; y < dib.height; ++y) {
    const uint8_t* row = dib.color + static_cast<size_t>(y) * dib.width * 4;
    for (int x = 0; x < dib.width; ++x)
      if (row[4 * x + 3] != 0xff) mask.bits[static_cast<size_t>(y) * stride + x / 8] |= 0x80 >> (x % 8);
  }
  return mask;
}

Image32 Premultiplied(const Image32& color) {
  Image32 out = color;
  for (Pixel32& p : out.pixels) {
    const uint32_t a = PixelAlpha(p);
    auto scale = [a](uint8_t c) { return static_cast<uint8_t>((c * a + 127) / 255); };
    p = MakePixel(scale(PixelRed(p)), scale(PixelGreen(p)), scale(PixelBlue(p)), static_cast<uint8_t>(a));
  }
  return out;
}

const char* MakeFromDib(const Dib& dib, int side, ShellIcon* out) {
  out->width = out->height = side;
  if (dib.black_and_white) {
    // One bitmap of twice the height: the mask above, the picture below.
    MaskImage doubled(side, 2 * side);
    const MaskImage picture = StretchMask(MaskRows(dib.color, dib.width, dib.height), side, side);
    const size_t stride = DibStride(side, 1);
    std::memcpy(doubled.bits.data(), picture.bits.data(), stride * side);
    if (dib.mask) {
      const MaskImage mask = StretchMask(MaskRows(dib.mask, dib.width, dib.height), side, side);
      std::memcpy(doubled.bits.data() + stride * side, mask.bits.data(), stride * side);
    }
    out->mask = std::move(doubled);
    return nullptr;
  }
  const Image32 colors = ScreenColors(dib);
  out->color = StretchColors(colors, side, side);
  MaskImage mask;
  if (HasAlpha(dib)) {
    out->blend = Premultiplied(out->color);
    if (!dib.mask) mask = MaskFromAlpha(dib);
  }
  if (dib.mask) mask = MaskRows(dib.mask, dib.width, dib.height);
  out->mask = mask.bits.empty() ? MaskImage(side, side) : StretchMask(mask, side, side);
  return nullptr;
}

// A PNG image decoded as the shell decodes it: grey widened to colour, a
// palette or a depth below 8 bits expanded (a transparency chunk becoming
// alpha then), and only 8-bit colour with or without alpha accepted. It
// becomes a 32-bit image with alpha, or a 24-bit one with a mask that
// hides nothing.
struct PngSource {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (source->size - source->pos < length) png_error(png, "the image is cut short");
  std::memcpy(out, source->data + source->pos, length);
  source->pos += length;
}

constexpr uint64_t kMaxPngPixels = uint64_t{1} << 26;

const char* DecodeShellPng(const uint8_t* image, size_t size, std::vector<uint8_t>* dib) {
  PngSource source{image, size, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return "the PNG image cannot be read";
  png_infop info = png_create_info_struct(png);
  const char* problem = "the PNG image does not decode";
  // Everything the reading may leave by a long jump lives outside it, so
  // that its destructor still runs.
  std::vector<png_bytep> rows;
  std::vector<uint8_t> packed;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_read_fn(png, &source, ReadPngBytes);
    png_read_info(png, info);
    int type = png_get_color_type(png, info);
    int depth = png_get_bit_depth(png, info);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (type == PNG_COLOR_TYPE_PALETTE || depth < 8) png_set_expand(png);
    png_read_update_info(png, info);
    type = png_get_color_type(png, info);
    depth = png_get_bit_depth(png, info);
    int bits = 0;
    if (depth == 8 && type == PNG_COLOR_TYPE_RGB) bits = 24;
    if (depth == 8 && type == PNG_COLOR_TYPE_RGB_ALPHA) bits = 32;
    const uint32_t width = png_get_image_width(png, info);
    const uint32_t height = png_get_image_height(png, info);
    if (bits == 0) {
      problem = "the PNG image has a format the shell does not read";
    } else if (uint64_t{width} * height > kMaxPngPixels) {
      problem = "the PNG image is too large";
    } else {
      png_set_bgr(png);
      const size_t row_bytes = (static_cast<size_t>(width) * bits + 7) / 8;
      const size_t stride = static_cast<size_t>(RowBytes(width, bits));
      const size_t mask_bytes = bits == 32 ? 0 : (static_cast<size_t>(width) + 7) / 8 * height;
      dib->assign(kInfoHeaderSize + stride * height + mask_bytes, 0);
      // The shell packs the rows without padding; where that differs from
      // a DIB's stride (24 bits, widths not a multiple of 4) the rows are
      // read into place and then moved.
      packed.assign(row_bytes * height, 0);
      rows.resize(height);
      for (uint32_t y = 0; y < height; ++y) rows[y] = packed.data() + (height - 1 - y) * row_bytes;
      png_read_image(png, rows.data());
      uint8_t* h = dib->data();
      std::memcpy(h, &kInfoHeaderSize, 4);
      const int32_t w = static_cast<int32_t>(width), dh = static_cast<int32_t>(height * 2);
      std::memcpy(h + 4, &w, 4);
      std::memcpy(h + 8, &dh, 4);
      h[12] = 1;
      h[14] = static_cast<uint8_t>(bits);
      for (uint32_t y = 0; y < height; ++y)
        std::memcpy(h + kInfoHeaderSize + y * stride, packed.data() + y * row_bytes, row_bytes);
      problem = nullptr;
    }
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return problem;
}

bool IsPng(const uint8_t* image, size_t size) { return size >= 8 && std::memcmp(image, "\x89PNG\r\n\x1a\n", 8) == 0; }

// The group's entries as the shell reads them for its choice.
std::vector<ShellIconEntry> GroupEntries(const uint8_t* group, uint16_t count, size_t entry_size) {
  std::vector<ShellIconEntry> entries;
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* e = group + 6 + i * entry_size;
    ShellIconEntry entry;
    entry.width = e[0];
    entry.height = e[1];
    entry.bit_count = util::ReadLe16(e + 6);
    if (!entry.width && !entry.height) entry.width = entry.height = 256;
    entries.push_back(entry);
  }
  return entries;
}

const char* ExtractFromIconFile(const uint8_t* data, size_t size, ShellIcon* out) {
  if (size < 6 || util::ReadLe16(data) != 0 || util::ReadLe16(data + 2) != 1 || util::ReadLe16(data + 4) == 0)
    return "the file holds no icon";
  const uint16_t count = util::ReadLe16(data + 4);
  if (size < 6 + uint64_t{count} * sizeof(IcoEntry)) return "the file's directory is cut short";
  const int chosen = ShellIconChoice(GroupEntries(data, count, sizeof(IcoEntry)));
  IcoEntry entry{};
  std::memcpy(&entry, data + 6 + chosen * sizeof(IcoEntry), sizeof entry);
  if (entry.offset > size || entry.bytes > size - entry.offset) return "the image lies outside the file";
  return MakeShellIcon(data + entry.offset, entry.bytes, out);
}

}  // namespace

int ShellIconChoice(const std::vector<ShellIconEntry>& entries, int side, int screen_bits) {
  uint32_t total = 0xFFFFFFFF, x_diff = 0, y_diff = 0;
  for (const ShellIconEntry& e : entries) {
    const uint32_t dx = static_cast<uint32_t>(std::abs(side - e.width));
    const uint32_t dy = static_cast<uint32_t>(std::abs(side - e.height));
    if (total > dx + dy) {
      x_diff = dx;
      y_diff = dy;
      total = dx + dy;
    }
  }
  int best = -1;
  uint32_t color_diff = 0xFFFFFFFF;
  for (size_t i = 0; i < entries.size(); ++i) {
    const ShellIconEntry& e = entries[i];
    if (static_cast<uint32_t>(std::abs(side - e.width)) != x_diff ||
        static_cast<uint32_t>(std::abs(side - e.height)) != y_diff)
      continue;
    const uint32_t diff = static_cast<uint32_t>(std::abs(screen_bits - e.bit_count));
    if (color_diff > diff) {
      best = static_cast<int>(i);
      color_diff = diff;
    }
  }
  return best;
}

const char* MakeShellIcon(const uint8_t* image, size_t size, ShellIcon* out, int side) {
  *out = ShellIcon();
  std::vector<uint8_t> decoded;
  if (IsPng(image, size)) {
    if (const char* problem = DecodeShellPng(image, size, &decoded)) return problem;
    image = decoded.data();
    size = decoded.size();
  }
  Dib dib;
  if (const char* problem = ReadDib(image, size, &dib)) return problem;
  return MakeFromDib(dib, side, out);
}

const char* ExtractShellIcon(const uint8_t* data, size_t size, uint32_t index, ShellIcon* out) {
  *out = ShellIcon();
  const IconResourceWalk walk(ByteView(data, size));
  if (walk.format() == IconFileFormat::kIco) return index == 0 ? ExtractFromIconFile(data, size, out) : "no such icon";
  if (walk.problem()) return walk.problem();
  ByteRange group;
  if (const char* problem = walk.Group(index, &group)) return problem;
  const uint8_t* g = data + group.offset;
  // A directory that is no icon group names no image: the shell then looks
  // for an image numbered 0.
  uint16_t id = 0;
  if (util::ReadLe16(g) == 0 && (util::ReadLe16(g + 2) & 3) != 0) {
    const std::vector<ShellIconEntry> entries = GroupEntries(g, util::ReadLe16(g + 4), sizeof(GroupIconEntry));
    const int chosen = ShellIconChoice(entries);
    if (chosen >= 0) id = util::ReadLe16(g + 6 + chosen * sizeof(GroupIconEntry) + 12);
  }
  uint32_t image_index = 0;
  ByteRange image;
  if (!walk.FindImage(id, &image_index)) return "the group names an image the file lacks";
  if (const char* problem = walk.Image(image_index, &image)) return problem;
  return MakeShellIcon(data + image.offset, static_cast<size_t>(image.size), out);
}

void ShellIconImages(const ShellIcon& icon, Image32* color, MaskImage* mask) {
  if (!icon.Monochrome()) {
    *color = icon.color;
    *mask = icon.mask;
    return;
  }
  // The doubled bitmap, bottom-up: the picture's rows come first.
  const size_t stride = DibStride(icon.width, 1);
  *mask = MaskImage(icon.width, icon.height);
  std::memcpy(mask->bits.data(), icon.mask.bits.data() + stride * icon.height, stride * icon.height);
  *color = Image32(icon.width, icon.height);
  for (int y = 0; y < icon.height; ++y) {
    const uint8_t* row = icon.mask.bits.data() + stride * y;
    for (int x = 0; x < icon.width; ++x)
      color->pixels[static_cast<size_t>(y) * icon.width + x] = (row[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFF : 0;
  }
}

bool DrawShellIcon(const ShellIcon& icon, const BitmapView& canvas) {
  if (!canvas.Valid() || canvas.width < icon.width || canvas.height < icon.height) return false;
  const int bytes = canvas.bits_per_pixel / 8;
  Image32 color;
  MaskImage mask;
  ShellIconImages(icon, &color, &mask);
  for (int y = 0; y < icon.height; ++y) {
    // The icon's top row goes to the canvas's top row.
    uint8_t* row = canvas.Row(canvas.height - icon.height + y);
    for (int x = 0; x < icon.width; ++x) {
      uint8_t* p = row + static_cast<size_t>(x) * bytes;
      const size_t at = static_cast<size_t>(y) * icon.width + x;
      if (!icon.blend.pixels.empty()) {
        const Pixel32 s = icon.blend.pixels[at];
        const uint32_t keep = 255 - PixelAlpha(s);
        p[0] = static_cast<uint8_t>(PixelBlue(s) + (p[0] * keep + 127) / 255);
        p[1] = static_cast<uint8_t>(PixelGreen(s) + (p[1] * keep + 127) / 255);
        p[2] = static_cast<uint8_t>(PixelRed(s) + (p[2] * keep + 127) / 255);
        if (bytes == 4) p[3] = static_cast<uint8_t>(PixelAlpha(s) + (p[3] * keep + 127) / 255);
        continue;
      }
      const bool transparent =
          (mask.bits[static_cast<size_t>(y) * DibStride(icon.width, 1) + x / 8] >> (7 - x % 8)) & 1;
      const Pixel32 c = color.pixels[at];
      // AND with the mask (white where set, black elsewhere), then XOR.
      for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>((transparent ? p[i] : 0) ^ (c >> (8 * i)));
      if (bytes == 4) p[3] = static_cast<uint8_t>(icon.Monochrome() ? 0 : PixelAlpha(c));
    }
  }
  return true;
}

PixelBuffer ShellIconOnWhite(const ShellIcon& icon, int bits_per_pixel) {
  PixelBuffer canvas(icon.width, icon.height, bits_per_pixel);
  for (int y = 0; y < icon.height; ++y)
    for (int x = 0; x < icon.width; ++x) canvas.Set(x, y, MakePixel(255, 255, 255));
  DrawShellIcon(icon, canvas.view());
  return canvas;
}

}  // namespace imaging
