// Texts that depend on the UI language and are not captions: the test-page text, and the
// operating-system message.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace kestrava {

struct MessageTable {
  // Fills every text for `language` (English for anything but 2052 and 1041).
  void Fill(int32_t language);

  WString testPageText;
};

// The operating-system message: the language's format filled with the release name, the
// architecture name and the release name again.
WString FormatOsMessage(int32_t language, const WString& osName, const WString& archName);

}  // namespace kestrava
