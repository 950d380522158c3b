#include "tests/fakes/fake_screen_gdi.h"

namespace kestrava {

namespace {

class FakeCanvas final : public TextCanvas {
 public:
  explicit FakeCanvas(FakeScreenGdi& owner) : owner_(owner) { ++owner_.openCanvases; }
  ~FakeCanvas() override {
    owner_.lastBitmap = bitmap_;
    --owner_.openCanvases;
    owner_.log.push_back("release");
  }

  int MeasureTextHeight(const WString& text) override {
    owner_.log.push_back("measure");
    return owner_.HeightOf(text);
  }

  bool CreateBitmap(int width, int height) override {
    owner_.log.push_back("bitmap " + std::to_string(width) + "x" + std::to_string(height));
    if (owner_.bitmapFails || width <= 0 || height <= 0) return false;
    bitmap_.width = width;
    bitmap_.height = height;
    // A new bitmap holds whatever the memory held: not white.
    bitmap_.dots.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0x00123456);
    return true;
  }

  void FillWhite() override {
    owner_.log.push_back("fill white");
    bitmap_.Fill(kWhite);
  }

  void DrawWrappedText(const WString& text) override {
    owner_.log.push_back("draw");
    owner_.drawnTexts.push_back(text);
    if (owner_.paint) {
      owner_.paint(bitmap_, text);
    } else {
      owner_.PaintBlocks(bitmap_, text);
    }
  }

  uint32_t Pixel(int x, int y) override {
    ++owner_.pixelReads;
    if (x < 0 || y < 0 || x >= bitmap_.width || y >= bitmap_.height) return 0xFFFFFFFF;
    return bitmap_.At(x, y);
  }

  bool ReadPixels(std::vector<uint32_t>& colours) override {
    ++owner_.bulkReads;
    owner_.log.push_back("read all");
    if (owner_.bulkReadFails || bitmap_.dots.empty()) return false;
    colours = bitmap_.dots;
    return true;
  }

 private:
  FakeScreenGdi& owner_;
  FakeBitmap bitmap_;
};

}  // namespace

std::unique_ptr<TextCanvas> FakeScreenGdi::Open(const WString& face, int pointTenths) {
  log.push_back("open " + Utf16ToUtf8(face) + " " + std::to_string(pointTenths));
  if (displayFails) return nullptr;
  return std::make_unique<FakeCanvas>(*this);
}

int FakeScreenGdi::HeightOf(const WString& text) const {
  auto found = heights.find(text);
  if (found != heights.end()) return found->second;
  if (text.empty()) return 0;
  int lines = 1;
  for (size_t at = text.find(u"\r\n"); at != WString::npos; at = text.find(u"\r\n", at + 2)) {
    if (at + 2 < text.size()) ++lines;
  }
  return lines * lineHeight;
}

void FakeScreenGdi::PaintBlocks(FakeBitmap& bitmap, const WString& text) const {
  int line = 0;
  int column = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const WChar c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++line;
      column = 0;
      ++i;
      continue;
    }
    if (c != u' ' && c != u'\t') {
      for (int y = line * lineHeight + 2; y < (line + 1) * lineHeight - 2; ++y) {
        for (int x = column * kCellWidth + 1; x < (column + 1) * kCellWidth - 1; ++x) {
          bitmap.Set(x, y, 0);
        }
      }
    }
    ++column;
  }
}

}  // namespace kestrava
