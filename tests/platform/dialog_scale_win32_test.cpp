// The Win32 dialog host when the dialog moves to a display of another scale: WM_DPICHANGED sent
// to the real dialog 147 (from this test program's resources) in the host's own process, as
// Windows sends it, with the rectangle Windows suggests. The layout measured from outside is
// program_dialog_dpi's (tests/wine/dpi_test.sh); here what only the process itself can see: the
// fonts each control was given and whether the ones before were deleted, and the resource
// compiler's template read back as the control table states it.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/dialog/dialog_template.h"
#include "platform/dialog_template_layout.h"
#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/win32.h"

namespace kestrava {
namespace {

constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED
constexpr int kEnded = 42;
constexpr int kRemark = 1030;  // given a font of the program's own
const FontSpec kOwnFont{u"Arial", 12, 700, true};
constexpr int kTemplatePoints = 9;

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter) {
  if (!GetDlgItem(window, 1059)) return TRUE;
  *reinterpret_cast<HWND*>(parameter) = window;
  return FALSE;
}

HWND DialogOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Calls `body` with the dialog window once it is shown, then ends it.
class WhenShown final : public DialogEvents {
 public:
  WhenShown(DialogHost& host, std::function<void(HWND)> body)
      : host_(host), body_(std::move(body)) {}
  bool OnInitDialog() override {
    host_.SetControlFont(kRemark, kOwnFont);
    host_.StartTimer(1, 50);
    return true;
  }
  void OnTimer(unsigned timerId) override {
    host_.StopTimer(timerId);
    ran = true;
    body_(DialogOfThisThread());
    host_.EndDialog(kEnded);
  }
  void OnCommand(int, int) override {}
  void OnUserMessage(uintptr_t, intptr_t) override {}
  void OnOk() override {}
  void OnCancel() override {}

  bool ran = false;

