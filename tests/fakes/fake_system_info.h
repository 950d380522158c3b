// A scriptable SystemInfo. Its ANSI code page is Latin-1: bytes map to U+0000-U+00FF and
// wider characters become '?', the default character; or UTF-8 (code page 65001), where every
// character has its bytes.
#pragma once

#include "platform/system_info.h"

namespace kestrava {

class FakeSystemInfo final : public SystemInfo {
 public:
  uint16_t EmulatedArchitecture() override {
    ++emulatedQueries;
    return emulatedArchitecture;
  }
  uint16_t NativeArchitecture() override { return nativeArchitecture; }
  bool QueryVersion(VersionInfo& out) override {
    if (!versionQuerySucceeds) return false;
    out = version;
    return true;
  }
  std::optional<uint16_t> NativeMachine() override { return nativeMachine; }
  uint16_t UserDefaultUiLanguage() override { return uiLanguage; }
  WString AnsiToWide(std::string_view text) override;
  std::string WideToAnsi(WStringView text) override;

  uint16_t emulatedArchitecture = kArchitectureAmd64;
  uint16_t nativeArchitecture = kArchitectureAmd64;
  VersionInfo version{10, 0, 19045};
  bool versionQuerySucceeds = true;
  std::optional<uint16_t> nativeMachine;  // nothing: IsWow64Process2 is absent
  uint16_t uiLanguage = 1033;
  int emulatedQueries = 0;
  bool utf8CodePage = false;
};

}  // namespace kestrava
