// The screen-side drawing against the fake (natively) and GDI on the display (under Wine):
// measured heights, the white bitmap, dark dots where text is drawn, and the bulk read equal
// to the per-dot one.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/platform/comm_implementations.h"

namespace kestrava {
namespace {

class ScreenGdiContract : public ::testing::TestWithParam<Implementation<ScreenGdi>> {
 protected:
  void SetUp() override {
    screen = GetParam().make();
    ASSERT_TRUE(screen);
    canvas = screen->Open(u"Arial Unicode MS", 200);
    ASSERT_TRUE(canvas) << "a display context";
  }
  std::vector<uint32_t> PerDot(int width, int height) {
    std::vector<uint32_t> dots;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) dots.push_back(canvas->Pixel(x, y));
    }
    return dots;
  }
  std::unique_ptr<ScreenGdi> screen;
  std::unique_ptr<TextCanvas> canvas;
};

TEST_P(ScreenGdiContract, LinesAddToTheMeasuredHeightAndNothingWraps) {
  const int one = canvas->MeasureTextHeight(u"Port");
  EXPECT_GT(one, 10) << "20 points on the display";
  EXPECT_LT(one, 80);
  EXPECT_EQ(2 * one, canvas->MeasureTextHeight(u"Port\r\nUSB001"));
  const WString longLine(300, u'W');
  EXPECT_EQ(one, canvas->MeasureTextHeight(longLine)) << "no wrapping when measuring";
}

TEST_P(ScreenGdiContract, AFreshBitmapFilledWhiteReadsWhiteBothWays) {
  ASSERT_TRUE(canvas->CreateBitmap(40, 12));
  canvas->FillWhite();
  std::vector<uint32_t> bulk;
  ASSERT_TRUE(canvas->ReadPixels(bulk));
  EXPECT_EQ(std::vector<uint32_t>(40 * 12, kWhite), bulk);
  EXPECT_EQ(bulk, PerDot(40, 12));
}

TEST_P(ScreenGdiContract, DrawnTextIsDarkAboveAndTheBulkReadEqualsThePerDotRead) {
  const WString text = u"*** USB003 ***\r\nHH";
  const int height = 2 * canvas->MeasureTextHeight(text);
  ASSERT_TRUE(canvas->CreateBitmap(576, height));
  canvas->FillWhite();
  canvas->DrawWrappedText(text);
  std::vector<uint32_t> bulk;
  ASSERT_TRUE(canvas->ReadPixels(bulk));
  ASSERT_EQ(static_cast<size_t>(576 * height), bulk.size());
  EXPECT_EQ(PerDot(576, height), bulk);
  const auto dark = [](uint32_t c) { return (c & 0xFF) < 128 && (c >> 8 & 0xFF) < 128; };
  const auto upper = bulk.begin() + 576 * (height / 2);
  EXPECT_GT(std::count_if(bulk.begin(), upper, dark), 100) << "the text is drawn";
  EXPECT_EQ(0, std::count_if(upper, bulk.end(), [](uint32_t c) { return c != kWhite; }))
      << "the lower half stays white";
}

TEST_P(ScreenGdiContract, ABitmapWithoutDotsIsNotMade) {
  EXPECT_FALSE(canvas->CreateBitmap(576, 0));
  std::vector<uint32_t> untouched = {1, 2};
  EXPECT_FALSE(canvas->ReadPixels(untouched));
  EXPECT_EQ((std::vector<uint32_t>{1, 2}), untouched);
}

INSTANTIATE_TEST_SUITE_P(All, ScreenGdiContract, ::testing::ValuesIn(ScreenGdiImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