 private:
  DialogHost& host_;
  std::function<void(HWND)> body_;
};

void InsideShownDialog(const std::function<void(DialogHost&, HWND)>& body) {
  Win32DialogHost host;
  WhenShown events(host, [&](HWND dialog) {
    ASSERT_NE(nullptr, dialog);
    body(host, dialog);
  });
  EXPECT_EQ(kEnded, host.RunModal(events));
  EXPECT_TRUE(events.ran);
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

LONG HeightOf(HFONT font) {
  LOGFONTW description{};
  return GetObjectW(font, sizeof(description), &description) ? description.lfHeight : 0;
}

// A font's height as a LOGFONT gives it; where that is 0 (the mapper's default), the cell height
// the mapper chose.
LONG SizeOf(HFONT font) {
  if (const LONG height = HeightOf(font)) return height;
  HDC context = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(context, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(context, &metrics);
  SelectObject(context, previous);
  ReleaseDC(nullptr, context);
  return metrics.tmHeight;
}

RECT PlaceOf(HWND dialog, int id) {
  RECT place{};
  GetWindowRect(GetDlgItem(dialog, id), &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

// As Windows suggests it: the window's top left kept, its size scaled by the change of DPI.
RECT Suggested(HWND dialog, int from, int to) {
  RECT window{};
  GetWindowRect(dialog, &window);
  return RECT{window.left, window.top, window.left + MulDiv(window.right - window.left, to, from),
              window.top + MulDiv(window.bottom - window.top, to, from)};
}

TEST(DialogScaleWin32, TheCompiledTemplateReadsAsTheControlTable) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kDialogTemplateId), RT_DIALOG);
  ASSERT_NE(nullptr, found);
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
  DialogTemplateLayout layout;
  ASSERT_TRUE(ReadDialogTemplateLayout(data, SizeofResource(module, found), layout));
  EXPECT_EQ(kDialogWidth, layout.dialog.width);
  EXPECT_EQ(kDialogHeight, layout.dialog.height);
  EXPECT_EQ(kTemplatePoints, layout.pointSize);
  ASSERT_EQ(kDialogControls.size(), layout.items.size());
  for (size_t i = 0; i < layout.items.size(); ++i) {
    const ControlSpec& c = kDialogControls[i];
    const DialogTemplateItem& item = layout.items[i];
    EXPECT_EQ(c.id, item.id);
    EXPECT_TRUE(c.x == item.place.x && c.y == item.place.y && c.width == item.place.width &&
                c.height == item.place.height)
        << c.id;
  }
}

struct Moves {
  const char* name;
  std::vector<int> dpis;  // one WM_DPICHANGED each, from the display's DPI on
};

void PrintTo(const Moves& moves, std::ostream* os) {
  *os << moves.name;
}

const Moves kMoves[] = {
    {"ToTwice", {192}},          {"ToOneAndAQuarter", {120}}, {"ToOneAndAHalf", {144}},
    {"UpTwiceOver", {144, 192}}, {"ThereAndBack", {192, 0}},  // 0: the display's own DPI
    {"ToTheSameDpi", {0}},
};

class DialogScaleMoves : public ::testing::TestWithParam<Moves> {};

// After each move the window has the suggested size, every control has the template's font at
// the new DPI (the remark its own font at it), the fonts of the DPI before are deleted, the
// dialog manager's own is not; back at the first DPI every control is where it was.
TEST_P(DialogScaleMoves, FollowTheDisplay) {
  InsideShownDialog([](DialogHost& host, HWND dialog) {
    const int first = ScreenDpi();
    std::map<int, RECT> firstPlaces;
    for (const ControlSpec& c : kDialogControls) firstPlaces[c.id] = PlaceOf(dialog, c.id);
    const HFONT managersFont = FontOf(dialog);
    // The address field's parts, which the field gives a font of its own.
    std::vector<std::pair<HWND, LONG>> parts;
    for (HWND part = GetWindow(GetDlgItem(dialog, 1050), GW_CHILD); part;
         part = GetWindow(part, GW_HWNDNEXT)) {
      parts.emplace_back(part, SizeOf(FontOf(part)));
    }
    std::vector<HFONT> previous = {FontOf(GetDlgItem(dialog, 1019)),
                                   FontOf(GetDlgItem(dialog, kRemark))};
    int dpi = first;
    for (int to : GetParam().dpis) {
      if (to == 0) to = first;
      SCOPED_TRACE(std::to_string(dpi) + " to " + std::to_string(to) + " DPI");
      const RECT suggested = Suggested(dialog, dpi, to);
      SendMessageW(dialog, kDpiChanged, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
      RECT window{};
      GetWindowRect(dialog, &window);
      EXPECT_TRUE(Same(suggested, window)) << Text(window) << " for " << Text(suggested);
      for (const ControlSpec& c : kDialogControls) {
        const HFONT font = FontOf(GetDlgItem(dialog, c.id));
        if (!font) continue;  // the address field answers no WM_GETFONT under Wine
        const LONG expected =
            c.id == kRemark ? MulDiv(kOwnFont.height, to, 96) : -MulDiv(kTemplatePoints, to, 72);
        EXPECT_EQ(expected, HeightOf(font)) << "font of " << c.id;
      }
      for (const auto& [part, firstSize] : parts) {
        EXPECT_EQ(MulDiv(firstSize, to, first), HeightOf(FontOf(part))) << "an address part";
      }
      if (to != dpi) {
        for (HFONT before : previous) {
          if (before == managersFont) {
            EXPECT_NE(0u, GetObjectType(before)) << "the dialog manager's font was deleted";
          } else {
            EXPECT_EQ(0u, GetObjectType(before)) << "a font of " << dpi << " DPI is left";
          }
        }
      }
      previous = {FontOf(GetDlgItem(dialog, 1019)), FontOf(GetDlgItem(dialog, kRemark))};
      dpi = to;
    }
    // A font given after the move is made for the DPI the dialog is at now.
    host.SetControlFont(1039, kOwnFont);
    EXPECT_EQ(MulDiv(kOwnFont.height, dpi, 96), HeightOf(FontOf(GetDlgItem(dialog, 1039))));
    if (dpi != first) return;
    for (const ControlSpec& c : kDialogControls) {
      const RECT now = PlaceOf(dialog, c.id);
      EXPECT_TRUE(Same(firstPlaces[c.id], now))
          << c.id << " at " << Text(now) << ", first at " << Text(firstPlaces[c.id]);
    }
  });
}

INSTANTIATE_TEST_SUITE_P(All, DialogScaleMoves, ::testing::ValuesIn(kMoves),
                         [](const ::testing::TestParamInfo<Moves>& row) {
                           return std::string(row.param.name);
                         });

// A message without a rectangle or a DPI changes nothing.
TEST(DialogScaleWin32, IgnoresAChangeWithoutRectangleOrDpi) {
  InsideShownDialog([](DialogHost&, HWND dialog) {
    RECT before{};
    GetWindowRect(dialog, &before);
    const RECT place = PlaceOf(dialog, 1019);
    const RECT suggested = Suggested(dialog, 96, 192);
    SendMessageW(dialog, kDpiChanged, MAKEWPARAM(192, 192), 0);
    SendMessageW(dialog, kDpiChanged, 0, reinterpret_cast<LPARAM>(&suggested));
    RECT after{};
    GetWindowRect(dialog, &after);
    EXPECT_TRUE(Same(before, after)) << Text(after);
    EXPECT_TRUE(Same(place, PlaceOf(dialog, 1019)));
  });
}

}  // namespace
}  // namespace kestrava
