#pragma once

#include "platform/system_info.h"

namespace kestrava {

// Text in the thread's ANSI code page as UTF-16; bytes that do not map become the default
// character. Shared by the Win32 services that meet 8-bit text.
WString AnsiCodePageToWide(std::string_view text);

class Win32SystemInfo final : public SystemInfo {
 public:
  uint16_t EmulatedArchitecture() override;
  uint16_t NativeArchitecture() override;
  bool QueryVersion(VersionInfo& out) override;
  std::optional<uint16_t> NativeMachine() override;
  uint16_t UserDefaultUiLanguage() override;
  WString AnsiToWide(std::string_view text) override;
  std::string WideToAnsi(WStringView text) override;
  WString ErrorMessage(uint32_t code) override;
  bool SameName(WStringView a, WStringView b) override;
};

}  // namespace kestrava
