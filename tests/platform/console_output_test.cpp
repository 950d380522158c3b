// Where the command line's lines go, on the strict fake console (tests/fakes/fake_console_api.h):
// one row per kind of standard output a process can be started with, from cmd.exe, PowerShell,
// a deployment tool or the desktop, on Windows 7 and on later releases; and the control
// handler, which must outlive the attaching.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/console_output.h"
#include "tests/fakes/fake_console_api.h"

namespace kestrava {
namespace {

using Object = FakeConsoleApi::Object;

const WString kLines[] = {u"完成：RT-58C（端口 COM3:）", u"com\tCOM3\tserial port"};
const WString kShown = u"完成：RT-58C（端口 COM3:）\r\ncom\tCOM3\tserial port\r\n";

enum class Lands { kScreen, kStandardBytes, kNowhere };

struct Route {
  const char* what;
  std::function<void(FakeConsoleApi&)> start;  // the process as it was started
  Lands lands;
  bool attaches;
};

void PrintTo(const Route& row, std::ostream* os) {
  *os << row.what;
}

const Route kRoutes[] = {
    {"RedirectedToAFile", [](FakeConsoleApi& c) { c.standardOutput = c.Add(Object::kFile); },
     Lands::kStandardBytes, false},
    {"RedirectedToAPipe", [](FakeConsoleApi& c) { c.standardOutput = c.Add(Object::kPipe); },
     Lands::kStandardBytes, false},
    {"TheConsoleOfTheShell", [](FakeConsoleApi& c) { c.standardOutput = c.Add(Object::kConsole); },
     Lands::kScreen, true},
    {"Windows7ConsolePseudoHandleWithStandardErrorRedirected",
     [](FakeConsoleApi& c) { c.standardOutput = c.Add(Object::kConsole, true); }, Lands::kScreen,
     true},
    {"NoStandardOutputTheConsoleGivesOne", [](FakeConsoleApi& c) { c.attachSetsOutput = true; },
     Lands::kScreen, true},
    {"NoStandardOutputConsoleOutputOpenedBesideTheShells",
     [](FakeConsoleApi& c) { c.attachSetsOutput = false; }, Lands::kScreen, true},
    {"AClosedHandle",
     [](FakeConsoleApi& c) {
       c.attachSetsOutput = false;
       c.standardOutput = c.Add(Object::kFile);
       c.Close(c.standardOutput);
       c.calls.clear();
     },
     Lands::kScreen, true},
    {"RedirectedToNul", [](FakeConsoleApi& c) { c.standardOutput = c.Add(Object::kNul); },
     Lands::kStandardBytes, true},
    {"NoConsoleAnywhere",
     [](FakeConsoleApi& c) {
       c.parentHasConsole = false;
       c.attachSetsOutput = false;
     },
     Lands::kNowhere, false},
    {"Windows7PseudoHandleOfAConsoleThatIsGone",
     [](FakeConsoleApi& c) {
       c.parentHasConsole = false;
       c.standardOutput = c.Add(Object::kConsole, true);
     },
     Lands::kNowhere, false},
};

class ConsoleRoute : public ::testing::TestWithParam<Route> {};

TEST_P(ConsoleRoute, TheLinesReachWhatTheCallerSees) {
  const Route& row = GetParam();
  FakeConsoleApi fake;
  row.start(fake);
  const ConsoleHandle standard = fake.standardOutput;
  {
    ConsoleOutput output(fake);
    for (const WString& line : kLines) output.WriteLine(line);
  }
  EXPECT_EQ(row.attaches, fake.attached);
  EXPECT_EQ(row.lands == Lands::kScreen ? kShown : WString(), fake.screen);
  EXPECT_EQ("", fake.screenBytes) << "a console is given text, never bytes";
  const std::string bytes = fake.received[standard];
  // UTF-8, no byte order mark, the system's line ends.
  EXPECT_EQ(row.lands == Lands::kStandardBytes ? Utf16ToUtf8(kShown) : std::string(), bytes);
  EXPECT_TRUE(fake.screenOpens.size() == 1 || fake.screenOpens.back().access == 0)
      << "a CONOUT$ opened here is closed again";
}

INSTANTIATE_TEST_SUITE_P(Rows, ConsoleRoute, ::testing::ValuesIn(kRoutes),
                         [](const ::testing::TestParamInfo<Route>& row) {
                           return std::string(row.param.what);
                         });

TEST(ConsoleRoute, ConsoleOutputIsOpenedSharedForReadingAndWriting) {
  // The shell holds the screen buffer for reading and writing: a CONOUT$ open that shares only
  // writing is refused.
  FakeConsoleApi fake;
  fake.attachSetsOutput = false;
  ConsoleOutput output(fake);
  output.WriteLine(u"printers");
  EXPECT_EQ((std::vector<std::string>{"attach", "open CONOUT$ share=3"}), fake.calls);
  EXPECT_EQ(u"printers\r\n", fake.screen);
  uint32_t error = 0;
  EXPECT_EQ(kNoHandle, fake.OpenConsoleOutput(kShareWrite, error)) << "the rule the fake holds";
  EXPECT_EQ(32u, error);
}

struct Signal {
  const char* what;
  std::function<void(FakeConsoleApi&)> start;
  FakeConsoleApi::SignalOutcome outcome;
};

void PrintTo(const Signal& row, std::ostream* os) {
  *os << row.what;
}

class ConsoleSignal : public ::testing::TestWithParam<Signal> {};

TEST_P(ConsoleSignal, CtrlCIsNotedWhereverItCanArrive) {
  const Signal& row = GetParam();
  FakeConsoleApi fake;
  row.start(fake);
  ConsoleOutput output(fake);
  output.Connect();
  EXPECT_FALSE(output.InterruptionRequested());
  EXPECT_EQ(row.outcome, fake.PressCtrlC());
  EXPECT_FALSE(fake.endedByDefaultHandler) << "the default handler ended the process";
  EXPECT_EQ(row.outcome == FakeConsoleApi::SignalOutcome::kNoted, output.InterruptionRequested());
}

const Signal kSignals[] = {
    {"AttachedToTheShellsConsole",
     [](FakeConsoleApi& c) { c.standardOutput = c.Add(Object::kConsole); },
     FakeConsoleApi::SignalOutcome::kNoted},
    {"AttachedBesideNul", [](FakeConsoleApi& c) { c.standardOutput = c.Add(Object::kNul); },
     FakeConsoleApi::SignalOutcome::kNoted},
    {"RedirectedToAPipeNothingArrives",
     [](FakeConsoleApi& c) { c.standardOutput = c.Add(Object::kPipe); },
     FakeConsoleApi::SignalOutcome::kNotDelivered},
};

INSTANTIATE_TEST_SUITE_P(Rows, ConsoleSignal, ::testing::ValuesIn(kSignals),
                         [](const ::testing::TestParamInfo<Signal>& row) {
                           return std::string(row.param.what);
                         });

}  // namespace
}  // namespace kestrava
