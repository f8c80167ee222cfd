#include "imaging/image_scale.h"

#include <gtest/gtest.h>

namespace imaging {
namespace {

TEST(ImageScale, FitWithinKeepsTheAspectAndNeverGrows) {
  const struct {
    int w, h, side, want_w, want_h;
  } cases[] = {
      {256, 256, 128, 128, 128}, {64, 32, 16, 16, 8},   {32, 64, 16, 8, 16},  {48, 48, 40, 40, 40},
      {1, 300, 100, 1, 100},     {300, 2, 100, 100, 1}, {16, 16, 32, 16, 16}, {100, 50, 100, 100, 50},
  };
  for (const auto& c : cases) {
    const TFitSize fit = FitWithin(c.w, c.h, c.side);
    EXPECT_EQ(c.want_w, fit.width) << c.w << "x" << c.h << " in " << c.side;
    EXPECT_EQ(c.want_h, fit.height) << c.w << "x" << c.h << " in " << c.side;
  }
}

TEST(ImageScale, TransparentColourDoesNotBleed) {
  // Opaque red beside a transparent pixel that stores green: half covered,
  // still pure red. Averaged without premultiplying it would turn brown.
  Image32 image(2, 1);
  image.At(0, 0) = MakePixel(255, 0, 0, 255);
  image.At(1, 0) = MakePixel(0, 255, 0, 0);
  const Image32 out = ScaleDown(image, 1, 1);
  ASSERT_EQ(1u, out.pixels.size());
  EXPECT_EQ(MakePixel(255, 0, 0, 128), out.pixels[0]);
}

TEST(ImageScale, PartlyCoveredPixelsCountByTheirShare) {
  // Three pixels into two: each output covers one and a half of them.
  Image32 image(3, 1);
  image.At(0, 0) = MakePixel(0, 0, 0, 255);
  image.At(1, 0) = MakePixel(90, 90, 90, 255);
  image.At(2, 0) = MakePixel(180, 180, 180, 255);
  const Image32 out = ScaleDown(image, 2, 1);
  ASSERT_EQ(2, out.width);
  EXPECT_EQ(MakePixel(30, 30, 30, 255), out.At(0, 0));
  EXPECT_EQ(MakePixel(150, 150, 150, 255), out.At(1, 0));
}

TEST(ImageScale, QuadrantsStayInPlace) {
  // Four distinct 2 x 3 blocks halved across and thirded down: each block
  // becomes its own pixel, so a flip or a swapped axis shows.
  const Pixel32 colours[2][2] = {{MakePixel(200, 0, 0, 255), MakePixel(0, 200, 0, 255)},
                                 {MakePixel(0, 0, 200, 255), MakePixel(10, 20, 30, 40)}};
  Image32 image(4, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x) image.At(x, y) = colours[y / 3][x / 2];
  const Image32 out = ScaleDown(image, 2, 2);
  ASSERT_EQ(2, out.height);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(colours[y][x], out.At(x, y)) << x << "," << y;
  EXPECT_TRUE(ScaleDown(image, 5, 2).pixels.empty());
  EXPECT_TRUE(ScaleDown(image, 2, 0).pixels.empty());
}

}  // namespace
}  // namespace imaging
