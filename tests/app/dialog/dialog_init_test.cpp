#include <gtest/gtest.h>

#include "app/dialog/captions.h"
#include "app/dialog/dialog_template.h"
#include "tests/app/dialog/dialog_fixture.h"

namespace kestrava {
namespace {

struct OsRow {
  VersionInfo version;
  const char16_t* name;
  int radio;    // position in the OS group
  int radioId;  // the checked control
};

class OsRadioTable : public DialogFixture, public ::testing::WithParamInterface<OsRow> {};

TEST_P(OsRadioTable, ChecksTheRadioOfTheDetectedRelease) {
  system.version = GetParam().version;
  ConfingDialog& d = Open();
  EXPECT_EQ(GetParam().name, d.osName);
  EXPECT_EQ(GetParam().radio, d.osChoice);
  EXPECT_TRUE(host.Find(GetParam().radioId)->checked);
  EXPECT_EQ(FormatText(u"You are using %s x64 OS.\nPlease select %s to install.",
                       {GetParam().name, GetParam().name}),
            Text(control::kOsMessage));
}

INSTANTIATE_TEST_SUITE_P(AllReleases, OsRadioTable,
                         ::testing::Values(OsRow{{5, 0, 2195}, u"Windows 2000", 4, 1004},
                                           OsRow{{5, 1, 2600}, u"Windows XP", 3, 1003},
                                           OsRow{{5, 2, 3790}, u"Windows 2003", 4, 1004},
                                           OsRow{{6, 0, 6002}, u"Windows Vista", 2, 1005},
                                           OsRow{{6, 1, 7601}, u"Windows 7", 5, 1006},
                                           OsRow{{6, 2, 9200}, u"Windows 8", 1, 1007},
                                           OsRow{{6, 3, 9600}, u"Windows 8.1", 1, 1007},
                                           OsRow{{10, 0, 19045}, u"Windows 10", 0, 1002},
                                           OsRow{{10, 1, 19045}, u"Windows 10.1", 0, 1002},
                                           OsRow{{10, 0, 22631}, u"Windows 11", 6, 1042}));

TEST_F(DialogFixture, UnknownReleaseKeepsTheFirstRadioAndNamesItAsDetected) {
  system.version = {4, 0, 1381};
  ConfingDialog& d = Open();
  EXPECT_EQ(u"Unknow", d.osName);
  EXPECT_EQ(0, d.osChoice);
  EXPECT_TRUE(host.Find(1002)->checked);
}

struct StartLanguageRow {
  uint16_t userLanguage;
  int32_t uiLanguage;
  int listItem;
  const char16_t* title;
};

TEST_F(DialogFixture, StartsInTheUserLanguageOrEnglish) {
  const StartLanguageRow rows[] = {{2052, 2052, 0, u"安装票据打印机驱动"},
                                   {1033, 1033, 1, u"Install Receipt Printer Driver"},
                                   {1041, 1041, 2, u"構成のインストール"},
                                   {1028, 1033, 1, u"Install Receipt Printer Driver"},
                                   {4100, 1033, 1, u"Install Receipt Printer Driver"},
                                   {3076, 1033, 1, u"Install Receipt Printer Driver"},
                                   {1042, 1033, 1, u"Install Receipt Printer Driver"},
                                   {3082, 1033, 1, u"Install Receipt Printer Driver"}};
  for (const StartLanguageRow& row : rows) {
    TestDialogHost fresh;
    system.uiLanguage = row.userLanguage;
    ConfingDialog d(With(fresh));
    fresh.RunModal(d);
    EXPECT_EQ(row.uiLanguage, d.uiLanguage) << row.userLanguage;
    EXPECT_EQ(row.listItem, fresh.Find(control::kLanguageList)->selection) << row.userLanguage;
    EXPECT_EQ(row.title, fresh.title) << row.userLanguage;
    EXPECT_EQ((std::vector<WString>{u"Chinese", u"English", u"Japanese"}),
              fresh.Find(control::kLanguageList)->items);
  }
}

TEST_F(DialogFixture, JapaneseUserGetsTheJapaneseTestPageText) {
  system.uiLanguage = 1041;
  ConfingDialog& d = Open();
  EXPECT_NE(std::u16string::npos, d.messages.testPageText.find(u"おめでとう！"));
  EXPECT_EQ(
      u"Windows 10 x64システムを使用しています。\nインストールにはWindows "
      u"10を選択することをお勧めします。",
      Text(control::kOsMessage));
}

TEST_F(DialogFixture, InitialisationPreparesTheControls) {
  ConfingDialog& d = Open();
  EXPECT_EQ((std::vector<WString>{u"9600", u"19200", u"38400", u"115200"}),
            Items(control::kBaudList));
  EXPECT_EQ(1, Selection(control::kBaudList));
  EXPECT_EQ(0xC0A80164u, host.Find(control::kIpAddress)->address);
  EXPECT_EQ(u"192.168.1.100", d.ipAddressField.Text());
  EXPECT_EQ((std::map<unsigned, unsigned>{{6u, 500u}}), host.timers);
  EXPECT_EQ(kIconResource, host.iconResource);
  EXPECT_EQ(120, d.testPageBitmap.width);
  EXPECT_TRUE(host.Find(control::kOsMessage)->notify);
  for (int id : {control::kRemark, control::kPortTextCarrier}) {
    ASSERT_TRUE(host.Find(id)->font) << id;
    EXPECT_EQ(u"Arial", host.Find(id)->font->face);
    EXPECT_EQ(12, host.Find(id)->font->height);
    EXPECT_EQ(700, host.Find(id)->font->weight);
    EXPECT_TRUE(host.Find(id)->font->underline);
  }
  EXPECT_EQ(std::optional<uint32_t>(0x002828B4u), host.Find(control::kPortTextCarrier)->textColour);
  // Model 0, USB, default printer cleared; the port text travels in the hidden static.
  EXPECT_TRUE(host.Find(1014)->checked);
  EXPECT_TRUE(host.Find(1034)->checked);
  EXPECT_FALSE(host.Find(control::kSetDefault)->checked);
  EXPECT_EQ(u"USB00X", Text(control::kPortTextCarrier));
  EXPECT_EQ(1, host.workersStarted) << "the payload worker, last";
  EXPECT_TRUE(host.misuses.empty()) << host.misuses.front();
}

TEST_F(DialogFixture, LanguageRoundTripRestoresEveryCaptionExactly) {
  system.uiLanguage = 2052;
  Open();
  std::map<int, WString> chinese;
  for (const Caption& caption : kCaptions) {
    chinese[caption.target] = caption.target == kWindowTitle ? host.title : Text(caption.target);
  }
  const WString chineseMessage = Text(control::kOsMessage);
  EXPECT_EQ(u"*说明：后缀字母“C”表示带切刀类型", chinese[1030]) << "never the template's text";

  ASSERT_TRUE(host.SelectComboItem(control::kLanguageList, 1));
  EXPECT_EQ(u"Install Receipt Printer Driver", host.title);
  EXPECT_EQ(u"*Remarks: \"C\" means item with cutter", Text(1030));
  EXPECT_EQ(u"You are using Windows 10 x64 OS.\nPlease select Windows 10 to install.",
            Text(control::kOsMessage));
  EXPECT_EQ(1033, dialog->uiLanguage);

  ASSERT_TRUE(host.SelectComboItem(control::kLanguageList, 2));
  EXPECT_EQ(u"構成のインストール", host.title);
  EXPECT_NE(std::u16string::npos, dialog->messages.testPageText.find(u"おめでとう"));

  ASSERT_TRUE(host.SelectComboItem(control::kLanguageList, 0));
  for (const Caption& caption : kCaptions) {
    const WString now = caption.target == kWindowTitle ? host.title : Text(caption.target);
    EXPECT_EQ(chinese[caption.target], now) << caption.target;
  }
  EXPECT_EQ(chineseMessage, Text(control::kOsMessage));
  EXPECT_EQ(1, system.emulatedQueries) << "the OS message follows without a new detection";
}

TEST_F(DialogFixture, LanguageChangeWritesBackTheLastReadSelection) {
  Open();
  ASSERT_TRUE(host.Click(1011));  // model RT-58, not yet read into the members
  ASSERT_TRUE(host.SelectComboItem(control::kLanguageList, 0));
  EXPECT_TRUE(host.Find(1014)->checked);
  EXPECT_FALSE(host.Find(1011)->checked);
}

TEST_F(DialogFixture, EnterReadsTheControlsAndEndsEscapeJustEnds) {
  Open();
  ASSERT_TRUE(host.Click(1016));
  ASSERT_TRUE(host.Click(control::kSetDefault));
  ConfingDialog* d = dialog.get();
  ASSERT_TRUE(host.PressEnter());
  EXPECT_EQ(5, d->modelChoice);
  EXPECT_TRUE(d->setDefaultPrinter);
  EXPECT_EQ(std::optional<int>(1), host.endResult);

  TestDialogHost second;
  ConfingDialog other(With(second));
  second.RunModal(other);
  ASSERT_TRUE(second.Click(1013));
  ASSERT_TRUE(second.PressEscape());
  EXPECT_EQ(0, other.modelChoice) << "nothing read";
  EXPECT_EQ(std::optional<int>(2), second.endResult);
}

TEST_F(DialogFixture, NoInterfaceCheckedFailsTheExchangeWithTheRangeMessage) {
  ConfingDialog& d = Open();
  host.SetRadioGroupPosition(control::kInterfaceFirst, -1);
  host.SetControlText(control::kBluetoothName, u"Printer001");
  host.SetRadioGroupPosition(control::kModelFirst, 3);
  EXPECT_FALSE(d.ExchangeControlData(true));
  EXPECT_EQ(3, d.modelChoice) << "earlier members are read";
  EXPECT_EQ(-1, d.portKindChoice);
  EXPECT_TRUE(d.btDeviceName.empty()) << "later ones keep their value";
  ASSERT_EQ(1u, host.messages.size());
  EXPECT_EQ(u"Please enter an integer between 0 and 99.", host.messages[0].text);
  host.PressEnter();
  EXPECT_FALSE(host.endResult) << "Enter does not end the dialog then";
}

}  // namespace
}  // namespace kestrava
