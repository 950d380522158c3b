#pragma once

#include "platform/screen_gdi.h"

namespace kestrava {

// GDI on the display: CreateDCW("DISPLAY"), CreateCompatibleDC, CreateFontIndirectW,
// DrawTextW, CreateCompatibleBitmap, GetPixel and GetDIBits.
class Win32ScreenGdi final : public ScreenGdi {
 public:
  std::unique_ptr<TextCanvas> Open(const WString& face, int pointTenths) override;
};

}  // namespace kestrava
