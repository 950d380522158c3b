// The service control manager as the program asks it: what state a service is in, which
// running services depend on it, and stopping and starting one.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

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

// The service manager's answers the program tells apart.
enum : uint32_t {
  kErrorServiceRequestTimeout = 1053,       // ERROR_SERVICE_REQUEST_TIMEOUT
  kErrorDependentServicesRunning = 1051,    // ERROR_DEPENDENT_SERVICES_RUNNING
  kErrorServiceAlreadyRunning = 1056,       // ERROR_SERVICE_ALREADY_RUNNING
  kErrorServiceDoesNotExist = 1060,         // ERROR_SERVICE_DOES_NOT_EXIST
  kErrorServiceCannotAcceptControl = 1061,  // ERROR_SERVICE_CANNOT_ACCEPT_CTRL
  kErrorServiceNotActive = 1062,            // ERROR_SERVICE_NOT_ACTIVE
  kErrorProcessAborted = 1067,              // ERROR_PROCESS_ABORTED
};

// Every service is named by its key name (case ignored; a display name such as "Print
// Spooler" is no key name: ERROR_SERVICE_DOES_NOT_EXIST; a name with a slash or backslash is
// none either: ERROR_INVALID_NAME). A failure answers false or nothing, with the system's code
// in `error`.
class ServiceManager {
 public:
  virtual ~ServiceManager() = default;

  // The service's state, asked with the right to query its status only, which every user has
  // for the system's services (ERROR_ACCESS_DENIED where it is not granted).
  virtual std::optional<ServiceState> StateOf(const WString& name, uint32_t& error) = 0;

  // The services that depend on this one and are not stopped, in the order in which they are
  // to be stopped (the reverse of their start order), replacing `out`.
  virtual bool ActiveDependents(const WString& name, std::vector<WString>& out,
                                uint32_t& error) = 0;

  // Asks a service to stop (SERVICE_CONTROL_STOP) and returns without waiting for it. Refused
  // for a service that is not running (ERROR_SERVICE_NOT_ACTIVE), one that is starting or
  // stopping (ERROR_SERVICE_CANNOT_ACCEPT_CTRL), one on which a running service depends
  // (ERROR_DEPENDENT_SERVICES_RUNNING), and without administrator rights (ERROR_ACCESS_DENIED).
  virtual bool Stop(const WString& name, uint32_t& error) = 0;

  // Asks a stopped service to start and returns without waiting for it to run. Refused for one
  // that is not stopped (ERROR_SERVICE_ALREADY_RUNNING) and without administrator rights.
  virtual bool Start(const WString& name, uint32_t& error) = 0;
};

}  // namespace kestrava
