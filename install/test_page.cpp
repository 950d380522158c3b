// The test page printed through the newly installed driver with GDI: the page text, the
// picture, the printer's name and the date and time, on one page of 72 mm x 80 mm paper.
#include "install/install_engine.h"

namespace kestrava {

namespace {

constexpr uint32_t kBeforePrintingMs = 1000;
constexpr int16_t kPaperLength = 800;  // tenths of a millimetre
constexpr int16_t kPaperWidth = 720;

// The printer's device mode as its driver reports it, or nothing.
std::optional<DeviceMode> DriverDeviceMode(PrintSpooler& spooler, const WString& name) {
  std::unique_ptr<SpoolerPrinter> printer = spooler.Open(name);
  if (!printer) return std::nullopt;
  std::optional<DeviceMode> mode = printer->CurrentDeviceMode();
  // A record too short to hold the paper fields is no device mode to print with.
  if (mode && !mode->HasPaperFields()) return std::nullopt;
  return mode;
}

}  // namespace

bool InstallEngine::PrintTestPage(const WString& name, const Picture& picture,
                                  const WString& pageText) {
  if (!services_) return true;
  DeviceMode mode = DriverDeviceMode(services_->spooler, name)
                        .value_or(DeviceMode::ZeroedPublic());  // the printer is closed again
  mode.SetDword(DeviceMode::kFieldsOffset, mode.fields() | kDeviceModeOrientation |
                                               kDeviceModePaperSize | kDeviceModePaperLength |
                                               kDeviceModePaperWidth);
  mode.SetWord(DeviceMode::kOrientationOffset, static_cast<uint16_t>(kPortrait));
  mode.SetWord(DeviceMode::kPaperSizeOffset, static_cast<uint16_t>(kUserPaperSize));
  mode.SetWord(DeviceMode::kPaperLengthOffset, static_cast<uint16_t>(kPaperLength));
  mode.SetWord(DeviceMode::kPaperWidthOffset, static_cast<uint16_t>(kPaperWidth));

  services_->clock.Sleep(kBeforePrintingMs);

  PrintGraphics& graphics = services_->graphics;
  std::unique_ptr<PictureContext> memory = graphics.CreatePictureContext(picture);
  uint32_t error = 0;
  std::unique_ptr<PrinterContext> page = graphics.CreatePrinterContext(name, mode, &error);
  testPageError = page ? 0 : error;
  if (!page) {
    Trace(system_.ErrorMessage(error));
    return true;
  }
  // The dialog does not look at the answers of the document and page calls: there is nobody to
  // tell. A refused document is kept for the command line, which has somebody.
  if (page->StartDocument(name, &error) <= 0) testPageError = error;
  page->StartPage();
  page->DrawTextInRect(pageText, TextRect{10, 10, 400, 500}, kDrawTextNoClip);
  if (memory) {
    page->CopyPicture(30, 20, memory->width(), memory->height(), *memory, 0, 0, kSourceCopy);
  }
  page->TextAt(10, 430, name);
  const LocalTime now = services_->clock.Now();
  page->TextAt(-20, 500,
               FormatText(u"  %d-%02d-%02d %02d:%02d:%02d",
                          {now.year, now.month, now.day, now.hour, now.minute, now.second}));
  page->EndPage();
  page->EndDocument();
  return true;  // both contexts are deleted here
}

}  // namespace kestrava
