// The spooler's restart through the strict fake service manager: its dependents stopped before
// it and started after it, every refusal and every stop or start that never ends told with its
// code, and the wait bounded.
#include <gtest/gtest.h>

#include <functional>

#include "install/spooler_recovery.h"
#include "install/spooler_restart.h"
#include "tests/install/engine_fixture.h"

namespace kestrava {
namespace {

using Lines = std::vector<std::string>;

class SpoolerRestartTest : public EngineFixture {
 protected:
  FakeServiceManager::Service& Spooler() { return *serviceManager.Find(kSpoolerService); }
  SpoolerRestart Restart() {
    journal.clear();
    return RestartSpooler(serviceManager, clock);
  }
};

TEST_F(SpoolerRestartTest, TheSpoolerIsStoppedAndStartedTwentyMillisecondsApart) {
  const SpoolerRestart restart = Restart();
  EXPECT_EQ(kRestartJournal, journal);
  EXPECT_TRUE(restart.stop.Succeeded());
  EXPECT_TRUE(restart.Restarted());
  EXPECT_EQ(ServiceState::kRunning, Spooler().state);
  EXPECT_TRUE(shell.calls.empty()) << "no command is run for it";
}

TEST_F(SpoolerRestartTest, TheRestartAnswersWhatTheServiceManagerSaid) {
  struct Row {
    const char* what;
    std::function<void(FakeServiceManager&)> script;
    uint32_t stop;
    uint32_t start;
    bool restarted;
    ServiceState after;
  };
  const auto spoolerOf = [](FakeServiceManager& m) { return m.Find(kSpoolerService); };
  const Row rows[] = {
      {"the spooler already stopped: the stop is refused, the start restarts it",
       [&](FakeServiceManager& m) { spoolerOf(m)->state = ServiceState::kStopped; },
       kErrorServiceNotActive, 0, true, ServiceState::kRunning},
      {"a caller without the right to stop or start it",
       [&](FakeServiceManager& m) { spoolerOf(m)->controlDenied = true; }, 5, 5, false,
       ServiceState::kRunning},
      {"a stop that never ends: bounded, and the start finds it still there",
       [&](FakeServiceManager& m) { spoolerOf(m)->neverStops = true; }, kErrorServiceRequestTimeout,
       kErrorServiceAlreadyRunning, false, ServiceState::kStopPending},
      {"stopped, but its process ends before it runs",
       [&](FakeServiceManager& m) { spoolerOf(m)->failingStarts = -1; }, 0, kErrorProcessAborted,
       false, ServiceState::kStopped},
      {"slow to stop and to start: waited for",
       [&](FakeServiceManager& m) { spoolerOf(m)->pendingQueries = 40; }, 0, 0, true,
       ServiceState::kRunning},
      {"already stopping when asked",
       [&](FakeServiceManager& m) {
         spoolerOf(m)->state = ServiceState::kStopPending;
         spoolerOf(m)->remaining = 3;
       },
       kErrorServiceCannotAcceptControl, kErrorServiceAlreadyRunning, false,
       ServiceState::kStopPending},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    serviceManager = FakeServiceManager();
    row.script(serviceManager);
    const uint64_t before = clock.MonotonicMs();
    const SpoolerRestart restart = Restart();
    EXPECT_TRUE(restart.stop.carriedOut);
    EXPECT_EQ(row.stop, restart.stop.code);
    EXPECT_TRUE(restart.start.carriedOut);
    EXPECT_EQ(row.start, restart.start.code);
    EXPECT_EQ(row.restarted, restart.Restarted());
    EXPECT_EQ(row.after, Spooler().state);
    // Each wait ends within its minute and one poll.
    EXPECT_LE(clock.MonotonicMs() - before, 2u * (kServiceStepLimitMs + kServiceStepPollMs) + 20u);
  }
}

TEST_F(SpoolerRestartTest, AStopThatNeverEndsIsGivenUpAfterAMinute) {
  Spooler().neverStops = true;
  const uint64_t before = clock.MonotonicMs();
  const SpoolerRestart restart = Restart();
  EXPECT_EQ(kErrorServiceRequestTimeout, restart.stop.code);
  const uint64_t waited = clock.MonotonicMs() - before;
  EXPECT_GE(waited, kServiceStepLimitMs);
  EXPECT_LT(waited, kServiceStepLimitMs + 100u);
}

TEST_F(SpoolerRestartTest, RunningDependentsAreStoppedFirstAndStartedAgainInTheirOrder) {
  // The fax service and a till's print monitor depend on the spooler, started in that order;
  // a third dependent was not running and stays stopped.
  serviceManager.AddDependent(u"Fax", kSpoolerService, ServiceState::kRunning);
  serviceManager.AddDependent(u"TillMonitor", kSpoolerService, ServiceState::kRunning);
  serviceManager.AddDependent(u"Idle", kSpoolerService, ServiceState::kStopped);
  const SpoolerRestart restart = Restart();
  EXPECT_TRUE(restart.Restarted());
  EXPECT_EQ((std::vector<WString>{u"TillMonitor", u"Fax"}), restart.dependentsStopped);
  EXPECT_TRUE(restart.dependentsNotStarted.empty());
  std::vector<std::string> controls;
  for (const std::string& call : serviceManager.calls) {
    if (call.rfind("dependents", 0) != 0) controls.push_back(call);
  }
  EXPECT_EQ((Lines{"stop TillMonitor", "stop Fax", "stop Spooler", "start Spooler", "start Fax",
                   "start TillMonitor"}),
            controls);
  EXPECT_EQ(ServiceState::kRunning, serviceManager.Find(u"Fax")->state);
  EXPECT_EQ(ServiceState::kRunning, serviceManager.Find(u"TillMonitor")->state);
  EXPECT_EQ(ServiceState::kStopped, serviceManager.Find(u"Idle")->state);
}

TEST_F(SpoolerRestartTest, ADependentThatDoesNotStartAgainIsNamed) {
  serviceManager.AddDependent(u"Fax", kSpoolerService, ServiceState::kRunning);
  serviceManager.Find(u"Fax")->failingStarts = -1;
  const SpoolerRestart restart = Restart();
  EXPECT_TRUE(restart.Restarted());
  EXPECT_EQ(std::vector<WString>{u"Fax"}, restart.dependentsNotStarted);
}

TEST_F(SpoolerRestartTest, ADependentThatWillNotStopHoldsTheSpoolerAndIsSaid) {
  serviceManager.AddDependent(u"Fax", kSpoolerService, ServiceState::kRunning);
  serviceManager.Find(u"Fax")->controlDenied = true;
  const SpoolerRestart restart = Restart();
  EXPECT_EQ(kErrorDependentServicesRunning, restart.stop.code);
  EXPECT_EQ(kErrorServiceAlreadyRunning, restart.start.code);
  EXPECT_FALSE(restart.Restarted());
  EXPECT_TRUE(restart.dependentsStopped.empty());
  EXPECT_EQ(ServiceState::kRunning, serviceManager.Find(u"Fax")->state);
}

TEST_F(SpoolerRestartTest, NoSpoolerServiceIsToldByTheSystemsCode) {
  serviceManager.services.clear();
  const SpoolerRestart restart = Restart();
  EXPECT_EQ(kErrorServiceDoesNotExist, restart.stop.code);
  EXPECT_EQ(kErrorServiceDoesNotExist, restart.start.code);
  EXPECT_FALSE(restart.Restarted());
}

TEST_F(SpoolerRestartTest, ARecoveryStartsAStoppedSpoolerAndLeavesARunningOneAlone) {
  struct Row {
    const char* what;
    ServiceState state;
    bool startFails;
    SpoolerRecovery expected;
    size_t starts;
  };
  const Row rows[] = {
      {"running", ServiceState::kRunning, false, SpoolerRecovery::kRunning, 0},
      {"stopped", ServiceState::kStopped, false, SpoolerRecovery::kStarted, 1},
      {"stopped, and it does not come back", ServiceState::kStopped, true,
       SpoolerRecovery::kStillStopped, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    serviceManager = FakeServiceManager();
    Spooler().state = row.state;
    Spooler().failingStarts = row.startFails ? -1 : 0;
    EXPECT_EQ(row.expected, StartSpoolerIfStopped(serviceManager, clock));
    EXPECT_EQ(row.starts,
              static_cast<size_t>(std::count(serviceManager.calls.begin(),
                                             serviceManager.calls.end(), "start Spooler")));
  }
}

}  // namespace
}  // namespace kestrava
