// A scriptable SystemInfo. Its ANSI code page is Latin-1: bytes map to U+0000-U+00FF and
// wider characters become '?', the default character; or UTF-8 (code page 65001), where every
// character has its bytes.
#pragma once

#include <map>

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
  WString ErrorMessage(uint32_t code) override;
  // The portable form of the system's rule (platform/text.h).
  bool SameName(WStringView a, WStringView b) override { return SameNameIgnoringCase(a, b); }

  uint16_t emulatedArchitecture = kArchitectureAmd64;
  uint16_t nativeArchitecture = kArchitectureAmd64;
  VersionInfo version{10, 0, 19045};
  bool versionQuerySucceeds = true;
  std::optional<uint16_t> nativeMachine;  // nothing: IsWow64Process2 is absent
  uint16_t uiLanguage = 1033;
  int emulatedQueries = 0;
  // The system's texts, by code; a few as Windows words them in English.
  std::map<uint32_t, WString> errorMessages = {
      {2, u"The system cannot find the file specified.\r\n"},
      {5, u"Access is denied.\r\n"},
      {126, u"The specified module could not be found.\r\n"},
      {1053,
       u"The service did not respond to the start or control request in a timely "
       u"fashion.\r\n"},
      {1067, u"The process terminated unexpectedly.\r\n"},
      {1797, u"The printer driver is unknown.\r\n"},
  };
  bool utf8CodePage = false;
};

}  // namespace kestrava
