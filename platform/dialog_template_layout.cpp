#include "platform/dialog_template_layout.h"

#include <cstdlib>
#include <utility>

namespace kestrava {

namespace {

constexpr uint32_t kSetFontStyle = 0x40;  // DS_SETFONT (DS_SHELLFONT includes it)

// Little-endian fields of the template, each read only when the data holds all of it.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Word(uint16_t& value) {
    if (size_ - at_ < 2) return false;
    value = static_cast<uint16_t>(data_[at_] | data_[at_ + 1] << 8);
    at_ += 2;
    return true;
  }
  bool Short(int& value) {
    uint16_t word = 0;
    if (!Word(word)) return false;
    value = static_cast<int16_t>(word);
    return true;
  }
  bool DoubleWord(uint32_t& value) {
    uint16_t low = 0;
    uint16_t high = 0;
    if (!Word(low) || !Word(high)) return false;
    value = low | static_cast<uint32_t>(high) << 16;
    return true;
  }
  bool Skip(size_t count) {
    if (size_ - at_ < count) return false;
    at_ += count;
    return true;
  }
  // A zero-terminated UTF-16 text.
  bool SkipText() {
    for (uint16_t unit = 1; unit != 0;) {
      if (!Word(unit)) return false;
    }
    return true;
  }
  // A menu, class or title: 0x0000 for none, 0xFFFF and an ordinal, or a text.
  bool SkipTextOrOrdinal() {
    uint16_t first = 0;
    if (!Word(first)) return false;
    if (first == 0) return true;
    if (first == 0xFFFF) return Skip(2);
    return SkipText();
  }
  // Every control starts on a 4-byte boundary of the template.
  bool AlignToDoubleWord() { return Skip((4 - at_ % 4) % 4); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

bool ReadRect(Reader& in, DialogUnitRect& rect) {
  return in.Short(rect.x) && in.Short(rect.y) && in.Short(rect.width) && in.Short(rect.height);
}

// Dialog units along one axis in pixels: units * base * dpi / (divisor * baseDpi), rounded half
// away from zero as MulDiv rounds.
struct Axis {
  int64_t base;     // pixels per `divisor` dialog units at baseDpi
  int64_t dpi;      // the DPI to place at
  int64_t baseDpi;  // the DPI `base` was measured at
  int divisor;      // 4 across, 8 down

  int Pixels(int units) const {
    const int64_t numerator = units * base * dpi;
    const int64_t denominator = divisor * baseDpi;
    const int64_t rounded = (2 * std::llabs(numerator) + denominator) / (2 * denominator);
    return static_cast<int>(numerator < 0 ? -rounded : rounded);
  }
};

int PositiveDpi(int dpi) {
  return dpi > 0 ? dpi : 96;
}

// The first base units scaled to `dpi`, or `own`, measured at `dpi`, where those are larger.
Axis Larger(int first, int firstDpi, int own, int dpi, int divisor) {
  if (static_cast<int64_t>(own) * firstDpi > static_cast<int64_t>(first) * dpi) {
    return Axis{own, dpi, dpi, divisor};
  }
  return Axis{first, dpi, firstDpi, divisor};
}

}  // namespace

bool ReadDialogTemplateLayout(const uint8_t* data, size_t size, DialogTemplateLayout& out) {
  if (!data) return false;
  Reader in(data, size);
  uint16_t version = 0;
  uint16_t signature = 0;
  uint32_t helpId = 0;
  uint32_t extendedStyle = 0;
  uint32_t style = 0;
  uint16_t count = 0;
  DialogTemplateLayout layout;
  if (!in.Word(version) || !in.Word(signature) || version != 1 || signature != 0xFFFF ||
      !in.DoubleWord(helpId) || !in.DoubleWord(extendedStyle) || !in.DoubleWord(style) ||
      !in.Word(count) || !ReadRect(in, layout.dialog) || !in.SkipTextOrOrdinal() ||
      !in.SkipTextOrOrdinal() || !in.SkipText()) {
    return false;
  }
  if (style & kSetFontStyle) {
    uint16_t pointSize = 0;
    // The weight (a word), the italic flag and the character set (a byte each), the face.
    if (!in.Word(pointSize) || !in.Skip(4) || !in.SkipText()) return false;
    layout.pointSize = pointSize;
  }
  for (uint16_t index = 0; index < count; ++index) {
    DialogTemplateItem item;
    uint32_t id = 0;
    uint16_t extraBytes = 0;
    // The help id, the extended style and the style, each a double word, before the place.
    if (!in.AlignToDoubleWord() || !in.Skip(12) || !ReadRect(in, item.place) ||
        !in.DoubleWord(id) || !in.SkipTextOrOrdinal() || !in.SkipTextOrOrdinal() ||
        !in.Word(extraBytes) || !in.Skip(extraBytes)) {
      return false;
    }
    item.id = static_cast<int>(id);
    layout.items.push_back(item);
  }
  out = std::move(layout);
  return true;
}

PixelRect PlaceAtDpi(const DialogUnitRect& place, const DialogBaseUnits& first,
                     const DialogBaseUnits& atDpi) {
  const int firstDpi = PositiveDpi(first.dpi);
  const int dpi = PositiveDpi(atDpi.dpi);
  const Axis across = Larger(first.x, firstDpi, atDpi.x, dpi, 4);
  const Axis down = Larger(first.y, firstDpi, atDpi.y, dpi, 8);
  return PixelRect{across.Pixels(place.x), down.Pixels(place.y), across.Pixels(place.width),
                   down.Pixels(place.height)};
}

}  // namespace kestrava
