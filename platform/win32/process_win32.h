#pragma once

#include "platform/process.h"

namespace kestrava {

// Full path of the running program file (of any length).
WString ModuleFilePath();

// The environment variable that marks a copy started to be elevated.
inline constexpr const wchar_t* kElevatedCopyVariable = L"KESTRAVA_SETUP_ELEVATED_COPY";

class Win32Process final : public Process {
 public:
  ~Win32Process() override;

  WString ProgramFilePath() override;
  // CommandLineToArgvW of GetCommandLineW.
  std::vector<WString> Arguments() override;
  // CheckTokenMembership of the Administrators group (Windows 2000 and later; a filtered token
  // under UAC holds it for deny only).
  bool IsElevated() override;
  // The token's user by LookupAccountSid; the session's user and domain from the terminal
  // services (wtsapi32, loaded from the system folder), of the console's session
  // (WTSGetActiveConsoleSessionId) for a process of session 0. session_accounts_win32.cpp.
  SessionAccounts Accounts() override;
  // ShellExecuteExW with "runas" and SEE_MASK_NOASYNC; the copy is marked by the environment
  // variable kElevatedCopyVariable, which a copy started without elevation inherits.
  ElevatedStart StartElevatedCopy(const std::vector<WString>& arguments) override;
  bool IsElevatedCopy() override;
  std::unique_ptr<InstanceMarker> CreateInstanceMarker(const WString& name,
                                                       bool& alreadyExisted) override;
  bool InitialiseCommonControls(uint32_t size, uint32_t classMask) override;
  bool StartSockets() override;
  bool RegisterForRestart() override;
  void DebugOutput(std::string_view text) override;
  void StandardOutput(std::string_view text) override;

 private:
  bool socketsStarted_ = false;
};

}  // namespace kestrava
