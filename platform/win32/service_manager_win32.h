#pragma once

#include "platform/service_manager.h"

namespace kestrava {

// The service control manager, connected to once (OpenSCManagerW, SC_MANAGER_CONNECT: a restart
// asks a service's state every few milliseconds), and OpenServiceW with only the right each call
// needs, then QueryServiceStatus, EnumDependentServicesW (SERVICE_ACTIVE), ControlService
// (SERVICE_CONTROL_STOP) or StartServiceW of advapi32; the service's handle is closed before the
// answer. One thread at a time.
class Win32ServiceManager final : public ServiceManager {
 public:
  Win32ServiceManager() = default;
  Win32ServiceManager(const Win32ServiceManager&) = delete;
  Win32ServiceManager& operator=(const Win32ServiceManager&) = delete;
  ~Win32ServiceManager() override;

  std::optional<ServiceState> StateOf(const WString& name, uint32_t& error) override;
  bool ActiveDependents(const WString& name, std::vector<WString>& out, uint32_t& error) override;
  bool Stop(const WString& name, uint32_t& error) override;
  bool Start(const WString& name, uint32_t& error) override;

 private:
  // The service, opened with `access` (null, with the system's code, when it cannot be).
  void* OpenNamed(const WString& name, uint32_t access, uint32_t& error);

  void* manager_ = nullptr;  // SC_HANDLE, connected at the first call
};

}  // namespace kestrava
