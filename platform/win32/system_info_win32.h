#pragma once

#include "platform/system_info.h"

namespace kestrava {

class Win32SystemInfo final : public SystemInfo {
 public:
  uint16_t EmulatedArchitecture() override;
  uint16_t NativeArchitecture() override;
  bool QueryVersion(VersionInfo& out) override;
  std::optional<uint16_t> NativeMachine() override;
  uint16_t UserDefaultUiLanguage() override;
  WString AnsiToWide(std::string_view text) override;
  std::string WideToAnsi(WStringView text) override;
};

}  // namespace kestrava
