#include "tests/wine/gui_fit.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "tests/wine/gui_windows.h"

namespace kestrava::gui {

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// Stands for the address field's parts in FontOf.
constexpr int kAddressPart = -1;

// The control's font as the program made it. A font handle is the program's own and means
// nothing in this process, so the font is made again here from what the program asks for: the
// template's "MS Shell Dlg" at 9 points, and for the remark and the hidden port text Arial bold
// underlined at 12 pixels (at 96 DPI), each at `dpi`. Wine's address field gives its parts a
// font of its own: the icon titles' with the face of the variable-pitch system font, at the
// display's DPI.
HFONT FontOf(int id, int dpi) {
  LOGFONTW font{};
  font.lfCharSet = DEFAULT_CHARSET;
  if (id == kAddressPart) {
    LOGFONTW face{};
    GetObjectW(GetStockObject(ANSI_VAR_FONT), sizeof(face), &face);
    SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(font), &font, 0);
    lstrcpyW(font.lfFaceName, face.lfFaceName);
    font.lfHeight = MulDiv(font.lfHeight, dpi, ScreenDpi());
  } else if (id == 1030 || id == 1039) {
    font.lfHeight = MulDiv(12, dpi, 96);
    font.lfWeight = FW_BOLD;
    font.lfUnderline = TRUE;
    lstrcpyW(font.lfFaceName, L"Arial");
  } else {
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfWeight = FW_NORMAL;
    lstrcpyW(font.lfFaceName, L"MS Shell Dlg");
  }
  return CreateFontIndirectW(&font);
}

// The width and height `text` takes in the font of control `id` at `dpi`: one line, or wrapped
// at `wrapWidth`.
SIZE Extent(int id, int dpi, const std::wstring& text, int wrapWidth) {
  HDC context = GetDC(nullptr);
  HFONT font = FontOf(id, dpi);
  HGDIOBJ previous = SelectObject(context, font);
  SIZE size{};
  if (wrapWidth > 0) {
    RECT area{0, 0, wrapWidth, 0};
    DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    size.cx = area.right;
    size.cy = area.bottom;
  } else {
    GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &size);
  }
  SelectObject(context, previous);
  DeleteObject(font);
  ReleaseDC(nullptr, context);
  return size;
}

// The text with its "&" mnemonic marks taken out, as the control draws it.
std::wstring Drawn(std::wstring text) {
  for (size_t at = 0; (at = text.find(L'&', at)) != std::wstring::npos;) text.erase(at, 1);
  return text;
}

struct Fit {
  HWND dialog;
  int dpi;
  int checked = 0;
};

BOOL CALLBACK CheckControl(HWND control, LPARAM parameter) {
  auto* fit = reinterpret_cast<Fit*>(parameter);
  if (!IsWindowVisible(control)) return TRUE;
  const std::wstring kind = ClassOf(control);
  const std::wstring text = Drawn(TextOf(control));
  if (text.empty() || (kind != L"Static" && kind != L"Button")) return TRUE;
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  RECT client{};
  GetClientRect(control, &client);
  const int width = client.right;
  const int height = client.bottom;
  const int id = GetDlgCtrlID(control);
  const int box = GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the check mark and its gap
  int room = width;
  bool fits = true;
  SIZE need{};
  if (kind == L"Static") {
    if ((style & SS_TYPEMASK) == SS_BITMAP || (style & SS_TYPEMASK) == SS_ICON) return TRUE;
    // A static text wraps at its words: all of it must fit its height.
    need = Extent(id, fit->dpi, text, width);
    fits = need.cy <= height && need.cx <= width;
  } else {
    const LONG type = style & BS_TYPEMASK;
    need = Extent(id, fit->dpi, text, 0);
    if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON || type == BS_AUTOCHECKBOX ||
        type == BS_CHECKBOX) {
      room = width - box;
    } else if (type == BS_GROUPBOX) {
      room = width - 2 * need.cy;  // the frame's corners either side of the caption
    } else {
      room = width - 2 * GetSystemMetrics(SM_CXEDGE) - 4;
    }
    fits = need.cx <= room && need.cy <= height;
  }
  ++fit->checked;
  if (!fits) {
    Expect(false, "control " + std::to_string(id) + " clips \"" + Utf16ToUtf8(FromWide(text)) +
                      "\": needs " + std::to_string(need.cx) + "x" + std::to_string(need.cy) +
                      ", has " + std::to_string(room) + "x" + std::to_string(height));
  }
  return TRUE;
}

BOOL CALLBACK CheckAddressPart(HWND part, LPARAM parameter) {
  auto* fit = reinterpret_cast<Fit*>(parameter);
  ++fit->checked;
  // The room an edit leaves its text within its margins (EM_GETRECT, which the system carries
  // from one process to another).
  RECT room{};
  SendMessageW(part, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
  const int width = room.right - room.left;
  const std::wstring text = TextOf(part);
  const SIZE need = Extent(kAddressPart, fit->dpi, text, 0);
  Expect(text == L"255", "an address part shows \"" + Utf16ToUtf8(FromWide(text)) + "\"");
  Expect(need.cx <= width, "an address part with " + std::to_string(width) +
                               " pixels for its text clips \"255\" (" + std::to_string(need.cx) +
                               ")");
  return TRUE;
}

}  // namespace

int CheckFit(HWND dialog, int dpi) {
  if (dpi <= 0) dpi = ScreenDpi();
  // The box shows a paired printer as the Bluetooth road lists it: the longest model name.
  SendDlgItemMessageW(dialog, 1062, WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(L"RT-80C Printer\r\n001122AABBCC"));
  Fit fit{dialog, dpi};
  EnumChildWindows(dialog, CheckControl, reinterpret_cast<LPARAM>(&fit));
  std::printf("checked %d texts at %d dpi\n", fit.checked, dpi);
  // The widest address.
  HWND field = GetDlgItem(dialog, 1050);
  ShowWindow(field, SW_SHOWNA);
  SendMessageW(field, IPM_SETADDRESS, 0, MAKEIPADDRESS(255, 255, 255, 255));
  Fit parts{dialog, dpi};
  EnumChildWindows(field, CheckAddressPart, reinterpret_cast<LPARAM>(&parts));
  Expect(parts.checked == 4, "the address field has " + std::to_string(parts.checked) + " parts");
  return Failures() == 0 ? 0 : 1;
}

}  // namespace kestrava::gui
