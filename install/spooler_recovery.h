// Putting the print spooler back when a run ends early (the user pressed Ctrl+C): a spooler
// left stopped stops every printer of the computer, not only the one being installed.
#pragma once

#include "platform/clock.h"
#include "platform/service_manager.h"

namespace kestrava {

enum class SpoolerRecovery {
  kRunning,       // it was not stopped
  kStarted,       // it was stopped and runs again
  kStillStopped,  // it was stopped and the start did not bring it back
  kUnknown,       // its state could not be asked; the start was run anyway
};

// How often a spooler that is stopping or starting is asked again, and for how long at most.
inline constexpr uint32_t kSpoolerStatePollMs = 250;
inline constexpr uint32_t kSpoolerStateWaitMs = 30000;

// Asks the service manager for the spooler's state; one that is stopping or starting is waited
// for (asked every kSpoolerStatePollMs, for kSpoolerStateWaitMs at most). A stopped spooler, or
// one whose state cannot be told, is started through the service manager and waited for as
// every start of a restart is (kServiceStepLimitMs). Blocks as long as that takes.
SpoolerRecovery StartSpoolerIfStopped(ServiceManager& services, Clock& clock);

}  // namespace kestrava
