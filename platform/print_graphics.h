// Printing through GDI as the test page does it: a device context of a printer, made from the
// printer's name and a device mode, on which one document of pages is drawn with text and a
// picture held by a memory device context. Contexts are deleted when their objects are
// destroyed.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/device_mode.h"
#include "platform/dialog_host.h"
#include "platform/text.h"

namespace kestrava {

inline constexpr uint32_t kDrawTextNoClip = 0x100;   // DT_NOCLIP
inline constexpr uint32_t kSourceCopy = 0x00CC0020;  // SRCCOPY

struct TextRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// A memory device context compatible with the screen, with a picture selected into it. The
// picture stays its owner's: destruction deselects it and deletes only the context.
class PictureContext {
 public:
  virtual ~PictureContext() = default;

  // The picture's size as its bitmap tells it; 0 when it holds no bitmap.
  virtual int width() const = 0;
  virtual int height() const = 0;
};

// A printer's device context.
class PrinterContext {
 public:
  virtual ~PrinterContext() = default;

  // StartDoc with `name` as the document name, no output file and no data type. The job's
  // number, or 0 or less when refused, with the system's code in `error` when given.
  virtual int StartDocument(const WString& name, uint32_t* error = nullptr) = 0;
  virtual bool StartPage() = 0;
  // DrawText of `text` in `rect` with the format flags (DT_...).
  virtual bool DrawTextInRect(const WString& text, const TextRect& rect, uint32_t format) = 0;
  // TextOut at the point.
  virtual bool TextAt(int x, int y, const WString& text) = 0;
  // BitBlt of `width` x `height` from (sourceX, sourceY) of `source` to (x, y), with the raster
  // operation `rop`. False for a source of another implementation.
  virtual bool CopyPicture(int x, int y, int width, int height, const PictureContext& source,
                           int sourceX, int sourceY, uint32_t rop) = 0;
  virtual bool EndPage() = 0;
  virtual bool EndDocument() = 0;
};

class PrintGraphics {
 public:
  virtual ~PrintGraphics() = default;

  // The device context of the printer `printerName` ("WINSPOOL" device) initialised with
  // `mode`. Nothing, with the last error in `error`, when it cannot be made.
  virtual std::unique_ptr<PrinterContext> CreatePrinterContext(const WString& printerName,
                                                               const DeviceMode& mode,
                                                               uint32_t* error = nullptr) = 0;

  // A memory context compatible with the screen holding `picture`. Nothing when the context
  // cannot be made; a picture without a bitmap gives a context of size 0.
  virtual std::unique_ptr<PictureContext> CreatePictureContext(const Picture& picture) = 0;
};

}  // namespace kestrava
