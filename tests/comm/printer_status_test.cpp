// The printer's own status: the answers to DLE EOT 4, 2 and 3 read strictly, the condition they
// tell, the requests over each kind of link, and what the dialog shows of a fault.
#include "comm/printer_status.h"

#include <gtest/gtest.h>

#include "app/language.h"
#include "comm/port_messages.h"
#include "tests/comm/port_command_fixture.h"

namespace kestrava {
namespace {

using Condition = PrinterCondition;

// Answer bytes with the fixed bits right (bit 1 and bit 4 set) and `bits` set besides.
std::string Answer(uint8_t bits) {
  return std::string(1, static_cast<char>(0x12 | bits));
}

TEST(StatusAnswer, OnlyOneByteWithTheFixedBitsRightIsAnAnswer) {
  struct Row {
    std::string reply;
    std::optional<uint8_t> answer;
  };
  const Row rows[] = {
      {Answer(0), 0x12},
      {Answer(0x6C), 0x7E},                        // every free bit set
      {std::string(), std::nullopt},               // nothing came
      {std::string("\x12\x12", 2), std::nullopt},  // two answers: one was to another request
      {"\x13", std::nullopt},                      // bit 0 set
      {"\x10", std::nullopt},                      // bit 1 clear
      {"\x02", std::nullopt},                      // bit 4 clear
      {"\x92", std::nullopt},                      // bit 7 set
      {std::string(1, '\0'), std::nullopt},
      {"\xFF", std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.answer, StatusAnswer(row.reply)) << Hex(row.reply);
  }
}

struct ConditionRow {
  const char* what;
  std::optional<uint8_t> paper, offline, error;
  std::optional<Condition> condition;
};

TEST(PrinterCondition, EachBitAloneAndTogetherTellsTheWorst) {
  const ConditionRow rows[] = {
      {"no answer to the paper sensor: nothing known", {}, 0x12, 0x12, std::nullopt},
      {"all clear", 0x12, 0x12, 0x12, Condition::kReady},
      {"the paper sensor alone", 0x12, {}, {}, Condition::kReady},
      {"paper near end", 0x1E, 0x12, 0x12, Condition::kPaperNearEnd},
      {"one near-end bit is no near end", 0x16, 0x12, 0x12, Condition::kReady},
      {"paper end", 0x72, 0x12, 0x12, Condition::kPaperEnd},
      {"one paper-end bit is no paper end", 0x32, 0x12, 0x12, Condition::kReady},
      {"paper end over near end", 0x7E, 0x12, 0x12, Condition::kPaperEnd},
      {"printing stopped at the paper's end", 0x12, 0x32, 0x12, Condition::kPaperEnd},
      {"cover open", 0x12, 0x16, 0x12, Condition::kCoverOpen},
      {"cover open over paper end", 0x72, 0x36, 0x12, Condition::kCoverOpen},
      {"the feed button", 0x12, 0x1A, 0x12, Condition::kOffline},
      {"an error without its cause", 0x12, 0x52, 0x12, Condition::kOffline},
      {"a recoverable error", 0x12, 0x52, 0x52, Condition::kOffline},
      {"cutter error", 0x12, 0x52, 0x1A, Condition::kCutterError},
      {"unrecoverable error", 0x12, 0x52, 0x32, Condition::kUnrecoverableError},
      {"unrecoverable over cutter over cover", 0x72, 0x56, 0x3A, Condition::kUnrecoverableError},
      {"cutter over paper end", 0x72, 0x12, 0x1A, Condition::kCutterError},
      {"offline over near end", 0x1E, 0x1A, 0x12, Condition::kOffline},
  };
  for (const ConditionRow& row : rows) {
    EXPECT_EQ(row.condition, ConditionOf({row.paper, row.offline, row.error})) << row.what;
  }
  EXPECT_FALSE(IsFault(Condition::kReady));
  EXPECT_FALSE(IsFault(Condition::kPaperNearEnd));
  for (Condition fault : {Condition::kPaperEnd, Condition::kCoverOpen, Condition::kOffline,
                          Condition::kCutterError, Condition::kUnrecoverableError}) {
    EXPECT_TRUE(IsFault(fault));
    for (int32_t language : {2052, 1033, 1041}) {
      EXPECT_FALSE(PrinterFaultMessage(fault, language).empty());
    }
  }
  EXPECT_TRUE(PrinterFaultMessage(Condition::kPaperNearEnd, 1033).empty());
}

class StatusQuery : public PortCommandFixture {};

TEST_F(StatusQuery, TheRequestsOverEachKindOfLinkAndTheirBoundedWaits) {
  struct Row {
    const char* what;
    int interface;
    std::vector<std::string> replies;  // to DLE EOT 4, 2, 3
    std::string sent;                  // after the page
    std::optional<Condition> condition;
    uint64_t waitedMs;  // on the virtual clock, beyond the page's own waits
  };
  const std::string ask4 = "10 04 04", ask2 = "10 04 02", ask3 = "10 04 03";
  const Row rows[] = {
      {"COM, out of paper",
       1,
       {Answer(0x60), Answer(0x20), Answer(0)},
       ask4 + " " + ask2 + " " + ask3,
       Condition::kPaperEnd,
       0},
      {"COM, never answers: one request, one wait", 1, {}, ask4, std::nullopt, 300},
      {"COM, noise: no answer, nothing more asked", 1, {"\xFF"}, ask4, std::nullopt, 0},
      {"LAN, cover open",
       2,
       {Answer(0), Answer(0x04), Answer(0)},
       ask4 + " " + ask2 + " " + ask3,
       Condition::kCoverOpen,
       0},
      {"LAN, never answers", 2, {}, ask4, std::nullopt, 300},
      {"USB, cutter error, a pause before each read",
       0,
       {Answer(0), Answer(0x40), Answer(0x08)},
       ask4 + " " + ask2 + " " + ask3,
       Condition::kCutterError,
       150},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const WString usb = UsbPath(u"vid_04b8", 1);
    deviceInterfaces.entries.clear();
    FakeDeviceIo::State& com3 = deviceIo.Add(u"COM3", true);
    FakeDeviceIo::State& printer = AddUsbPrinter(usb, 1);
    printer.replies = {"\x16"};  // the ready reply of the status-checked reset
    sockets = FakeTcpSockets(&clock);
    sockets.SetPeer(kDefaultPrinterAddress, 9100, FakeTcpSockets::Peer::kAccepts);
    std::deque<std::string> replies(row.replies.begin(), row.replies.end());
    if (row.interface == 1) com3.replies = replies;
    if (row.interface == 0)
      printer.replies.insert(printer.replies.end(), replies.begin(), replies.end());
    if (row.interface == 2) sockets.replies[{kDefaultPrinterAddress, 9100}] = replies;
    host.messages.clear();
    Choose(row.interface, {row.interface == 0 ? u"USB001" : u"COM3"},
           row.interface == 0 ? u"NO USB" : u"NO COM");
    const uint64_t before = clock.MonotonicMs();
    const size_t sleepsBefore = clock.Sleeps().size();
    ASSERT_TRUE(PressCheckPort());
    const std::string all = row.interface == 1   ? Hex(com3.written)
                            : row.interface == 2 ? Hex(sockets.connections.back().sent)
                                                 : Hex(printer.written);
    EXPECT_EQ(row.sent, all.substr(all.size() - std::min(all.size(), row.sent.size())));
    EXPECT_EQ(row.condition, dialog->lastStatus.Condition());
    EXPECT_TRUE(dialog->lastStatus.asked);
    uint64_t slept = 0;
    for (size_t i = sleepsBefore; i < clock.Sleeps().size(); ++i) slept += clock.Sleeps()[i];
    const uint64_t pageWaits = row.interface == 2 ? 50 : row.interface == 0 ? 50 : 0;
    EXPECT_EQ(row.waitedMs, clock.MonotonicMs() - before - pageWaits) << "slept " << slept;
    EXPECT_EQ(0, deviceIo.openDevices()) << "every port let go";
    if (host.IsTimerRunning(3)) host.FireTimer(3);
  }
}

TEST_F(StatusQuery, AFaultIsToldAfterTheCommandsOwnMessagesInTheUiLanguage) {
  struct Row {
    int32_t language;
    const char16_t* message;
  };
  for (const Row& row : {Row{2052, u"打印机缺纸。"}, Row{1033, u"The printer is out of paper."},
                         Row{1041, u"プリンターの用紙がありません。"}}) {
    FakeDeviceIo::State& com3 = deviceIo.Add(u"COM3", true);
    com3.replies = {Answer(0x60), Answer(0x20), Answer(0)};
    // COM3: already has a printer: the command's own in-use message comes first, unchanged.
    spooler = FakePrintSpooler();
    spooler.AddInstalledPrinter(u"Till", u"COM3:");
    host.messages.clear();
    host.SetComboSelection(control::kLanguageList, LanguageListItem(row.language));
    dialog->OnLanguageChosen();
    Choose(1, {u"COM3"}, u"NO COM");
    ASSERT_TRUE(PressCheckPort());
    ASSERT_EQ(2u, host.messages.size());
    EXPECT_EQ(WString(row.message), host.messages[1].text);
    EXPECT_EQ(MessageKind::kWarning, host.messages[1].kind);
  }
}

TEST_F(StatusQuery, AReadyPrinterOrOneNearItsPapersEndAddsNoMessage) {
  for (uint8_t paper : {uint8_t{0}, uint8_t{0x0C}}) {
    deviceIo.Add(u"COM3", true).replies = {Answer(paper), Answer(0), Answer(0)};
    host.messages.clear();
    Choose(1, {u"COM3"}, u"NO COM");
    ASSERT_TRUE(PressCheckPort());
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST_F(StatusQuery, TheSelfTestAsksTooAndTellsAFault) {
  deviceIo.Add(u"COM3", true).replies = {Answer(0), Answer(0x04), Answer(0)};
  Choose(1, {u"COM3"}, u"NO COM");
  ASSERT_TRUE(host.Click(1047));
  EXPECT_EQ(std::vector<WString>{u"The printer's cover is open."}, MessageTexts());
  EXPECT_EQ("10 04 04 > 12; 10 04 02 > 16; 10 04 03 > 12", dialog->lastStatus.exchange);
}

}  // namespace
}  // namespace kestrava
