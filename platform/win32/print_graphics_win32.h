#pragma once

#include "platform/print_graphics.h"

namespace kestrava {

// Printer and memory device contexts of gdi32.
class Win32PrintGraphics final : public PrintGraphics {
 public:
  std::unique_ptr<PrinterContext> CreatePrinterContext(const WString& printerName,
                                                       const DeviceMode& mode,
                                                       uint32_t* error) override;
  std::unique_ptr<PictureContext> CreatePictureContext(const Picture& picture) override;
};

}  // namespace kestrava
