#pragma once

#include "platform/service_manager.h"

namespace kestrava {

// OpenSCManagerW (SC_MANAGER_CONNECT) and OpenServiceW with only the right each call needs,
// then QueryServiceStatus, EnumDependentServicesW (SERVICE_ACTIVE), ControlService
// (SERVICE_CONTROL_STOP) or StartServiceW of advapi32; every handle is closed before the
// answer.
class Win32ServiceManager final : public ServiceManager {
 public:
  std::optional<ServiceState> StateOf(const WString& name, uint32_t& error) override;
  bool ActiveDependents(const WString& name, std::vector<WString>& out, uint32_t& error) override;
  bool Stop(const WString& name, uint32_t& error) override;
  bool Start(const WString& name, uint32_t& error) override;
};

}  // namespace kestrava
