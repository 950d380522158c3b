// The captions the dialog sets at run time, in each UI language.
#pragma once

#include <cstdint>

#include "app/language.h"
#include "platform/dialog_host.h"

namespace kestrava {

inline constexpr int kWindowTitle = 0;  // the caption table's target for the window title

struct Caption {
  int target;  // a control id, or kWindowTitle
  LocalText text;
};

inline constexpr int kCaptionCount = 9;
extern const Caption kCaptions[kCaptionCount];

// Sets every caption of `language` (English for anything but 2052 and 1041).
void ApplyLanguage(DialogHost& host, int32_t language);

}  // namespace kestrava
