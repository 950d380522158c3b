// A screen in memory: a font whose text height the test gives (or so many dots per line), a
// bitmap of colour values that a painter draws the text into, and a display that can be
// missing, a bitmap that cannot be made and a bulk read that fails. The default painter draws
// every character other than a space, a tab or a line end as a black block in a cell of its
// line; a test may paint any colours instead. Every call is logged, and the reads of single
// dots and of the whole bitmap are counted.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/screen_gdi.h"

namespace kestrava {

struct FakeBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> dots;  // rows from the top

  void Fill(uint32_t colour) { dots.assign(dots.size(), colour); }
  void Set(int x, int y, uint32_t colour) {
    if (x >= 0 && y >= 0 && x < width && y < height) {
      dots[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = colour;
    }
  }
  uint32_t At(int x, int y) const {
    return dots[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

class FakeScreenGdi final : public ScreenGdi {
 public:
  static constexpr int kCellWidth = 12;

  std::unique_ptr<TextCanvas> Open(const WString& face, int pointTenths) override;

  // The measured height of a text: by the table, else lineHeight for each of its lines.
  int HeightOf(const WString& text) const;
  // The default painter.
  void PaintBlocks(FakeBitmap& bitmap, const WString& text) const;

  std::map<WString, int> heights;
  int lineHeight = 27;
  std::function<void(FakeBitmap&, const WString&)> paint;
  bool displayFails = false;
  bool bitmapFails = false;
  bool bulkReadFails = false;

  std::vector<std::string> log;
  std::vector<WString> drawnTexts;
  int pixelReads = 0;
  int bulkReads = 0;
  int openCanvases = 0;
  FakeBitmap lastBitmap;  // as the last canvas left it
};

}  // namespace kestrava
