// Restarting the print spooler so that it and its port monitors read a new port
// configuration, through the service control manager.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/clock.h"
#include "platform/service_manager.h"

namespace kestrava {

// How long a service may take to stop or to start: the spooler's own stop and start take
// seconds at most, so one still pending after a minute waits for something that will not come.
inline constexpr uint32_t kServiceStepLimitMs = 60000;
// How often a stopping or starting service is asked for its state: a query costs the service
// manager next to nothing, and the restart should not outlast the service's own stop and start.
inline constexpr uint32_t kServiceStepPollMs = 10;
// The pause between the spooler's stop and its start.
inline constexpr uint32_t kBetweenStopAndStartMs = 20;

// One half of a restart, stopping the service or starting it, as the service manager told it.
struct ServiceStep {
  bool carriedOut = false;  // it was asked
  // 0 once the service reached the state asked for; else the service manager's refusal
  // (ERROR_SERVICE_NOT_ACTIVE for a stop of a service that was not running), or
  // kErrorServiceRequestTimeout for one that did not reach it within kServiceStepLimitMs, or
  // kErrorProcessAborted for a service that stopped again while it was starting.
  uint32_t code = 0;
  bool Succeeded() const { return carriedOut && code == 0; }
};

// What a restart came to. The spooler has read what was written before it only when it was
// started again; a stop that failed because the service was not running is no failure then.
// A start that failed means that the spooler either did not start or was still running (its
// stop failed as well): the configuration is read only at its next start.
struct SpoolerRestart {
  ServiceStep stop;
  ServiceStep start;
  // The services depending on the spooler that were running and were stopped before it, and
  // those of them that did not run again afterwards.
  std::vector<WString> dependentsStopped;
  std::vector<WString> dependentsNotStarted;
  bool Restarted() const { return start.Succeeded(); }
};

// Stops the services that depend on the spooler and are running, then the spooler, each
// waited for until it is stopped; waits kBetweenStopAndStartMs; starts the spooler and waits
// until it runs; then starts the dependents it stopped again, in their start order. A stop that
// fails does not keep the start from being asked. Blocks as long as the services take, each
// step kServiceStepLimitMs at most.
SpoolerRestart RestartSpooler(ServiceManager& services, Clock& clock);

// Asks the service manager to stop or start `name` and waits until it is stopped or runs,
// kServiceStepLimitMs at most.
ServiceStep StopServiceAndWait(ServiceManager& services, Clock& clock, const WString& name);
ServiceStep StartServiceAndWait(ServiceManager& services, Clock& clock, const WString& name);

}  // namespace kestrava
