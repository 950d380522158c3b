#include "platform/win32/screen_gdi_win32.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

class Win32TextCanvas final : public TextCanvas {
 public:
  Win32TextCanvas(win32::ScopedDeviceContext display, win32::ScopedDeviceContext memory,
                  win32::ScopedGdiObject font)
      : display_(std::move(display)), memory_(std::move(memory)), font_(std::move(font)) {
    originalFont_ = SelectObject(memory_.Get(), font_.Get());
  }

  ~Win32TextCanvas() override {
    // Nothing may stay selected into a context when the objects are deleted.
    ReleaseBitmap();
    if (originalFont_) SelectObject(memory_.Get(), originalFont_);
  }

  int MeasureTextHeight(const WString& text) override {
    HGDIOBJ previous = SelectObject(display_.Get(), font_.Get());
    RECT bounds{0, 0, 0, 0};
    DrawTextW(display_.Get(), win32::Wide(text), static_cast<int>(text.size()), &bounds,
              DT_CALCRECT);
    SelectObject(display_.Get(), previous);
    return bounds.bottom - bounds.top;
  }

  bool CreateBitmap(int width, int height) override {
    ReleaseBitmap();
    if (width <= 0 || height <= 0) return false;
    win32::ScopedGdiObject bitmap(CreateCompatibleBitmap(display_.Get(), width, height));
    if (!bitmap) return false;
    originalBitmap_ = SelectObject(memory_.Get(), bitmap.Get());
    bitmap_ = std::move(bitmap);
    width_ = width;
    height_ = height;
    return true;
  }

  void FillWhite() override {
    if (!bitmap_) return;
    RECT all{0, 0, width_, height_};
    FillRect(memory_.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }

  void DrawWrappedText(const WString& text) override {
    if (!bitmap_) return;
    SetBkMode(memory_.Get(), TRANSPARENT);
    SetBkColor(memory_.Get(), RGB(255, 255, 255));
    RECT all{0, 0, width_, height_};
    DrawTextW(memory_.Get(), win32::Wide(text), static_cast<int>(text.size()), &all, DT_WORDBREAK);
  }

  uint32_t Pixel(int x, int y) override { return GetPixel(memory_.Get(), x, y); }

  bool ReadPixels(std::vector<uint32_t>& colours) override {
    if (!bitmap_) return false;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width_;
    format.bmiHeader.biHeight = -height_;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> dots(static_cast<size_t>(width_) * static_cast<size_t>(height_));
    // GetDIBits wants the bitmap out of every context while it reads.
    SelectObject(memory_.Get(), originalBitmap_);
    const int rows = GetDIBits(memory_.Get(), static_cast<HBITMAP>(bitmap_.Get()), 0,
                               static_cast<UINT>(height_), dots.data(), &format, DIB_RGB_COLORS);
    SelectObject(memory_.Get(), bitmap_.Get());
    if (rows != height_) return false;
    // A 32-bit DIB dot is blue, green, red, unused in memory order: 0x00RRGGBB as a number, the
    // other way round from the colour GetPixel gives.
    for (uint32_t& dot : dots) {
      dot = (dot & 0xFF) << 16 | (dot & 0xFF00) | (dot >> 16 & 0xFF);
    }
    colours = std::move(dots);
    return true;
  }

 private:
  void ReleaseBitmap() {
    if (!bitmap_) return;
    SelectObject(memory_.Get(), originalBitmap_);
    bitmap_.Reset();
    width_ = height_ = 0;
  }

  win32::ScopedDeviceContext display_;
  win32::ScopedDeviceContext memory_;
  win32::ScopedGdiObject font_;
  win32::ScopedGdiObject bitmap_;
  HGDIOBJ originalFont_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace

std::unique_ptr<TextCanvas> Win32ScreenGdi::Open(const WString& face, int pointTenths) {
  win32::ScopedDeviceContext display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  if (!display) return nullptr;
  win32::ScopedDeviceContext memory(CreateCompatibleDC(display.Get()));
  if (!memory) return nullptr;
  // Tenths of a point to the display's logical units, as a point-size font is made for the
  // screen: the dots per inch times the size over 720, as a negative (character) height.
  LOGFONTW description{};
  description.lfHeight =
      -std::abs(MulDiv(GetDeviceCaps(display.Get(), LOGPIXELSY), pointTenths, 720));
  description.lfCharSet = DEFAULT_CHARSET;
  const size_t length = std::min<size_t>(face.size(), LF_FACESIZE - 1);
  std::memcpy(description.lfFaceName, face.data(), length * sizeof(wchar_t));
  // A font that cannot be made leaves the context's own: the text is still drawn.
  win32::ScopedGdiObject font(CreateFontIndirectW(&description));
  return std::make_unique<Win32TextCanvas>(std::move(display), std::move(memory), std::move(font));
}

}  // namespace kestrava
