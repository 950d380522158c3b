// The service control manager held to its rules: key names are compared without case and a
// display name is no key name (ERROR_SERVICE_DOES_NOT_EXIST); an empty name or one with a slash
// or backslash is refused (ERROR_INVALID_NAME); a service
// whose status the caller may not query answers ERROR_ACCESS_DENIED.
#pragma once

#include <vector>

#include "platform/service_manager.h"

namespace kestrava {

class FakeServiceManager final : public ServiceManager {
 public:
  struct Service {
    WString name;
    WString displayName;
    ServiceState state;
    bool queryDenied = false;
  };

  std::optional<ServiceState> StateOf(const WString& name, uint32_t& error) override;

  // The service of key name `name` (case ignored), or null.
  Service* Find(const WString& name);

  std::vector<Service> services = {{u"Spooler", u"Print Spooler", ServiceState::kRunning}};
  std::vector<WString> queries;  // every name asked, in order
};

}  // namespace kestrava
