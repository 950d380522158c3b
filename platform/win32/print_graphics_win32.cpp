#include "platform/win32/print_graphics_win32.h"

#include "platform/win32/device_mode_win32.h"
#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

using win32::ScopedDeviceContext;
using win32::Wide;

static_assert(DT_NOCLIP == kDrawTextNoClip && SRCCOPY == kSourceCopy, "GDI flags");

class Win32PictureContext final : public PictureContext {
 public:
  Win32PictureContext(ScopedDeviceContext context, HBITMAP bitmap) : context_(std::move(context)) {
    BITMAP size{};
    if (bitmap && GetObjectW(bitmap, sizeof(size), &size) != 0) {
      previous_ = SelectObject(context_.Get(), bitmap);
      if (previous_ && previous_ != HGDI_ERROR) {
        width_ = size.bmWidth;
        height_ = size.bmHeight;
      } else {
        previous_ = nullptr;
      }
    }
  }
  ~Win32PictureContext() override {
    // The bitmap belongs to whoever loaded it: hand it back before the context goes.
    if (previous_) SelectObject(context_.Get(), previous_);
  }

  int width() const override { return width_; }
  int height() const override { return height_; }
  HDC Get() const { return context_.Get(); }

 private:
  ScopedDeviceContext context_;
  HGDIOBJ previous_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

class Win32PrinterContext final : public PrinterContext {
 public:
  explicit Win32PrinterContext(ScopedDeviceContext context) : context_(std::move(context)) {}

  int StartDocument(const WString& name, uint32_t* error = nullptr) override {
    DOCINFOW document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = Wide(name);
    const int job = StartDocW(context_.Get(), &document);
    if (error) *error = job > 0 ? 0 : GetLastError();
    return job;
  }
  bool StartPage() override { return ::StartPage(context_.Get()) > 0; }
  bool DrawTextInRect(const WString& text, const TextRect& rect, uint32_t format) override {
    RECT area{rect.left, rect.top, rect.right, rect.bottom};
    return DrawTextW(context_.Get(), Wide(text), static_cast<int>(text.size()), &area, format) != 0;
  }
  bool TextAt(int x, int y, const WString& text) override {
    return TextOutW(context_.Get(), x, y, Wide(text), static_cast<int>(text.size())) != 0;
  }
  bool CopyPicture(int x, int y, int width, int height, const PictureContext& source, int sourceX,
                   int sourceY, uint32_t rop) override {
    const auto* picture = dynamic_cast<const Win32PictureContext*>(&source);
    if (!picture) return false;
    return BitBlt(context_.Get(), x, y, width, height, picture->Get(), sourceX, sourceY, rop) != 0;
  }
  bool EndPage() override { return ::EndPage(context_.Get()) > 0; }
  bool EndDocument() override { return EndDoc(context_.Get()) > 0; }

 private:
  ScopedDeviceContext context_;
};

}  // namespace

std::unique_ptr<PrinterContext> Win32PrintGraphics::CreatePrinterContext(const WString& printerName,
                                                                         const DeviceMode& mode,
                                                                         uint32_t* error) {
  const win32::AlignedDeviceMode record(mode);
  ScopedDeviceContext context(CreateDCW(L"WINSPOOL", Wide(printerName), nullptr, record.Get()));
  if (error) *error = context ? ERROR_SUCCESS : GetLastError();
  if (!context) return nullptr;
  return std::make_unique<Win32PrinterContext>(std::move(context));
}

std::unique_ptr<PictureContext> Win32PrintGraphics::CreatePictureContext(const Picture& picture) {
  ScopedDeviceContext context(CreateCompatibleDC(nullptr));  // compatible with the screen
  if (!context) return nullptr;
  return std::make_unique<Win32PictureContext>(std::move(context),
                                               reinterpret_cast<HBITMAP>(picture.handle));
}

}  // namespace kestrava
