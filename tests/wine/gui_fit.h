// Whether every text of the running dialog fits its control, measured from outside with the
// control's own font: the captions of static texts, push buttons, radio buttons, check boxes
// and group boxes, the Bluetooth name box holding a paired printer's name and address, and the
// address field's four parts holding "255.255.255.255".
#pragma once

#include "platform/win32/win32.h"

namespace kestrava::gui {

// Puts a printer's name and address in the Bluetooth name box, shows the address field with
// 255.255.255.255 (both stay so, for a screenshot), and checks every visible control with the
// fonts made for `dpi` (the display's when 0). Prints each control that clips its text and the
// DPI; returns 0 when none does.
int CheckFit(HWND dialog, int dpi);

}  // namespace kestrava::gui
