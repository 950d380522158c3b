#include "app/controls.h"

namespace kestrava {

WString IpAddressField::Text() const {
  const uint32_t address = Address();
  return FormatText(u"%d.%d.%d.%d",
                    {static_cast<int>(address >> 24), static_cast<int>((address >> 16) & 0xFF),
                     static_cast<int>((address >> 8) & 0xFF), static_cast<int>(address & 0xFF)});
}

}  // namespace kestrava
