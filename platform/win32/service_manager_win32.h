#pragma once

#include "platform/service_manager.h"

namespace kestrava {

// OpenSCManagerW (SC_MANAGER_CONNECT), OpenServiceW (SERVICE_QUERY_STATUS) and
// QueryServiceStatus of advapi32, each handle closed before the answer.
class Win32ServiceManager final : public ServiceManager {
 public:
  std::optional<ServiceState> StateOf(const WString& name, uint32_t& error) override;
};

}  // namespace kestrava
