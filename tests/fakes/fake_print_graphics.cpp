#include "tests/fakes/fake_print_graphics.h"

#include <cstdio>

#include "platform/system_errors.h"
#include "tests/fakes/fake_print_spooler.h"

namespace kestrava {

namespace {

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

std::string Point(int x, int y) {
  return std::to_string(x) + "," + std::to_string(y);
}

class FakePictureContext final : public PictureContext {
 public:
  FakePictureContext(FakePrintGraphics& graphics, const Picture& picture, std::shared_ptr<int> open)
      : graphics_(graphics), picture_(picture), open_(std::move(open)) {
    ++*open_;
  }
  ~FakePictureContext() override {
    --*open_;
    graphics_.Record("DeleteDC picture");
  }
  int width() const override { return picture_.handle ? picture_.width : 0; }
  int height() const override { return picture_.handle ? picture_.height : 0; }

 private:
  FakePrintGraphics& graphics_;
  Picture picture_;
  std::shared_ptr<int> open_;
};

class FakePrinterContext final : public PrinterContext {
 public:
  FakePrinterContext(FakePrintGraphics& graphics, std::shared_ptr<int> open)
      : graphics_(graphics), open_(std::move(open)) {
    ++*open_;
  }
  ~FakePrinterContext() override {
    --*open_;
    graphics_.Record("DeleteDC printer");
  }

  int StartDocument(const WString& name, uint32_t* error = nullptr) override {
    graphics_.Record("StartDoc " + Utf16ToUtf8(name));
    if (error) *error = graphics_.documentsStart ? 0u : uint32_t{kErrorAccessDenied};
    return graphics_.documentsStart ? 1 : 0;
  }
  bool StartPage() override {
    graphics_.Record("StartPage");
    return true;
  }
  bool DrawTextInRect(const WString& text, const TextRect& rect, uint32_t format) override {
    graphics_.Record("DrawText " + Point(rect.left, rect.top) + "," +
                     Point(rect.right, rect.bottom) + " " + Hex(format) + " " + Utf16ToUtf8(text));
    return true;
  }
  bool TextAt(int x, int y, const WString& text) override {
    graphics_.Record("TextOut " + Point(x, y) + " " + Utf16ToUtf8(text));
    return true;
  }
  bool CopyPicture(int x, int y, int width, int height, const PictureContext& source, int sourceX,
                   int sourceY, uint32_t rop) override {
    graphics_.Record("BitBlt " + Point(x, y) + " " + std::to_string(width) + "x" +
                     std::to_string(height) + " from " + Point(sourceX, sourceY) + " " + Hex(rop));
    return dynamic_cast<const FakePictureContext*>(&source) != nullptr;
  }
  bool EndPage() override {
    graphics_.Record("EndPage");
    return true;
  }
  bool EndDocument() override {
    graphics_.Record("EndDoc");
    return true;
  }

 private:
  FakePrintGraphics& graphics_;
  std::shared_ptr<int> open_;
};

}  // namespace

void FakePrintGraphics::Record(const std::string& call) {
  calls.push_back(call);
  if (onCall) onCall(call);
}

std::unique_ptr<PrinterContext> FakePrintGraphics::CreatePrinterContext(const WString& printerName,
                                                                        const DeviceMode& mode,
                                                                        uint32_t* error) {
  lastDeviceMode = mode;
  Record("CreateDC " + Utf16ToUtf8(printerName) + " size=" + std::to_string(mode.size()) +
         " extra=" + std::to_string(mode.driverExtra()) + " fields=" + Hex(mode.fields()) +
         " orientation=" + std::to_string(mode.orientation()) + " paper=" +
         std::to_string(mode.paperSize()) + " length=" + std::to_string(mode.paperLength()) +
         " width=" + std::to_string(mode.paperWidth()));
  uint32_t refusal = printerContextError;
  if (!refusal && spooler && !spooler->FindPrinter(printerName)) refusal = kErrorInvalidPrinterName;
  if (error) *error = refusal;
  if (refusal) return nullptr;
  return std::make_unique<FakePrinterContext>(*this, open_);
}

std::unique_ptr<PictureContext> FakePrintGraphics::CreatePictureContext(const Picture& picture) {
  Record("CreatePicture " + std::to_string(picture.handle) + " " + std::to_string(picture.width) +
         "x" + std::to_string(picture.height));
  if (pictureContextFails) return nullptr;
  return std::make_unique<FakePictureContext>(*this, picture, open_);
}

}  // namespace kestrava
