#include <gtest/gtest.h>

#include "tests/app/dialog/dialog_fixture.h"

namespace kestrava {
namespace {

constexpr const char16_t* kEnglish = u"A printer already exists using this port";

struct Installed {
  const char16_t* name;
  const char16_t* port;
};

struct PortInUseCase {
  const char* what;
  const char16_t* chosen;  // the port list's only item, selected; nullptr: nothing selected
  std::vector<Installed> installed;
  int32_t language;
  const char16_t* message;  // shown, and the answer is true; nullptr: none, false
  bool asksSpooler;
  const char16_t* portText;  // afterwards
};

void PrintTo(const PortInUseCase& c, std::ostream* os) {
  *os << c.what;
}

class PortInUseTest : public DialogFixture, public ::testing::WithParamInterface<PortInUseCase> {};

TEST_P(PortInUseTest, Table) {
  const PortInUseCase& c = GetParam();
  Open();
  host.ClearCombo(control::kPortList);
  host.AddComboItem(control::kPortList, c.chosen ? c.chosen : u"COM3");
  host.SetComboSelection(control::kPortList, c.chosen ? 0 : -1);
  host.SetControlText(control::kPortTextCarrier, u"COM9");  // the list decides, not this
  for (const Installed& printer : c.installed)
    spooler.AddInstalledPrinter(printer.name, printer.port);
  dialog->uiLanguage = c.language;
  host.messages.clear();

  EXPECT_EQ(c.message != nullptr, dialog->CheckPortInUse());
  if (c.message) {
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ(c.message, host.messages[0].text);
    EXPECT_EQ(MessageKind::kWarning, host.messages[0].kind);
  } else {
    EXPECT_TRUE(host.messages.empty());
  }
  EXPECT_EQ(c.asksSpooler ? std::vector<std::string>{"EnumPrinters"} : std::vector<std::string>{},
            spooler.calls);
  EXPECT_EQ(c.portText, dialog->portText);
}

const std::vector<Installed> kOnCom3 = {{u"RT-58C", u"COM3:"}};

using Row = PortInUseCase;
constexpr const char16_t* kChinese = u"已经存在使用此端口的打印机";
constexpr const char16_t* kJapanese = u"このポートを使用するプリンタはすでに存在します";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, PortInUseTest, ::testing::Values(
    Row{"COM3 and a printer on COM3:", u"COM3", kOnCom3, 1033, kEnglish, true, u"COM3:"},
    Row{"in Chinese", u"COM3", kOnCom3, 2052, kChinese, true, u"COM3:"},
    Row{"in Japanese", u"COM3", kOnCom3, 1041, kJapanese, true, u"COM3:"},
    Row{"any other language reads English", u"COM3", kOnCom3, 1031, kEnglish, true, u"COM3:"},
    Row{"the matching printer listed last", u"COM3",
        {{u"A", u"USB001"}, {u"B", u"COM4:"}, {u"C", u"COM3:"}}, 1033, kEnglish, true, u"COM3:"},
    Row{"a Bluetooth port with its colon", u"COM7:", {{u"A", u"COM7:"}}, 1033, kEnglish, true,
        u"COM7:"},
    Row{"USB001 is never in use", u"USB001", {{u"A", u"USB001"}, {u"B", u"USB001:"}}, 1033,
        nullptr, true, u"USB001:"},
    Row{"nor is a network address", u"10.0.0.9", {{u"A", u"10.0.0.9:"}}, 1033, nullptr, true,
        u"10.0.0.9:"},
    // The spooler's port names ignore case, and a printer of a pool is on each of its ports.
    Row{"a port name in lower case", u"COM3", {{u"A", u"com3:"}}, 1033, kEnglish, true, u"COM3:"},
    Row{"one port of a printer's pool", u"COM3", {{u"A", u"COM4:,COM3:"}}, 1033, kEnglish, true,
        u"COM3:"},
    Row{"a pool without the port", u"COM3", {{u"A", u"COM4:,COM33:"}}, 1033, nullptr, true,
        u"COM3:"},
    Row{"a printer's port without the colon", u"COM3", {{u"A", u"COM3"}}, 1033, nullptr, true,
        u"COM3:"},
    Row{"another COM port", u"COM3", {{u"A", u"COM33:"}}, 1033, nullptr, true, u"COM3:"},
    Row{"NO COM: the spooler is not asked", u"NO COM", {{u"A", u"NO COM:"}}, 1033, nullptr, false,
        u"NO COM"},
    Row{"NO BLE", u"NO BLE", {}, 1033, nullptr, false, u"NO BLE"},
    Row{"nothing selected", nullptr, {{u"A", u":"}}, 1033, nullptr, true, u":"}));
// clang-format on

TEST_F(DialogFixture, APortInUseIsNotReportedWhenTheSpoolerCannotListItsPrinters) {
  Open();
  host.AddComboItem(control::kPortList, u"COM3");
  host.SetComboSelection(control::kPortList, 0);
  spooler.AddInstalledPrinter(u"RT-58C", u"COM3:");
  spooler.Fail(FakePrintSpooler::Op::kEnumerate, 1722);
  host.messages.clear();
  EXPECT_FALSE(dialog->CheckPortInUse());
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace kestrava
