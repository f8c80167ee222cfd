#include "imaging/icon_png_win.h"

#include "imaging/icon_alpha.h"
#include "imaging/saveicons_win.h"

namespace imaging {

bool ReadIconWithAlpha(HICON icon, bool gray_scale, Image32* image) {
  Image32 color;
  MaskImage mask;
  if (ReadIconImages(icon, &color, &mask) < 0) return false;
  *image = IconWithAlpha(color, mask);
  if (gray_scale) MakeGrayscaleKeepingAlpha(*image);
  return true;
}

ImageWriteResult EncodeIconPng(HICON icon, bool gray_scale, util::ByteSink& sink, std::string* error) {
  Image32 image;
  if (!ReadIconWithAlpha(icon, gray_scale, &image)) return ImageWriteResult::kUnsupportedBitmap;
  return EncodePng(image, sink, error);
}

}  // namespace imaging
