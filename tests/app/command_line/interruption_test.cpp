// Ctrl+C during a run without the dialog, on the fake services, with a spooler service that the
// service manager stops and starts as Windows' does: the run finishes the step in hand, leaves
// the spooler started, says so and ends with 1223; what comes after the step is not done.
#include <gtest/gtest.h>

#include <functional>

#include "app/command_line/exit_codes.h"
#include "app/command_line/unattended_services.h"
#include "app/support_log.h"
#include "payload/working_folder.h"
#include "tests/app/command_line/unattended_fixture.h"

namespace kestrava {
namespace {

const std::string kStop = "stop Spooler";
const std::string kStart = "start Spooler";

class Interruption : public Unattended {
 public:
  Interruption() {
    serviceManager.onCall = [this](const std::string& call) {
      calls.push_back(call);
      if (call == pressAt && --pressAtTime == 0) console.interrupted = true;
    };
  }

  ServiceState Spooler() { return serviceManager.Find(kSpoolerService)->state; }
  size_t Count(const std::string& call) const {
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
  }

  std::string pressAt;  // the service manager's call Ctrl+C comes with
  int pressAtTime = 1;  // its first, second, ... time
  std::vector<std::string> calls;
};

struct Press {
  const char* what;
  std::function<void(Interruption&)> script;
  Words words;
  int exitCode;
  std::vector<const char*> lastLines;
  bool printerAdded;
  size_t starts;  // starts of the spooler asked
};

void PrintTo(const Press& row, std::ostream* os) {
  *os << row.what;
}

class CtrlC : public Interruption, public ::testing::WithParamInterface<Press> {};

TEST_P(CtrlC, TheStepInHandEndsAndTheSpoolerIsLeftStarted) {
  const Press& row = GetParam();
  row.script(*this);
  EXPECT_EQ(row.exitCode, Run(row.words)) << Output();
  ASSERT_GE(console.lines.size(), row.lastLines.size());
  for (size_t i = 0; i < row.lastLines.size(); ++i) {
    EXPECT_EQ(row.lastLines[i],
              Utf16ToUtf8(console.lines[console.lines.size() - row.lastLines.size() + i]))
        << Output();
  }
  // Running, or (where its state cannot be asked) started and on its way.
  EXPECT_TRUE(Spooler() == ServiceState::kRunning || Spooler() == ServiceState::kStartPending)
      << "the spooler was left stopped";
  EXPECT_EQ(row.printerAdded, spooler.FindPrinter(u"RT-58C") != nullptr);
  EXPECT_EQ(row.starts, Count(kStart));
  ExpectNoWindow();
}

const Press kPresses[] = {
    {"DuringTheInstallationsRestartThePrinterIsAddedTheTestPageNot",
     [](Interruption& t) { t.pressAt = kStop; },
     Com({u"--test-page"}),
     kExitCancelled,
     {"printer: RT-58C added on COM3:", "cancelled: stopped after the step in hand (Ctrl+C)"},
     true,
     1},
    {"DuringTheStopAndTheStartFailsTheSpoolerIsStartedAgain",
     [](Interruption& t) {
       t.pressAt = kStop;
       t.serviceManager.Find(kSpoolerService)->failingStarts = 1;
     },
     Com({u"--test-page"}),
     kExitCancelled,
     {"cancelled: stopped after the step in hand (Ctrl+C)", "spooler: was stopped, started again"},
     true,
     2},
    {"TheSpoolersStateCannotBeAskedTheStartIsAskedAnyway",
     [](Interruption& t) {
       t.pressAt = kStop;
       t.serviceManager.Find(kSpoolerService)->failingStarts = 1;
       t.serviceManager.Find(kSpoolerService)->queryDenied = true;
     },
     Com({u"--test-page"}),
     kExitCancelled,
     {"cancelled: stopped after the step in hand (Ctrl+C)",
      "spooler: its state could not be told; it was asked to start"},
     true,
     1},
    {"BeforeAnything",
     [](Interruption& t) { t.console.interrupted = true; },
     Com(),
     kExitCancelled,
     {"payload: not unpacked; the driver files are taken from C:\\Setup",
      "cancelled: stopped after the step in hand (Ctrl+C)"},
     false,
     0},
    {"NeverPressed", [](Interruption&) {}, Com(), kExitDone, {"done: RT-58C on COM3:"}, true, 1},
};

INSTANTIATE_TEST_SUITE_P(Rows, CtrlC, ::testing::ValuesIn(kPresses),
                         [](const ::testing::TestParamInfo<Press>& row) {
                           return std::string(row.param.what);
                         });

TEST_F(Interruption, CtrlCEndsTheDiscoveryWaitWithWhatWasFound) {
  // Pressed ten seconds into a wait of thirty.
  const uint64_t start = clock.MonotonicMs();
  clock.onSleep = [this, start](uint32_t) {
    if (clock.MonotonicMs() - start >= 10000) console.interrupted = true;
  };
  EXPECT_EQ(kExitCancelled, Run({u"ports", u"--discover", u"30"})) << Output();
  EXPECT_LT(clock.MonotonicMs() - start, 11000u);
  EXPECT_EQ("com\tCOM3\tserial port", Utf16ToUtf8(console.lines[0]));
  EXPECT_EQ("cancelled: stopped after the step in hand (Ctrl+C)",
            Utf16ToUtf8(console.lines.back()));
  EXPECT_TRUE(calls.empty()) << "the spooler is only asked about, never started";
}

TEST_F(Interruption, TheRunStartsNoCommandOfTheSystems) {
  ASSERT_EQ(kExitDone, Run(Com())) << Output();
  EXPECT_TRUE(shell.calls.empty()) << "the spooler is restarted through the service manager";
  EXPECT_EQ(1u, Count(kStop));
}

TEST(QuietShell, ACommandAndWhatItWroteGoToTheLogAndNeverToTheRunsLines) {
  FakeShell shell;
  const WString program = u"C:\\WINDOWS\\system32\\sc.exe";
  shell.DefineOutput(program, [](const WString&) {
    return WString(u"[SC] QueryServiceConfig SUCCESS\r\n\r\nSERVICE_NAME: Spooler\r\n");
  });
  std::vector<WString> shown, logged;
  QuietShell quiet(
      shell, [&](const WString& line) { shown.push_back(line); },
      [&](const WString& line) { logged.push_back(line); });
  EXPECT_EQ(std::optional<uint32_t>(0u), quiet.RunHiddenAndWait(program, u"qc spooler", 1000));
  EXPECT_EQ((std::vector<WString>{u"command: C:\\WINDOWS\\system32\\sc.exe qc spooler: exit code 0",
                                  u"output: [SC] QueryServiceConfig SUCCESS",
                                  u"output: SERVICE_NAME: Spooler"}),
            logged);
  EXPECT_TRUE(shown.empty());
}

}  // namespace
}  // namespace kestrava
