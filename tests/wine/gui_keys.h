// Key presses to the running dialog, as the user makes them: the dialog is brought to the
// front and the keys go through the system's input (SendInput), so that the dialog manager's
// own navigation (Tab, the arrows in a radio group, Enter, Escape) is what moves.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace kestrava::gui {

// Takes each step in turn, with a pause after each key, and prints the control that has the
// focus after it:
//   KEY[@ID]         presses the named key (tab, shift-tab, up, down, left, right, space, enter,
//                    escape); with @ID, the focus must then be on control ID
//   down-until=TEXT  presses down until the focused control shows TEXT (a drop-down list's
//                    chosen item, a radio's caption), at most 30 times
// Returns 0 when every step did what it should, 1 when one did not, 2 for a name it does not
// know.
int PressKeys(HWND dialog, const std::vector<std::wstring>& keys);

}  // namespace kestrava::gui
