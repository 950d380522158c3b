// The dialog of Win32DialogHost at its display's scale: the window's DPI, the fonts the host
// makes for it, and the layout again when the window moves to a display of another scale.
//
// The dialog manager lays the template out once, for the DPI the window is made at. When the
// window moves to a display of another scale, Windows sends WM_DPICHANGED with the new DPI and
// a suggested window rectangle (the same physical size at the new scale). Per-monitor v1
// (Windows 8.1 to 10 1607) does nothing more for a dialog, per-monitor v2 (10 1703 and later)
// lays a dialog out again in its own way, and Wine does nothing. The host does it alike on all
// of them and switches the dialog manager's own re-layout off where there is one, so that the
// two never fight: the window takes the suggested rectangle, the template's font and the
// program's own fonts are made again for the new DPI, and each control goes to its template
// place in dialog units at the new DPI (PlaceAtDpi: the first layout scaled with the window, or
// the new font's own base units where the font grew more).
#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/win32/dialog_state_win32.h"
#include "platform/win32/system_library.h"

namespace kestrava {

namespace {

constexpr int kDefaultDpi = 96;  // the DPI that font heights are given at
constexpr int kPointsPerInch = 72;
// DDC_DISABLE_ALL of DIALOG_DPI_CHANGE_BEHAVIORS: the dialog manager answers neither
// WM_GETDPISCALEDSIZE (so the suggested rectangle is the window's scaled by the change of DPI,
// as the host's layout is) nor WM_DPICHANGED.
constexpr int kDialogManagerScalingOff = 0x0001;
constexpr UINT kPlaceOnly = SWP_NOZORDER | SWP_NOACTIVATE;

// The template's dialog units, from the program file's resources.
bool ReadTemplateLayout(DialogTemplateLayout& layout) {
  HINSTANCE module = win32::ProgramModule();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(win32::kDialogTemplate), RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  return data && ReadDialogTemplateLayout(data, SizeofResource(module, found), layout);
}

// The template's font as the dialog manager made it, at `dpi`.
win32::ScopedGdiObject TemplateFontAt(HWND window, int pointSize, UINT dpi) {
  LOGFONTW description{};
  const auto current = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  if (pointSize <= 0 || !current || GetObjectW(current, sizeof(description), &description) == 0) {
    return win32::ScopedGdiObject();
  }
  description.lfHeight = -MulDiv(pointSize, static_cast<int>(dpi), kPointsPerInch);
  description.lfWidth = 0;
  return win32::ScopedGdiObject(CreateFontIndirectW(&description));
}

// The dialog base units of `font` at `dpi`, measured as the dialog manager measures them: the
// average width of the 52 Latin letters, rounded, and the font's height. Zero when there is no
// font.
DialogBaseUnits BaseUnitsOf(HWND window, HFONT font, UINT dpi) {
  DialogBaseUnits units{0, 0, static_cast<int>(dpi)};
  HDC context = font ? GetDC(window) : nullptr;
  if (!context) return units;
  HGDIOBJ previous = SelectObject(context, font);
  static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE letters{};
  TEXTMETRICW metrics{};
  if (GetTextExtentPoint32W(context, kLetters, 52, &letters) &&
      GetTextMetricsW(context, &metrics)) {
    units.x = static_cast<int>((letters.cx / 26 + 1) / 2);
    units.y = static_cast<int>(metrics.tmHeight);
  }
  SelectObject(context, previous);
  ReleaseDC(window, context);
  return units;
}

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

}  // namespace

UINT Win32DialogHost::State::WindowDpi() const {
  // GetDpiForWindow: Windows 10 1607 and later, where a window's DPI can differ from the
  // system's; before it the screen's, which is the process's own.
  using DpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto forWindow = win32::LoadedFunction<DpiForWindowFn>(L"user32", "GetDpiForWindow");
  HWND window = dialog.load();
  if (forWindow && window) {
    if (const UINT windowDpi = forWindow(window)) return windowDpi;
  }
  HDC screen = GetDC(window);
  const int screenDpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(window, screen);
  return screenDpi > 0 ? static_cast<UINT>(screenDpi) : UINT{kDefaultDpi};
}

HFONT Win32DialogHost::State::Font(const FontSpec& wanted) {
  // A height is in pixels at 96 DPI, and the font is made for the dialog's own DPI.
  for (const auto& [made, madeDpi, font] : fonts) {
    if (made.face == wanted.face && made.height == wanted.height && made.weight == wanted.weight &&
        made.underline == wanted.underline && madeDpi == dpi) {
      return static_cast<HFONT>(font.Get());
    }
  }
  LOGFONTW description{};
  description.lfHeight = MulDiv(wanted.height, static_cast<int>(dpi), kDefaultDpi);
  description.lfWeight = wanted.weight;
  description.lfUnderline = wanted.underline ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  const size_t length = std::min<size_t>(wanted.face.size(), LF_FACESIZE - 1);
  std::memcpy(description.lfFaceName, wanted.face.data(), length * sizeof(wchar_t));
  win32::ScopedGdiObject font(CreateFontIndirectW(&description));
  if (!font) return nullptr;
  fonts.emplace_back(wanted, dpi, std::move(font));
  return static_cast<HFONT>(std::get<2>(fonts.back()).Get());
}

void Win32DialogHost::State::PrepareScaling(HWND window) {
  dpi = WindowDpi();
  // The base units the dialog manager placed the controls with: 4 by 8 dialog units.
  RECT units{0, 0, 4, 8};
  MapDialogRect(window, &units);
  baseUnits = DialogBaseUnits{units.right, units.bottom, static_cast<int>(dpi)};
  layout = DialogTemplateLayout{};
  ReadTemplateLayout(layout);
  // Windows 10 1703 and later; elsewhere the dialog manager has no re-layout of its own.
  using DpiChangeBehaviourFn = BOOL(WINAPI*)(HWND, int, int);
  static const auto setBehaviour =
      win32::LoadedFunction<DpiChangeBehaviourFn>(L"user32", "SetDialogDpiChangeBehavior");
  if (setBehaviour) setBehaviour(window, kDialogManagerScalingOff, kDialogManagerScalingOff);
}

// The windows a control made inside itself (the address field's four parts) may be laid out by
// it only when it is made, with a font of its own choosing: they keep their share of it, and
// their font is made again for the new DPI.
void Win32DialogHost::State::ScaleInnerWindows(
    HWND control, SIZE before, UINT newDpi,
    std::vector<std::pair<LOGFONTW, win32::ScopedGdiObject>>& made) {
  const SIZE after = ClientSize(control);
  if (before.cx <= 0 || before.cy <= 0) return;
  for (HWND inner = GetWindow(control, GW_CHILD); inner; inner = GetWindow(inner, GW_HWNDNEXT)) {
    RECT place{};
    GetWindowRect(inner, &place);
    MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&place), 2);
    const auto across = [&](LONG x) { return MulDiv(x, after.cx, before.cx); };
    const auto down = [&](LONG y) { return MulDiv(y, after.cy, before.cy); };
    SetWindowPos(inner, nullptr, across(place.left), down(place.top),
                 across(place.right) - across(place.left), down(place.bottom) - down(place.top),
                 kPlaceOnly);
    auto first = innerFirstFonts.find(inner);
    if (first == innerFirstFonts.end()) {
      LOGFONTW description{};
      const auto current = reinterpret_cast<HFONT>(SendMessageW(inner, WM_GETFONT, 0, 0));
      // The system font (no font given) is left as it is.
      if (!current || GetObjectW(current, sizeof(description), &description) == 0) continue;
      first = innerFirstFonts.emplace(inner, description).first;
    }
    LOGFONTW scaled = first->second;
    scaled.lfHeight = MulDiv(scaled.lfHeight, static_cast<int>(newDpi), baseUnits.dpi);
    scaled.lfWidth = MulDiv(scaled.lfWidth, static_cast<int>(newDpi), baseUnits.dpi);
    auto font = std::find_if(made.begin(), made.end(), [&scaled](const auto& one) {
      return std::memcmp(&one.first, &scaled, sizeof(scaled)) == 0;
    });
    if (font == made.end()) {
      made.emplace_back(scaled, win32::ScopedGdiObject(CreateFontIndirectW(&scaled)));
      font = std::prev(made.end());
    }
    if (font->second)
      SendMessageW(inner, WM_SETFONT, reinterpret_cast<WPARAM>(font->second.Get()), FALSE);
  }
}

