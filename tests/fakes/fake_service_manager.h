// The service control manager held to its rules: key names are compared without case and a
// display name is no key name (ERROR_SERVICE_DOES_NOT_EXIST); an empty name or one with a slash
// or backslash is refused (ERROR_INVALID_NAME); a service whose status the caller may not query,
// or that the caller may not stop or start, answers ERROR_ACCESS_DENIED. A stop is refused for a
// service that is not running (ERROR_SERVICE_NOT_ACTIVE), one that is starting or stopping
// (ERROR_SERVICE_CANNOT_ACCEPT_CTRL) and one on which a running service depends
// (ERROR_DEPENDENT_SERVICES_RUNNING); a start for one that is not stopped
// (ERROR_SERVICE_ALREADY_RUNNING) and for one that depends on a stopped service. A stop or a
// start is only asked for: the service is pending for as many state queries as it is told to
// take, or for ever.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/service_manager.h"

namespace kestrava {

class FakeServiceManager final : public ServiceManager {
 public:
  struct Service {
    Service(WString key, WString display, ServiceState initial)
        : name(std::move(key)), displayName(std::move(display)), state(initial) {}
    WString name;
    WString displayName;
    ServiceState state;
    bool queryDenied = false;
    bool controlDenied = false;      // may not be stopped or started by this caller
    std::vector<WString> dependsOn;  // key names
    int pendingQueries = 1;          // state queries a stop or a start stays pending for
    bool neverStops = false;         // stays stop-pending for ever
    int failingStarts = 0;           // starts whose process ends before it runs (-1: every one)
    int remaining = 0;               // of the pending queries
  };

  std::optional<ServiceState> StateOf(const WString& name, uint32_t& error) override;
  bool ActiveDependents(const WString& name, std::vector<WString>& out, uint32_t& error) override;
  bool Stop(const WString& name, uint32_t& error) override;
  bool Start(const WString& name, uint32_t& error) override;

  // The service of key name `name` (case ignored), or null.
  Service* Find(const WString& name);
  // A service that depends on `on` (the fax service depends on the spooler), in `state`.
  void AddDependent(const WString& name, const WString& on, ServiceState state);

  std::vector<Service> services = {{u"Spooler", u"Print Spooler", ServiceState::kRunning}};
  std::vector<WString> queries;  // every name whose state was asked, in order
  // Every stop, start and listing of dependents, UTF-8: "stop Spooler", "start Fax",
  // "dependents Spooler"; a refusal is recorded with its code: "stop Spooler refused 1062".
  std::vector<std::string> calls;
  std::function<void(const std::string& call)> onCall;

 private:
  Service* Named(const WString& name, uint32_t& error);
  std::vector<WString> Running(const WString& on) const;
  void Record(const std::string& call);
  bool Refuse(const std::string& call, uint32_t code, uint32_t& error);
};

}  // namespace kestrava
