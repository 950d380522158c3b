// The right-hand column of dialog 147 in dialog units: the port list above, the baud-rate list
// and the address field that an interface shows below it, "Check Port", "PrintSelftest",
// "Install Driver" and the language list at the bottom share one left edge and one width, and
// keep clear of the group boxes to their left. (Under Wine, program_dialog_dpi measures the
// same in pixels at every DPI, and that every caption fits.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dialog/dialog_template.h"

namespace kestrava {
namespace {

constexpr int kPortList = 1059;
// Top to bottom, after the port list.
constexpr int kBelowThePortList[] = {1053, 1050, 1027, 1047, 1019, 1046};
// The frame of the port list and the Bluetooth device name above the column's buttons.
constexpr int kPortFrame = 1025;
constexpr int kFramed[] = {kPortList, 1062};
// Dialog units between a group box's frame and the next thing: 4 is about 7 pixels at 96 DPI.
constexpr int kClearance = 4;

const ControlSpec& Control(int id) {
  const ControlSpec* found = FindControl(id);
  EXPECT_NE(nullptr, found) << id;
  static const ControlSpec kNone{};
  return found ? *found : kNone;
}

int Right(const ControlSpec& c) {
  return c.x + c.width;
}

class DialogColumn : public ::testing::TestWithParam<int> {};

TEST_P(DialogColumn, SharesTheLeftEdgeAndWidthOfThePortList) {
  const ControlSpec& column = Control(kPortList);
  const ControlSpec& control = Control(GetParam());
  EXPECT_EQ(column.x, control.x) << "control " << control.id;
  EXPECT_EQ(column.width, control.width) << "control " << control.id;
}

INSTANTIATE_TEST_SUITE_P(All, DialogColumn, ::testing::ValuesIn(kBelowThePortList),
                         [](const ::testing::TestParamInfo<int>& row) {
                           return "Control" + std::to_string(row.param);
                         });

TEST(DialogColumnPlace, KeepsClearOfEveryGroupBoxToItsLeft) {
  const ControlSpec& column = Control(kPortList);
  int boxes = 0;
  for (const ControlSpec& box : kDialogControls) {
    if (box.kind != ControlKind::kGroupBox || box.hidden || box.x >= column.x) continue;
    if (box.id == kPortFrame) continue;
    ++boxes;
    EXPECT_LE(Right(box) + kClearance, column.x) << "group box " << box.id;
  }
  EXPECT_EQ(2, boxes) << "the operating systems' and the models' group boxes";
  // And the dialog's right edge.
  EXPECT_LE(Right(column) + kClearance, kDialogWidth);
}

TEST(DialogColumnPlace, ThePortFrameHoldsWhatItFramesWithinItsEdges) {
  const ControlSpec& frame = Control(kPortFrame);
  for (int id : kFramed) {
    const ControlSpec& framed = Control(id);
    EXPECT_LT(frame.x, framed.x) << id;
    EXPECT_LT(Right(framed), Right(frame)) << id;
    EXPECT_LT(frame.y, framed.y) << id;
    // A drop-down list's height is its open list's.
    EXPECT_LT(framed.y + framed.height, frame.y + frame.height) << id;
  }
  EXPECT_LE(Right(frame), kDialogWidth - kClearance);
  for (const ControlSpec& box : kDialogControls) {
    if (box.kind == ControlKind::kGroupBox && !box.hidden && box.id != kPortFrame) {
      EXPECT_LE(Right(box) + kClearance, frame.x) << "group box " << box.id;
    }
  }
}

}  // namespace
}  // namespace kestrava
