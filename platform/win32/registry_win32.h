#pragma once

#include "platform/registry.h"

namespace kestrava {

// The wide-character registry functions on HKEY_LOCAL_MACHINE. Under WOW64 every key is opened
// in the 64-bit view (see MachineKeyAccess); the decision is made once, when the service is
// built.
class Win32Registry final : public Registry {
 public:
  Win32Registry();
  // For tests: the view flag decided by the caller.
  explicit Win32Registry(bool processIsWow64) : wow64_(processIsWow64) {}

  std::unique_ptr<RegistryKey> OpenMachineKey(const WString& path, uint32_t access,
                                              RegistryStatus* status) override;
  std::unique_ptr<RegistryKey> CreateMachineKey(const WString& path, uint32_t access) override;
  bool DeleteMachineKeyTree(const WString& path) override;

 private:
  bool wow64_;
};

// Whether this process runs under WOW64. IsWow64Process is looked up at run time: Windows 2000
// and XP before SP2 do not have it, and there the answer is no.
bool ProcessIsWow64();

}  // namespace kestrava
