// Who the process runs as, and who is logged on where it runs.
#include <vector>

#include "platform/win32/process_win32.h"
#include "platform/win32/scoped.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

// The terminal services' library is no KnownDLL: loaded from the system folder, once.
HMODULE TerminalServices() {
  static const HMODULE module = win32::LoadSystemLibrary(L"wtsapi32.dll");
  return module;
}

WString Joined(const WString& domain, const WString& name) {
  if (name.empty()) return WString();
  return domain.empty() ? name : domain + u"\\" + name;
}

WString ProcessAccount() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return WString();
  win32::ScopedKernelHandle token(opened);
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);  // the size only
  if (size == 0) return WString();
  std::vector<uint64_t> buffer(size / sizeof(uint64_t) + 1);  // aligned for the SID pointer
  if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return WString();
  const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
  wchar_t name[256] = {};
  wchar_t domain[256] = {};
  DWORD nameSize = 256;
  DWORD domainSize = 256;
  SID_NAME_USE use = SidTypeUnknown;
  if (!LookupAccountSidW(nullptr, user->User.Sid, name, &nameSize, domain, &domainSize, &use)) {
    return WString();
  }
  return Joined(win32::FromWide(domain), win32::FromWide(name));
}

// One text of a session's information; empty when the system does not give it.
WString SessionText(DWORD session, WTS_INFO_CLASS what) {
  static const auto query =
      KESTRAVA_SYSTEM_FUNCTION(TerminalServices(), WTSQuerySessionInformationW);
  static const auto release = KESTRAVA_SYSTEM_FUNCTION(TerminalServices(), WTSFreeMemory);
  if (!query || !release) return WString();
  LPWSTR text = nullptr;
  DWORD bytes = 0;
  if (!query(WTS_CURRENT_SERVER_HANDLE, session, what, &text, &bytes) || !text) return WString();
  WString value = win32::FromWide(text);
  release(text);
  return value;
}

// The process's session and the console's. Both functions are documented from Windows Vista
// on and looked up: without them (Windows XP without Terminal Services' additions) every
// process and the console's user share session 0.
DWORD ProcessSession() {
  using SessionOfFn = BOOL(WINAPI*)(DWORD, DWORD*);
  static const auto sessionOf =
      win32::LoadedFunction<SessionOfFn>(L"kernel32", "ProcessIdToSessionId");
  DWORD session = 0;
  if (sessionOf && !sessionOf(GetCurrentProcessId(), &session)) return 0;
  return session;
}

DWORD ConsoleSession() {
  using ConsoleSessionFn = DWORD(WINAPI*)();
  static const auto console =
      win32::LoadedFunction<ConsoleSessionFn>(L"kernel32", "WTSGetActiveConsoleSessionId");
  return console ? console() : 0;
}

}  // namespace

SessionAccounts Win32Process::Accounts() {
  SessionAccounts accounts;
  accounts.process = ProcessAccount();
  DWORD session = ProcessSession();
  // Session 0 holds the services (and, on Windows XP, the console's user as well).
  if (session == 0) session = ConsoleSession();
  if (session == 0xFFFFFFFF) return accounts;  // no one at the console
  accounts.loggedOn =
      Joined(SessionText(session, WTSDomainName), SessionText(session, WTSUserName));
  return accounts;
}

}  // namespace kestrava
