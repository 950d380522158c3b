#include "app/dialog/controls.h"

#include "platform/ipv4_text.h"

namespace kestrava {

WString IpAddressField::Text() const {
  return WidenAscii(DottedAddress(Address()));
}

}  // namespace kestrava
