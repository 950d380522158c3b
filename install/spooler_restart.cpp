#include "install/spooler_restart.h"

namespace kestrava {

namespace {

// Waits until `name` has left its pending state, and tells what it came to.
ServiceStep Settled(ServiceManager& services, Clock& clock, const WString& name,
                    ServiceState wanted) {
  const uint64_t end = clock.MonotonicMs() + kServiceStepLimitMs;
  for (;;) {
    uint32_t error = 0;
    const std::optional<ServiceState> state = services.StateOf(name, error);
    if (!state) return {true, error};
    if (*state == wanted) return {true, 0};
    // A start whose process ended before the service ran.
    if (wanted == ServiceState::kRunning && *state == ServiceState::kStopped) {
      return {true, kErrorProcessAborted};
    }
    if (clock.MonotonicMs() >= end) return {true, kErrorServiceRequestTimeout};
    clock.Sleep(kServiceStepPollMs);
  }
}

}  // namespace

ServiceStep StopServiceAndWait(ServiceManager& services, Clock& clock, const WString& name) {
  uint32_t error = 0;
  if (!services.Stop(name, error)) return {true, error};
  return Settled(services, clock, name, ServiceState::kStopped);
}

ServiceStep StartServiceAndWait(ServiceManager& services, Clock& clock, const WString& name) {
  uint32_t error = 0;
  if (!services.Start(name, error)) return {true, error};
  return Settled(services, clock, name, ServiceState::kRunning);
}

SpoolerRestart RestartSpooler(ServiceManager& services, Clock& clock) {
  SpoolerRestart restart;
  // A listing that fails stops nothing: the spooler's own stop then tells what holds it.
  std::vector<WString> dependents;
  uint32_t error = 0;
  if (!services.ActiveDependents(kSpoolerService, dependents, error)) dependents.clear();
  for (const WString& dependent : dependents) {
    if (StopServiceAndWait(services, clock, dependent).Succeeded()) {
      restart.dependentsStopped.push_back(dependent);
    }
  }
  restart.stop = StopServiceAndWait(services, clock, kSpoolerService);
  clock.Sleep(kBetweenStopAndStartMs);
  restart.start = StartServiceAndWait(services, clock, kSpoolerService);
  // Started in the reverse of the order they were stopped in, which is their start order.
  for (auto it = restart.dependentsStopped.rbegin(); it != restart.dependentsStopped.rend(); ++it) {
    if (!StartServiceAndWait(services, clock, *it).Succeeded()) {
      restart.dependentsNotStarted.push_back(*it);
    }
  }
  return restart;
}

}  // namespace kestrava
