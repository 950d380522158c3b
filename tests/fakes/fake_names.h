// Names as Windows compares them where the fakes need it: without regard to the case of the
// ASCII letters (printer, driver and program names the program uses are ASCII where case
// matters).
#pragma once

#include "platform/text.h"

namespace kestrava {

inline WString UpperAscii(WStringView text) {
  WString out(text);
  for (WChar& c : out) {
    if (c >= u'a' && c <= u'z') c = static_cast<WChar>(c - 32);
  }
  return out;
}

}  // namespace kestrava
