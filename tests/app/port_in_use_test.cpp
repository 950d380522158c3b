#include <gtest/gtest.h>

#include "tests/app/dialog_fixture.h"

namespace kestrava {
namespace {

constexpr const char16_t* kEnglish = u"A printer already exists using this port";

struct Installed {
  const char16_t* name;
  const char16_t* port;
};

struct PortInUseCase {
  const char* what;
  std::vector<WString> ports;  // the port list
  int selection;
  std::vector<Installed> installed;
  int32_t language;
  bool inUse;
  const char16_t* message;  // nullptr: none shown
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
  for (const WString& port : c.ports) host.AddComboItem(control::kPortList, port);
  host.SetComboSelection(control::kPortList, c.selection);
  host.SetControlText(control::kPortTextCarrier, u"COM9");  // the list decides, not this
  for (const Installed& printer : c.installed)
    spooler.AddInstalledPrinter(printer.name, printer.port);
  dialog->uiLanguage = c.language;
  host.messages.clear();

  EXPECT_EQ(c.inUse, dialog->CheckPortInUse());
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

INSTANTIATE_TEST_SUITE_P(
    Cases, PortInUseTest,
    ::testing::Values(
        PortInUseCase{"COM3 against a printer on COM3:",
                      {u"COM1", u"COM3"},
                      1,
                      {{u"RT-58C", u"COM3:"}},
                      1033,
                      true,
                      kEnglish,
                      true,
                      u"COM3:"},
        PortInUseCase{"the message in Chinese",
                      {u"COM3"},
                      0,
                      {{u"RT-58C", u"COM3:"}},
                      2052,
                      true,
                      u"已经存在使用此端口的打印机",
                      true,
                      u"COM3:"},
        PortInUseCase{"the message in Japanese",
                      {u"COM3"},
                      0,
                      {{u"RT-58C", u"COM3:"}},
                      1041,
                      true,
                      u"このポートを使用するプリンタはすでに存在します",
                      true,
                      u"COM3:"},
        PortInUseCase{"any other language reads English",
                      {u"COM3"},
                      0,
                      {{u"RT-58C", u"COM3:"}},
                      1031,
                      true,
                      kEnglish,
                      true,
                      u"COM3:"},
        PortInUseCase{"the matching printer listed last",
                      {u"COM3"},
                      0,
                      {{u"A", u"USB001"}, {u"B", u"COM4:"}, {u"C", u"COM3:"}},
                      1033,
                      true,
                      kEnglish,
                      true,
                      u"COM3:"},
        PortInUseCase{"a Bluetooth port that has its colon already",
                      {u"COM7:"},
                      0,
                      {{u"RT-80", u"COM7:"}},
                      1033,
                      true,
                      kEnglish,
                      true,
                      u"COM7:"},
        PortInUseCase{"USB001 is never in use",
                      {u"USB001"},
                      0,
                      {{u"RT-80", u"USB001"}, {u"RT-80 (copy 1)", u"USB001:"}},
                      1033,
                      false,
                      nullptr,
                      true,
                      u"USB001:"},
        PortInUseCase{"nor is a network address",
                      {u"192.168.1.50"},
                      0,
                      {{u"RT-80", u"192.168.1.50:"}},
                      1033,
                      false,
                      nullptr,
                      true,
                      u"192.168.1.50:"},
        PortInUseCase{"the port name differs in case",
                      {u"COM3"},
                      0,
                      {{u"RT-58C", u"com3:"}},
                      1033,
                      false,
                      nullptr,
                      true,
                      u"COM3:"},
        PortInUseCase{"a printer on the port without the colon",
                      {u"COM3"},
                      0,
                      {{u"RT-58C", u"COM3"}},
                      1033,
                      false,
                      nullptr,
                      true,
                      u"COM3:"},
        PortInUseCase{"another COM port",
                      {u"COM3"},
                      0,
                      {{u"RT-58C", u"COM33:"}},
                      1033,
                      false,
                      nullptr,
                      true,
                      u"COM3:"},
        PortInUseCase{"the NO COM placeholder: the spooler is not asked",
                      {u"NO COM"},
                      0,
                      {{u"RT-58C", u"NO COM:"}},
                      1033,
                      false,
                      nullptr,
                      false,
                      u"NO COM"},
        PortInUseCase{
            "the NO BLE placeholder", {u"NO BLE"}, 0, {}, 1033, false, nullptr, false, u"NO BLE"},
        PortInUseCase{"nothing selected",
                      {u"COM3"},
                      -1,
                      {{u"RT-58C", u":"}},
                      1033,
                      false,
                      nullptr,
                      true,
                      u":"}));

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
