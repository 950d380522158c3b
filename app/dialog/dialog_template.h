// Dialog template 147, the program's one dialog: every control in template order, which fixes
// the radio groups and the tab order. The resource script (app/resources/dialog147.rc) builds
// the same template for Windows; a test holds the two together, and the test host builds its
// controls from this table. The operating-system message (1008) spans the dialog's width, so
// that the Japanese message fits in its two lines.
#pragma once

#include <array>
#include <cstdint>

#include "platform/text.h"

namespace kestrava {

inline constexpr int kDialogTemplateId = 147;
inline constexpr int kDialogWidth = 274;  // dialog units
inline constexpr int kDialogHeight = 242;
inline constexpr int kIconResource = 128;
inline constexpr int kTestPageBitmapResource = 141;

enum class ControlKind {
  kStatic,  // left-aligned text
  kGroupBox,
  kRadio,      // auto radio button
  kCheckBox,   // auto check box
  kButton,     // push button
  kDropList,   // drop-down list with a vertical scroll bar
  kIpAddress,  // IPv4 address control
  kBitmap,     // static showing a bitmap
};

struct ControlSpec {
  int id;
  ControlKind kind;
  int x, y, width, height;
  const char16_t* text;  // template text; nullptr for lists and the address field
  bool groupStart;
  bool hidden;  // created hidden
};

inline constexpr int kDialogControlCount = 45;
extern const std::array<ControlSpec, kDialogControlCount> kDialogControls;

// The items of list 1046, from the template's initialisation data, in order.
inline constexpr std::array<const char16_t*, 3> kLanguageListItems = {u"Chinese", u"English",
                                                                      u"Japanese"};

// The control with `id`, or nullptr.
const ControlSpec* FindControl(int id);

}  // namespace kestrava
