// Ctrl+C during a run without the dialog, on the fake services, with a spooler service whose
// state the system's net command changes as Windows' does: the run finishes the step in hand,
// leaves the spooler started, says so and ends with 1223; what comes after the step is not done.
#include <gtest/gtest.h>

#include <functional>

#include "app/command_line/exit_codes.h"
#include "app/support_log.h"
#include "payload/working_folder.h"
#include "tests/app/command_line/unattended_fixture.h"

namespace kestrava {
namespace {

const std::string kStop = "run C:\\WINDOWS\\system32\\net.exe stop spooler /y";
const std::string kStart = "run C:\\WINDOWS\\system32\\net.exe start spooler";

class Interruption : public Unattended {
 public:
  Interruption() {
    // net stops and starts the spooler service; a start that is told to fail leaves it stopped
    // (a spooler still stopping, a dependency that does not start).
    shell.Define(kNet, [this](const WString& parameters) {
      FakeServiceManager::Service* service = serviceManager.Find(kSpoolerService);
      if (parameters.rfind(u"stop spooler", 0) == 0) {
        if (service->state == ServiceState::kStopped) return 2u;
        service->state = ServiceState::kStopped;
        return 0u;
      }
      if (parameters == u"start spooler") {
        if (failedStarts > 0) {
          --failedStarts;
          return 2u;
        }
        service->state = ServiceState::kRunning;
      }
      return 0u;
    });
    shell.onCall = [this](const std::string& call) {
      calls.push_back(call);
      if (call == pressAt && --pressAtTime == 0) console.interrupted = true;
    };
  }

  ServiceState Spooler() { return serviceManager.Find(kSpoolerService)->state; }
  size_t Count(const std::string& call) const {
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
  }

  std::string pressAt;  // the shell call Ctrl+C comes with
  int pressAtTime = 1;  // its first, second, ... time
  int failedStarts = 0;
  std::vector<std::string> calls;
};

struct Press {
  const char* what;
  std::function<void(Interruption&)> script;
  Words words;
  int exitCode;
  std::vector<const char*> lastLines;
  bool printerAdded;
  size_t starts;  // runs of "net start spooler"
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
  EXPECT_EQ(ServiceState::kRunning, Spooler()) << "the spooler was left stopped";
  EXPECT_EQ(row.printerAdded, spooler.FindPrinter(u"RT-58C") != nullptr);
  EXPECT_EQ(row.starts, Count(kStart));
  ExpectNoWindow();
}

const Press kPresses[] = {
    {"DuringThePortSetUpsSpoolerStop",
     [](Interruption& t) { t.pressAt = kStop; },
     Com(),
     kExitCancelled,
     {"port set-up: COM3: = 115200,n,8,1", "cancelled: stopped after the step in hand (Ctrl+C)"},
     false,
     1},
    {"DuringTheStopAndTheStartFailsTheSpoolerIsStartedAgain",
     [](Interruption& t) {
       t.pressAt = kStop;
       t.failedStarts = 1;
     },
     Com(),
     kExitCancelled,
     {"cancelled: stopped after the step in hand (Ctrl+C)", "spooler: was stopped, started again"},
     false,
     2},
    {"TheSpoolersStateCannotBeAskedTheStartRunsAnyway",
     [](Interruption& t) {
       t.pressAt = kStop;
       t.failedStarts = 1;
       t.serviceManager.Find(kSpoolerService)->queryDenied = true;
     },
     Com(),
     kExitCancelled,
     {"cancelled: stopped after the step in hand (Ctrl+C)",
      "spooler: its state could not be told; net start spooler was run"},
     false,
     2},
    {"DuringTheInstallationsOwnRestartThePrinterIsAddedTheTestPageNot",
     [](Interruption& t) {
       t.pressAt = kStop;
       t.pressAtTime = 2;
     },
     Com({u"--test-page"}),
     kExitCancelled,
     {"printer: RT-58C added on COM3:", "cancelled: stopped after the step in hand (Ctrl+C)"},
     true,
     2},
    {"BeforeAnything",
     [](Interruption& t) { t.console.interrupted = true; },
     Com(),
     kExitCancelled,
     {"payload: not unpacked; the driver files are taken from C:\\Setup",
      "cancelled: stopped after the step in hand (Ctrl+C)"},
     false,
     0},
    {"NeverPressed", [](Interruption&) {}, Com(), kExitDone, {"done: RT-58C on COM3:"}, true, 2},
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

TEST_F(Interruption, TheSystemsCommandsAndWhatTheyWroteGoToTheSupportLog) {
  shell.DefineOutput(kNet, [](const WString& parameters) {
    return parameters == u"start spooler"
               ? WString(
                     u"The Print Spooler service is starting.\r\n\r\nThe Print Spooler "
                     u"service was started successfully.\r\n")
               : WString();
  });
  ASSERT_EQ(kExitDone, Run(Com())) << Output();
  const std::string log =
      files.Content(WorkingFolder(system, shell) + WString(kSupportLogName)).value_or("");
  for (const char* line : {"command: C:\\WINDOWS\\system32\\net.exe stop spooler /y: exit code 0",
                           "command: C:\\WINDOWS\\system32\\net.exe start spooler: exit code 0",
                           "output: The Print Spooler service is starting.\r\n",
                           "output: The Print Spooler service was started successfully.\r\n"}) {
    EXPECT_NE(std::string::npos, log.find(line)) << line << "\n" << log;
  }
  EXPECT_EQ(std::string::npos, log.find("output: \r\n")) << "no empty output lines";
  EXPECT_FALSE(Said("Print Spooler service")) << "net's words never mix into the run's lines";
}

}  // namespace
}  // namespace kestrava
