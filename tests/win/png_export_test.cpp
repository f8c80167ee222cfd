// PNG inside the documents under Wine, in-process: the HTML document's
// images and the dBase memos as PNG, made from the icons' own pixels with
// their alpha, grey when asked. Read back with libpng's reader.
#include <windows.h>
#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "app/export/export_engine_win.h"
#include "app/globals.h"
#include "win/export_fixtures.h"
#include "win/win_test_support.h"

namespace app {
namespace {

using testing_support::FixturePath;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using Bytes = std::vector<unsigned char>;

// Pixels top-down as R, G, B, A; empty when the bytes are no PNG.
Bytes DecodeRgba(const unsigned char* data, size_t size, int* width) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) {
    ADD_FAILURE() << image.message;
    return {};
  }
  image.format = PNG_FORMAT_RGBA;
  Bytes rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    ADD_FAILURE() << image.message;
    return {};
  }
  *width = static_cast<int>(image.width);
  return rgba;
}

// Icon 7 of imaging_depths.dll: alpha (x * 8 + 7) in every row, red x * 7,
// green y * 7, blue 0x40 (tests/fixtures/set_imaging.py).
void ExpectRampIcon(const Bytes& rgba, int width, bool grey, const std::string& what) {
  ASSERT_EQ(32, width) << what;
  ASSERT_EQ(32u * 32u * 4u, rgba.size()) << what;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const unsigned char* p = &rgba[(static_cast<size_t>(y) * 32 + x) * 4];
      ASSERT_EQ((x * 8 + 7) & 0xFF, p[3]) << what << " " << x << "," << y;
      if (grey) {
        ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << what << " " << x << "," << y;
      } else {
        ASSERT_EQ(x * 7, p[0]) << what << " " << x << "," << y;
        ASSERT_EQ(y * 7, p[1]) << what << " " << x << "," << y;
        ASSERT_EQ(0x40, p[2]) << what << " " << x << "," << y;
      }
    }
  }
}

class PngExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BatchMode = true;
    HTMLColumnCount = 4;
  }
  void TearDown() override { BatchMode = false; }

  int Run(const TExportRequest& request) {
    int count = 0;
    TExportWork work;
    ExportIcons(work, count, request, 0);
    return count;
  }

  TempDir dir_;
};

TEST_F(PngExportTest, HtmlImagesArePngWithAlphaAndGreyKeepsIt) {
  for (bool grey : {false, true}) {
    const std::string page = dir_.file(grey ? "grey.htm" : "page.htm");
    const std::string folder = page.substr(0, page.size() - 4) + "_files";
    TExportRequest request;
    request.Type = imaging::etHTML;
    request.HtmlImageType = imaging::etPNG;
    request.GrayScale = grey;
    request.Target = page;
    request.DestFolder = folder;
    request.Source = FixturePath("imaging_depths.dll");
    ASSERT_EQ(8, Run(request));
    const std::vector<std::string> files = export_fixtures::FilesIn(folder);
    ASSERT_EQ(8u, files.size());
    EXPECT_EQ("ico_imaging_depths0007.png", files[6]);
    const Bytes doc = ReadFileBytes(page);
    const std::string text(doc.begin(), doc.end());
    EXPECT_NE(std::string::npos, text.find("/ico_imaging_depths0007.png\" width=\"32\" height=\"32\"")) << text;
    EXPECT_EQ(std::string::npos, text.find(".jpg")) << text;

    const Bytes png = ReadFileBytes(folder + "\\" + files[6]);
    int width = 0;
    const Bytes rgba = DecodeRgba(png.data(), png.size(), &width);
    ExpectRampIcon(rgba, width, grey, files[6]);
  }
}

TEST_F(PngExportTest, DBaseMemosHoldPngWithAlpha) {
  TExportRequest request;
  request.Type = imaging::etDBase;
  request.MemoType = imaging::etPNG;
  request.Target = dir_.file("icons.dbf");
  request.DestFolder = dir_.path();
  request.Source = FixturePath("imaging_depths.dll");
  ASSERT_EQ(8, Run(request));
  const Bytes dbf = ReadFileBytes(dir_.file("icons.dbf"));
  const Bytes dbt = ReadFileBytes(dir_.file("icons.dbt"));
  ASSERT_EQ(65u + 11u * 8u + 1u, dbf.size());
  // Record 7 names the memo's first block; the memo is its mark, its length
  // (data + 8) and the data.
  const size_t record = 65 + 11 * 6;
  const unsigned block =
      static_cast<unsigned>(std::stoul(std::string(dbf.begin() + record + 1, dbf.begin() + record + 11).c_str()));
  const size_t memo = static_cast<size_t>(block) * 1024;
  ASSERT_LT(memo + 8, dbt.size());
  EXPECT_EQ(0x0008FFFFu, export_fixtures::LE32(dbt, memo));
  const size_t length = export_fixtures::LE32(dbt, memo + 4) - 8;
  ASSERT_LE(memo + 8 + length, dbt.size());
  int width = 0;
  const Bytes rgba = DecodeRgba(&dbt[memo + 8], length, &width);
  ExpectRampIcon(rgba, width, false, "memo 7");
}

}  // namespace
}  // namespace app
