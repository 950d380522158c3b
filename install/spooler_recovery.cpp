#include "install/spooler_recovery.h"

#include "install/spooler_restart.h"

namespace kestrava {

namespace {

bool Changing(const std::optional<ServiceState>& state) {
  return state == ServiceState::kStopPending || state == ServiceState::kStartPending;
}

std::optional<ServiceState> SettledState(ServiceManager& services, Clock& clock) {
  uint32_t error = 0;
  std::optional<ServiceState> state = services.StateOf(kSpoolerService, error);
  const uint64_t end = clock.MonotonicMs() + kSpoolerStateWaitMs;
  while (Changing(state) && clock.MonotonicMs() < end) {
    clock.Sleep(kSpoolerStatePollMs);
    state = services.StateOf(kSpoolerService, error);
  }
  return state;
}

}  // namespace

SpoolerRecovery StartSpoolerIfStopped(ServiceManager& services, Clock& clock) {
  const std::optional<ServiceState> before = SettledState(services, clock);
  if (before && *before != ServiceState::kStopped) return SpoolerRecovery::kRunning;
  // The start waits until the spooler runs, or tells why it does not; one that someone else
  // started meanwhile runs all the same.
  const ServiceStep start = StartServiceAndWait(services, clock, kSpoolerService);
  if (!before) return SpoolerRecovery::kUnknown;
  return start.Succeeded() || start.code == kErrorServiceAlreadyRunning
             ? SpoolerRecovery::kStarted
             : SpoolerRecovery::kStillStopped;
}

}  // namespace kestrava
