// The running dialog's layout, measured from outside by control id: the right-hand column, the
// controls that overlap or leave the client area, and the dialog moved to a display of another
// scale the way Windows moves it (WM_DPICHANGED with a suggested window rectangle).
#pragma once

#include "platform/win32/win32.h"

namespace kestrava::gui {

// The right-hand column (the port list, "Check Port", "PrintSelftest", "Install Driver", the
// language list, and the baud-rate list and the address field when they are shown) shares one
// left edge and one width; no two visible controls overlap, except a group box and a control it
// frames whole; every visible control lies within the client area. Prints the column's place
// and each check that fails; returns 0 when all hold.
int CheckLayout(HWND dialog);

// Sends the dialog WM_DPICHANGED for `toDpi` with the rectangle Windows suggests for a window
// laid out at `fromDpi`: its top left kept, its size scaled by toDpi / fromDpi. Then the
// window must have the suggested size, every visible control's place and size in the client
// area must have grown at least as much (within rounding; a drop-down list's closed height
// follows its font and only has to grow), and the layout must hold (CheckLayout). Prints, for the
// script to measure the ink of their text in a screenshot, the screen rectangles of the label 1055
// (the template's font) and the remark 1030 (the program's own font) before and after:
//   ink before|after ID LEFT TOP RIGHT BOTTOM
// Returns 0 when all hold.
int CheckDpiChange(HWND dialog, int fromDpi, int toDpi);

}  // namespace kestrava::gui