void Win32DialogHost::State::Rescale(HWND window, UINT newDpi, const RECT& suggested) {
  win32::ScopedGdiObject font = TemplateFontAt(window, layout.pointSize, newDpi);
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, kPlaceOnly);
  dpi = newDpi;
  const DialogBaseUnits fontUnits = BaseUnitsOf(window, static_cast<HFONT>(font.Get()), newDpi);
  std::vector<std::pair<LOGFONTW, win32::ScopedGdiObject>> madeInside;
  for (const DialogTemplateItem& item : layout.items) {
    HWND control = GetDlgItem(window, item.id);
    if (!control) continue;
    const SIZE before = ClientSize(control);
    const PixelRect place = PlaceAtDpi(item.place, baseUnits, fontUnits);
    SetWindowPos(control, nullptr, place.left, place.top, place.width, place.height, kPlaceOnly);
    // The program's own fonts follow below; a control without one takes the template's.
    const bool ownFont = controlFonts.count(item.id) > 0;
    HFONT controlFont = ownFont ? nullptr : static_cast<HFONT>(font.Get());
    ScaleInnerWindows(control, before, newDpi, madeInside);
    if (controlFont)
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont), FALSE);
  }
  for (const auto& [id, given] : controlFonts) {
    if (HFONT made = Font(given)) {
      SendMessageW(GetDlgItem(window, id), WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
    }
  }
  // No control uses the fonts made for the DPI before any more (without a new template font,
  // the controls keep the one they had).
  if (font) templateFont = std::move(font);
  innerFonts = std::move(madeInside);
  fonts.erase(std::remove_if(fonts.begin(), fonts.end(),
                             [this](const auto& made) { return std::get<1>(made) != dpi; }),
              fonts.end());
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace kestrava
