// The program's windows as another process sees them: found by class and control ids, read
// and driven with window messages only (the ones whose data the system carries across
// processes).
#pragma once

#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/win32/win32.h"

namespace kestrava::gui {

// Counts a failed check and prints it; the count decides the probe's exit code.
void Expect(bool ok, const std::string& what);
int Failures();

WString FromWide(const std::wstring& text);
std::wstring TextOf(HWND window);
// The main dialog (a message box when `messageBox`) of `process` (0: of any process).
HWND Find(DWORD process, bool messageBox);
HWND WaitFor(DWORD process, bool messageBox, int seconds);
std::vector<std::wstring> Items(HWND combo);
// The address field's dotted text, from its edit children.
std::wstring AddressText(HWND field);
void ExpectText(HWND dialog, int id, const WString& expected);

}  // namespace kestrava::gui
