#include "comm/raster_banner.h"

#include <memory>

namespace kestrava {

namespace {

constexpr uint8_t kRasterHeader[] = {0x1D, 0x76, 0x30, 0x00};
constexpr uint8_t kRasterTrailer[] = {0x00, 0x1D, 0x56, 0x00};

}  // namespace

bool IsBlackDot(uint32_t colour) {
  const uint32_t low = colour & 0xFF;
  const uint32_t middle = colour >> 8 & 0xFF;
  const uint32_t high = colour >> 16 & 0xFF;
  // The weighted sum in hundredths, so that it is exact: in binary floating point a colour
  // that weighs exactly 129 can come out as 128.999... and turn black.
  return 30 * high + 59 * middle + 11 * low < 129 * 100;
}

std::string RasterBlock(const std::vector<uint32_t>& colours, int width, int height) {
  const int bytesPerRow = (width + 7) / 8;
  std::string block(std::begin(kRasterHeader), std::end(kRasterHeader));
  block.push_back(static_cast<char>(bytesPerRow & 0xFF));
  block.push_back(static_cast<char>(bytesPerRow >> 8 & 0xFF));
  block.push_back(static_cast<char>(height & 0xFF));
  block.push_back(static_cast<char>(height >> 8 & 0xFF));
  const size_t rowsAt = block.size();
  block.resize(rowsAt + static_cast<size_t>(bytesPerRow) * static_cast<size_t>(height), '\0');
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const size_t dot =
          static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
      if (dot >= colours.size() || !IsBlackDot(colours[dot])) continue;
      char& byte = block[rowsAt + static_cast<size_t>(y * bytesPerRow + x / 8)];
      byte = static_cast<char>(static_cast<uint8_t>(byte) | 0x80 >> (x % 8));
    }
  }
  block.append(std::begin(kRasterTrailer), std::end(kRasterTrailer));
  return block;
}

std::vector<uint32_t> ReadDotsOneByOne(TextCanvas& canvas, int width, int height) {
  std::vector<uint32_t> colours;
  colours.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) colours.push_back(canvas.Pixel(x, y));
  }
  return colours;
}

void RasterizeAndSend(const WString& text, const WString& devicePath, ScreenGdi& screen,
                      DeviceIo& deviceIo) {
  std::unique_ptr<TextCanvas> canvas = screen.Open(kRasterFontFace, kRasterFontTenths);
  if (!canvas) return;
  const int height = 2 * canvas->MeasureTextHeight(text);
  if (!canvas->CreateBitmap(kRasterWidth, height)) return;
  canvas->FillWhite();
  canvas->DrawWrappedText(text);
  // One read of the whole bitmap: a read per dot is 576 system calls a row.
  std::vector<uint32_t> colours;
  if (!canvas->ReadPixels(colours)) colours = ReadDotsOneByOne(*canvas, kRasterWidth, height);
  canvas.reset();
  const std::string block = RasterBlock(colours, kRasterWidth, height);
  if (std::unique_ptr<Device> printer = deviceIo.Open(devicePath)) {
    printer->Write(block.data(), static_cast<uint32_t>(block.size()));
  }
}

}  // namespace kestrava
