#include "comm/raster_banner.h"
#include "comm/write_bounds.h"

#include <algorithm>
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
  const size_t bytesPerRow = static_cast<size_t>(width + 7) / 8;
  std::string block(std::begin(kRasterHeader), std::end(kRasterHeader));
  block.push_back(static_cast<char>(bytesPerRow & 0xFF));
  block.push_back(static_cast<char>(bytesPerRow >> 8 & 0xFF));
  block.push_back(static_cast<char>(height & 0xFF));
  block.push_back(static_cast<char>(height >> 8 & 0xFF));
  const size_t rowsAt = block.size();
  const size_t rows = height > 0 ? static_cast<size_t>(height) : 0;
  const size_t dots = static_cast<size_t>(width > 0 ? width : 0);
  block.resize(rowsAt + bytesPerRow * rows, '\0');
  // Eight dots at a time, gathered in a byte before it is stored.
  for (size_t y = 0; y < rows && (y + 1) * dots <= colours.size(); ++y) {
    const uint32_t* row = colours.data() + y * dots;
    char* out = &block[rowsAt + y * bytesPerRow];
    for (size_t x = 0; x < dots; x += 8) {
      const size_t end = std::min(dots, x + 8);
      unsigned byte = 0;
      for (size_t dot = x; dot < end; ++dot) {
        // Most of the paper is white: no weighing for it.
        if ((row[dot] & kWhite) == kWhite) continue;
        byte |= (IsBlackDot(row[dot]) ? 0x80u : 0u) >> (dot - x);
      }
      out[x / 8] = static_cast<char>(byte);
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
    const auto size = static_cast<uint32_t>(block.size());
    printer->Write(block.data(), size, UsbWriteBoundMs(size));
  }
}

}  // namespace kestrava
