#include "app/dialog/dialog_template.h"

namespace kestrava {

namespace {
constexpr ControlKind S = ControlKind::kStatic;
constexpr ControlKind G = ControlKind::kGroupBox;
constexpr ControlKind R = ControlKind::kRadio;
constexpr ControlKind C = ControlKind::kCheckBox;
constexpr ControlKind B = ControlKind::kButton;
constexpr ControlKind L = ControlKind::kDropList;
constexpr ControlKind I = ControlKind::kIpAddress;
constexpr ControlKind P = ControlKind::kBitmap;
}  // namespace

// clang-format off
const std::array<ControlSpec, kDialogControlCount> kDialogControls = {{
    // id    kind  x    y    w    h   text                                   group  hidden
    {1002, R, 103,  66,  64,   9, u"Windows 10",                             true,  false},
    {1007, R, 103,  54,  66,   9, u"Windows 8/8.1",                          false, false},
    {1005, R, 103,  42,  64,   9, u"Windows Vista",                          false, false},
    {1003, R,  22,  42,  56,   9, u"Windows XP",                             false, false},
    {1004, R,  22,  54,  64,   9, u"Windows 2003",                           false, false},
    {1006, R,  22,  66,  64,   9, u"Windows 7",                              false, false},
    {1042, R,  22,  80,  55,  10, u"Windows 11",                             false, false},
    {1014, R,  22, 156,  76,   9, u"RT-80C",                                 true,  false},
    {1013, R, 103, 156,  57,   9, u"RT-80",                                  false, false},
    {1012, R,  22, 172,  55,   9, u"RT-58C",                                 false, false},
    {1011, R, 103, 172,  51,   9, u"RT-58",                                  false, false},
    {1017, R,  22, 188,  45,   9, u"RT-76C",                                 false, false},
    {1016, R, 103, 188,  71,   9, u"RT-76",                                  false, false},
    {1043, R,  22, 204,  60,   9, u"Label 1",                                false, true},
    {1045, R, 103, 204,  60,   9, u"Label 2",                                false, true},
    {1058, R,  22, 214,  60,   9, u"Label 3",                                false, true},
    {1015, R, 103, 214,  60,   9, u"RT-90",                                  false, true},
    {1010, R,  22, 224,  60,   9, u"Reserved",                               false, true},
    {1009, R, 103, 224,  60,   9, u"Reserved",                               true,  true},
    {1034, R,  22, 116,  29,  10, u"USB",                                    true,  false},
    {1048, R,  61, 116,  32,  10, u"COM",                                    false, false},
    {1049, R, 103, 116,  29,  10, u"LAN",                                    false, false},
    {1057, R, 147, 116,  28,  10, u"BLE",                                    false, false},
    {1035, R, 147, 104,  40,  10, u"Other",                                  false, true},
    {1024, G,   7, 128, 183,  92, u"",                                       false, false},
    {1008, S,   7,   4, 260,  18, u"Static",                                 true,  false},
    {1022, G,   7,  28, 183,  69, u"选择您的操作系统",                        false, false},
    {1023, G, 194,  98,  76,  20, u"",                                       false, true},
    {1018, C,  13, 225, 176,   9, u"是否设置成默认打印机",                    false, false},
    {1019, B, 196, 192,  72,  19, u"开始安装",                                false, false},
    {1020, B, 196, 100,  72,  12, u"Button",                                 false, true},
    {1027, B, 196, 136,  72,  19, u"检测端口",                                false, false},
    {1030, S,  13, 208, 171,   8, u"*说明：后缀字母“C”表示带切刀机型",        false, false},
    {1033, S,  13,  99, 116,   8, u"打印机接口 :",                            false, false},
    {1039, S, 196,  90,  72,   8, u"Static",                                 false, true},
    {1025, G, 194,  28,  76,  68, u"Port Check",                             false, false},
    {1046, L, 196, 222,  72,  30, nullptr,                                   false, false},
    {1050, I, 196, 116,  72,  10, nullptr,                                   false, true},
    {1056, S, 196,  98,  72,   8, u"Static",                                 false, true},
    {1055, S,  13, 137,  99,   8, u"小票打印机",                              false, false},
    {1053, L, 196, 114,  72,  23, nullptr,                                   false, true},
    {1059, L, 196,  44,  72,  47, nullptr,                                   false, false},
    {1062, S, 196,  64,  72,  23, u"Static",                                 false, false},
    {1047, B, 196, 164,  72,  19, u"打印自检页",                              false, false},
    {1072, P, 160, 232,  20,  10, nullptr,                                   false, true},
}};
// clang-format on

const ControlSpec* FindControl(int id) {
  for (const ControlSpec& control : kDialogControls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

}  // namespace kestrava
