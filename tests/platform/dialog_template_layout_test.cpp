// The reading of an extended dialog template, on templates written here field by field as the
// format lays them out (the Win32 host's test reads the resource compiler's own one), and the
// placement of dialog units in pixels at a display's DPI.
#include "platform/dialog_template_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrava {
namespace {

// A menu, class or title as the template spells it.
struct Name {
  enum Kind { kNone, kOrdinal, kText } kind = kNone;
  uint16_t ordinal = 0;
  std::u16string text;
};
const Name kNone{};
Name Ordinal(uint16_t value) {
  return Name{Name::kOrdinal, value, {}};
}
Name Text(std::u16string value) {
  return Name{Name::kText, 0, std::move(value)};
}

struct Control {
  int id;
  DialogUnitRect place;
  Name windowClass;
  Name title;
  size_t extraBytes;
};

struct Template {
  DialogUnitRect dialog;
  Name menu, windowClass;
  std::u16string title;
  bool setFont;
  int pointSize;
  std::vector<Control> controls;
};

class Writer {
 public:
  void Word(uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
  }
  void DoubleWord(uint32_t value) {
    Word(static_cast<uint16_t>(value));
    Word(static_cast<uint16_t>(value >> 16));
  }
  void Rect(const DialogUnitRect& r) {
    for (int value : {r.x, r.y, r.width, r.height}) Word(static_cast<uint16_t>(value));
  }
  void String(const std::u16string& text) {
    for (char16_t unit : text) Word(unit);
    Word(0);
  }
  void Named(const Name& name) {
    if (name.kind == Name::kNone) {
      Word(0);
    } else if (name.kind == Name::kOrdinal) {
      Word(0xFFFF);
      Word(name.ordinal);
    } else {
      String(name.text);
    }
  }
  // Filled with 0xCC so that padding read as a field shows.
  void Align() {
    while (bytes.size() % 4 != 0) bytes.push_back(0xCC);
  }
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> Written(const Template& t, uint16_t version = 1, uint16_t signature = 0xFFFF,
                             int extraControlsCounted = 0) {
  Writer w;
  w.Word(version);
  w.Word(signature);
  w.DoubleWord(0x11111111);                              // help id
  w.DoubleWord(0x22222222);                              // extended style
  w.DoubleWord(0x80C80080u | (t.setFont ? 0x40u : 0u));  // style: DS_SETFONT or not
  w.Word(static_cast<uint16_t>(t.controls.size() + extraControlsCounted));
  w.Rect(t.dialog);
  w.Named(t.menu);
  w.Named(t.windowClass);
  w.String(t.title);
  if (t.setFont) {
    w.Word(static_cast<uint16_t>(t.pointSize));
    w.Word(400);
    w.bytes.push_back(0);  // italic
    w.bytes.push_back(1);  // character set
    w.String(u"MS Shell Dlg");
  }
  for (const Control& c : t.controls) {
    w.Align();
    w.DoubleWord(0x33333333);  // help id
    w.DoubleWord(0);           // extended style
    w.DoubleWord(0x50010000);  // style
    w.Rect(c.place);
    w.DoubleWord(static_cast<uint32_t>(c.id));
    w.Named(c.windowClass);
    w.Named(c.title);
    w.Word(static_cast<uint16_t>(c.extraBytes));
    for (size_t i = 0; i < c.extraBytes; ++i) w.bytes.push_back(0xEE);
  }
  return w.bytes;
}

struct ReadRow {
  const char* name;
  Template written;
};

void PrintTo(const ReadRow& row, std::ostream* os) {
  *os << row.name;
}

// clang-format off
const ReadRow kReadRows[] = {
    {"OneButtonWithFont",
     {{0, 0, 274, 242}, kNone, kNone, u"", true, 9,
      {{1019, {196, 192, 72, 19}, Ordinal(0x0080), Text(u"Install Driver"), 0}}}},
    {"NamedMenuClassAndTitle",
     {{10, 20, 186, 95}, Text(u"MENU"), Text(u"OwnClass"), u"Setup", true, 8,
      {{1, {7, 7, 50, 14}, Text(u"SysIPAddress32"), kNone, 0},
       {2, {7, 25, 50, 14}, Ordinal(0x0082), Ordinal(128), 0}}}},
    {"OrdinalMenuAndClass",
     {{0, 0, 100, 60}, Ordinal(7), Ordinal(0x8002), u"x", true, 10,
      {{3, {1, 2, 3, 4}, Ordinal(0x0085), kNone, 0}}}},
    {"ExtraDataOfOddLengths",
     {{0, 0, 100, 60}, kNone, kNone, u"ab", true, 9,
      {{4, {5, 6, 7, 8}, Ordinal(0x0080), Text(u"a"), 3},
       {5, {9, 10, 11, 12}, Ordinal(0x0080), Text(u"bc"), 1},
       {6, {13, 14, 15, 16}, Ordinal(0x0081), kNone, 6}}}},
    {"NoFont",
     {{0, 0, 100, 60}, kNone, kNone, u"", false, 0,
      {{7, {1, 1, 20, 10}, Ordinal(0x0080), kNone, 0}}}},
    {"NegativePlaceAndLargeId",
     {{-5, -6, 100, 60}, kNone, kNone, u"", true, 9,
      {{65535, {-3, -4, 20, 10}, Ordinal(0x0082), kNone, 0},
       {100000, {0, 0, 1, 1}, Ordinal(0x0082), kNone, 0}}}},
    {"NoControls", {{0, 0, 40, 30}, kNone, kNone, u"t", true, 12, {}}},
};
// clang-format on

class DialogTemplateRead : public ::testing::TestWithParam<ReadRow> {};

TEST_P(DialogTemplateRead, GivesWhatWasWritten) {
  const Template& t = GetParam().written;
  const std::vector<uint8_t> bytes = Written(t);
  DialogTemplateLayout layout;
  ASSERT_TRUE(ReadDialogTemplateLayout(bytes.data(), bytes.size(), layout));
  EXPECT_EQ(t.dialog.x, layout.dialog.x);
  EXPECT_EQ(t.dialog.y, layout.dialog.y);
  EXPECT_EQ(t.dialog.width, layout.dialog.width);
  EXPECT_EQ(t.dialog.height, layout.dialog.height);
  EXPECT_EQ(t.pointSize, layout.pointSize);
  ASSERT_EQ(t.controls.size(), layout.items.size());
  for (size_t i = 0; i < t.controls.size(); ++i) {
    const DialogTemplateItem& item = layout.items[i];
    const Control& c = t.controls[i];
    EXPECT_EQ(c.id, item.id) << "control " << i;
    EXPECT_EQ(c.place.x, item.place.x) << "control " << i;
    EXPECT_EQ(c.place.y, item.place.y) << "control " << i;
    EXPECT_EQ(c.place.width, item.place.width) << "control " << i;
    EXPECT_EQ(c.place.height, item.place.height) << "control " << i;
  }
}

// Every template cut short anywhere is refused, and the layout given is left as it was.
TEST_P(DialogTemplateRead, RefusesEveryShorterTemplate) {
  const std::vector<uint8_t> bytes = Written(GetParam().written);
  for (size_t size = 0; size < bytes.size(); ++size) {
    DialogTemplateLayout layout;
    layout.pointSize = -7;
    layout.items.push_back({99, {1, 2, 3, 4}});
    EXPECT_FALSE(ReadDialogTemplateLayout(bytes.data(), size, layout)) << "cut at " << size;
    EXPECT_EQ(-7, layout.pointSize);
    ASSERT_EQ(1u, layout.items.size());
    EXPECT_EQ(99, layout.items[0].id);
  }
}

INSTANTIATE_TEST_SUITE_P(All, DialogTemplateRead, ::testing::ValuesIn(kReadRows),
                         [](const ::testing::TestParamInfo<ReadRow>& row) {
                           return std::string(row.param.name);
                         });

TEST(DialogTemplateReadRefuses, OtherKindsOfTemplate) {
  const Template one = kReadRows[0].written;
  struct Row {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  const Row rows[] = {
      {"version 0", Written(one, 0)},
      {"version 2", Written(one, 2)},
      {"signature of a plain template", Written(one, 1, 0x0000)},
      {"a control more than the data holds", Written(one, 1, 0xFFFF, 1)},
  };
  for (const Row& row : rows) {
    DialogTemplateLayout layout;
    EXPECT_FALSE(ReadDialogTemplateLayout(row.bytes.data(), row.bytes.size(), layout)) << row.name;
  }
  DialogTemplateLayout layout;
  EXPECT_FALSE(ReadDialogTemplateLayout(nullptr, 100, layout));
}

struct PlaceRow {
  DialogUnitRect place;
  DialogBaseUnits first;  // the dialog manager's, when it made the dialog
  DialogBaseUnits atDpi;  // those of the font made for the new DPI (zero: not measured)
  PixelRect expected;     // worked by hand: units * base * dpi / (4 or 8 * base's dpi), rounded
};

// clang-format off
const PlaceRow kPlaceRows[] = {
    // The dialog manager's own placement at the DPI it measured at: MulDiv(x, 7, 4)...
    {{196, 192, 72, 19}, {7, 14, 96}, {0, 0, 96}, {343, 336, 126, 33}},       // 19*14/8 = 33.25
    {{203, 136, 65, 19}, {7, 14, 96}, {7, 14, 96}, {355, 238, 114, 33}},      // 355.25, 113.75
    {{203, 136, 65, 19}, {13, 29, 192}, {0, 0, 192}, {660, 493, 211, 69}},    // 659.75, 68.875
    // Moved to a display of another scale: one rounding of the whole product.
    {{196, 192, 72, 19}, {7, 14, 96}, {0, 0, 192}, {686, 672, 252, 67}},      // 19*14*2/8 = 66.5
    {{203, 136, 65, 19}, {7, 14, 96}, {0, 0, 192}, {711, 476, 228, 67}},      // 710.5, 227.5
    {{196, 192, 72, 19}, {7, 14, 96}, {0, 0, 120}, {429, 420, 158, 42}},      // 428.75, 157.5
    {{196, 192, 72, 19}, {7, 14, 96}, {0, 0, 144}, {515, 504, 189, 50}},      // 514.5, 49.875
    // The font's own units where they are larger: 29 down against 14 * 2 = 28...
    {{196, 192, 72, 19}, {7, 14, 96}, {13, 29, 192}, {686, 696, 252, 69}},    // 192*29/8, 68.875
    // ...across as well: 15 against 7 * 2 = 14...
    {{196, 192, 72, 19}, {7, 14, 96}, {15, 29, 192}, {735, 696, 270, 69}},    // 196*15/4 = 735
    // ...and never where they are smaller or the same.
    {{196, 192, 72, 19}, {7, 14, 96}, {13, 27, 192}, {686, 672, 252, 67}},
    {{196, 192, 72, 19}, {7, 14, 96}, {14, 28, 192}, {686, 672, 252, 67}},
    // And back again: scaled down (29 * 96 / 192 = 14.5 against 14), or the font's own (7 against 6.5).
    {{196, 192, 72, 19}, {13, 29, 192}, {0, 0, 96}, {319, 348, 117, 34}},     // 318.5, 34.4375
    {{196, 192, 72, 19}, {13, 29, 192}, {7, 14, 96}, {343, 348, 126, 34}},
    // Left of and above the client area: rounded away from zero as MulDiv rounds.
    {{-1, -3, 2, 4}, {6, 12, 96}, {0, 0, 96}, {-2, -5, 3, 6}},                // -1.5, -4.5
    // A DPI that is no DPI is taken as 96.
    {{196, 192, 72, 19}, {7, 14, 96}, {0, 0, 0}, {343, 336, 126, 33}},
    {{196, 192, 72, 19}, {7, 14, 0}, {0, 0, 96}, {343, 336, 126, 33}},
};
// clang-format on

class DialogUnitsPlacement : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(DialogUnitsPlacement, IsRoundedOnce) {
  const PlaceRow& row = GetParam();
  const PixelRect got = PlaceAtDpi(row.place, row.first, row.atDpi);
  EXPECT_EQ(row.expected.left, got.left);
  EXPECT_EQ(row.expected.top, got.top);
  EXPECT_EQ(row.expected.width, got.width);
  EXPECT_EQ(row.expected.height, got.height);
}

INSTANTIATE_TEST_SUITE_P(All, DialogUnitsPlacement, ::testing::ValuesIn(kPlaceRows));

}  // namespace
}  // namespace kestrava
