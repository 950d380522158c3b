// The service control manager as the program asks it: what state a service is in. (The
// spooler's restarts still go through the system's net command, install/spooler_restart.h.)
#pragma once

#include <cstdint>
#include <optional>

#include "platform/text.h"

namespace kestrava {

// The states of SERVICE_STATUS, in the system's numbering.
enum class ServiceState : uint32_t {
  kStopped = 1,
  kStartPending = 2,
  kStopPending = 3,
  kRunning = 4,
  kContinuePending = 5,
  kPausePending = 6,
  kPaused = 7,
};

// The print spooler's service name, as the service control manager knows it.
inline constexpr const char16_t* kSpoolerService = u"Spooler";

class ServiceManager {
 public:
  virtual ~ServiceManager() = default;

  // The state of the service with the key name `name` (case ignored; a display name such as
  // "Print Spooler" is no key name), asked with the right to query its status only, which
  // every user has for the system's services. Nothing, with the system's code in `error`, when
  // it cannot be told: no such service (ERROR_SERVICE_DOES_NOT_EXIST), a name that is no
  // service name (ERROR_INVALID_NAME), no right to ask (ERROR_ACCESS_DENIED).
  virtual std::optional<ServiceState> StateOf(const WString& name, uint32_t& error) = 0;
};

}  // namespace kestrava
