// GDI printing in memory: every call on every context is recorded with its arguments, in
// order, so that a page's layout is checked exactly; contexts are counted (each must be
// deleted on every path) and creating a printer context can be made to fail. Given the fake
// spooler, a printer context is made only for an installed printer.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/print_graphics.h"

namespace kestrava {

class FakePrintSpooler;

class FakePrintGraphics final : public PrintGraphics {
 public:
  std::unique_ptr<PrinterContext> CreatePrinterContext(const WString& printerName,
                                                       const DeviceMode& mode,
                                                       uint32_t* error) override;
  std::unique_ptr<PictureContext> CreatePictureContext(const Picture& picture) override;

  // Scripting.
  uint32_t printerContextError = 0;  // not 0: creating a printer context fails with it
  bool pictureContextFails = false;
  bool documentsStart = true;  // false: StartDoc answers 0
  FakePrintSpooler* spooler = nullptr;

  // What happened, UTF-8: "CreateDC RT-58C size=220 extra=0 fields=0xF orientation=1
  // paper=256 length=800 width=720", "CreatePicture 141 120x60", "StartDoc RT-58C",
  // "StartPage", "DrawText 10,10,400,500 0x100 <text>", "BitBlt 30,20 120x60 from 0,0
  // 0xCC0020", "TextOut 10,430 <text>", "EndPage", "EndDoc", "DeleteDC printer",
  // "DeleteDC picture".
  std::vector<std::string> calls;
  std::function<void(const std::string& call)> onCall;
  std::optional<DeviceMode> lastDeviceMode;  // of the last printer context asked for
  int openContexts() const { return *open_; }

  void Record(const std::string& call);

 private:
  std::shared_ptr<int> open_ = std::make_shared<int>(0);
};

}  // namespace kestrava
