// The layout of a dialog as its template states it, and its place in pixels at a display's DPI.
//
// A DIALOGEX statement is compiled into an extended dialog template (DLGTEMPLATEEX followed by
// one DLGITEMTEMPLATEEX per control, each on a 4-byte boundary). Its sizes are dialog units: a
// horizontal unit is a quarter of the dialog font's average character width, a vertical one an
// eighth of its height, both in pixels (the dialog base units). The dialog manager places each
// control once, at creation, for the DPI the dialog was created at; a window that moves to a
// display of another scale is placed again from the same dialog units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrava {

struct DialogUnitRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct DialogTemplateItem {
  int id = 0;
  DialogUnitRect place;
};

struct DialogTemplateLayout {
  DialogUnitRect dialog;  // x and y where the template puts the window, the size its client area's
  int pointSize = 0;      // of the template's font; 0 when the template names none (no DS_SETFONT)
  std::vector<DialogTemplateItem> items;  // in template order
};

// Reads the layout of an extended dialog template. Returns false and leaves `out` untouched when
// `data` is not a whole one: another version or signature, or a string, an ordinal, a control or
// a control's extra data that would run past `size`.
bool ReadDialogTemplateLayout(const uint8_t* data, size_t size, DialogTemplateLayout& out);

// Dialog base units in pixels, and the DPI they were measured at.
struct DialogBaseUnits {
  int x = 0;
  int y = 0;
  int dpi = 96;
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Where `place` goes at atDpi.dpi. `first` are the base units the dialog manager placed the
// controls with, `atDpi` those of the template's font made for the new DPI (zero when unknown).
// Along each axis the larger of the two rules: the first layout scaled by the change of DPI, so
// that the dialog fills a window scaled the same way (the rectangle Windows suggests), or the
// font's own base units, so that every text has the room the dialog manager would give it at
// that DPI (a font's height does not grow in proportion: 9 points are 14 pixels high at 96
// DPI and 29 at 192). Position and size are each rounded once, half away from zero, so that at
// first.dpi the answer is the dialog manager's own placement (MulDiv(x, first.x, 4) and the
// like), and a window that comes back to its first DPI gets back its first layout. A DPI that is
// not positive is taken as 96.
PixelRect PlaceAtDpi(const DialogUnitRect& place, const DialogBaseUnits& first,
                     const DialogBaseUnits& atDpi);

}  // namespace kestrava
