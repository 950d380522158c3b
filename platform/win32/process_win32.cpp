#include "platform/win32/process_win32.h"

#include <string>
#include <vector>

#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

class Win32InstanceMarker final : public InstanceMarker {
 public:
  explicit Win32InstanceMarker(HANDLE mutex) : mutex_(mutex) {}

 private:
  win32::ScopedKernelHandle mutex_;
};

}  // namespace

Win32Process::~Win32Process() {
  if (socketsStarted_) WSACleanup();
}

WString Win32Process::ProgramFilePath() {
  return ModuleFilePath();
}

std::vector<WString> Win32Process::Arguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<WString> arguments;
  if (!words) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(win32::FromWide(words[i]));
  LocalFree(words);
  return arguments;
}

bool Win32Process::IsElevated() {
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                0, 0, 0, 0, 0, 0, &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  const bool checked = CheckTokenMembership(nullptr, administrators, &member) != FALSE;
  FreeSid(administrators);
  return checked && member;
}

ElevatedStart Win32Process::StartElevatedCopy(const std::vector<WString>& arguments) {
  const WString program = ModuleFilePath();
  const WString parameters = QuotedArguments(arguments);
  std::vector<wchar_t> folder(MAX_PATH);
  for (;;) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    if (length < folder.size()) break;
    folder.resize(length + 1);
  }
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // The caller ends as soon as this returns: the start must be complete by then.
  info.fMask = SEE_MASK_NOASYNC;
  info.lpVerb = L"runas";
  info.lpFile = win32::Wide(program);
  info.lpParameters = parameters.empty() ? nullptr : win32::Wide(parameters);
  info.lpDirectory = folder[0] ? folder.data() : nullptr;
  info.nShow = SW_SHOWNORMAL;
  // Inherited by a copy that starts without elevation, which is then not asked to start again.
  SetEnvironmentVariableW(kElevatedCopyVariable, L"1");
  const bool started = ShellExecuteExW(&info) != FALSE;
  const DWORD error = started ? ERROR_SUCCESS : GetLastError();
  SetEnvironmentVariableW(kElevatedCopyVariable, nullptr);
  if (started) return ElevatedStart::kStarted;
  return error == ERROR_CANCELLED ? ElevatedStart::kRefused : ElevatedStart::kFailed;
}

bool Win32Process::IsElevatedCopy() {
  wchar_t value[4] = {};
  return GetEnvironmentVariableW(kElevatedCopyVariable, value, 4) > 0;
}

WString ModuleFilePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return WString();
    if (length < size) return win32::FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // truncated: a path longer than MAX_PATH
  }
}

std::unique_ptr<InstanceMarker> Win32Process::CreateInstanceMarker(const WString& name,
                                                                   bool& alreadyExisted) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, win32::Wide(name));
  alreadyExisted = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  return std::make_unique<Win32InstanceMarker>(mutex);
}

bool Win32Process::InitialiseCommonControls(uint32_t size, uint32_t classMask) {
  INITCOMMONCONTROLSEX init{};
  init.dwSize = size;
  init.dwICC = classMask;
  return InitCommonControlsEx(&init) != 0;
}

bool Win32Process::StartSockets() {
  if (socketsStarted_) return true;
  WSADATA data{};
  socketsStarted_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  return socketsStarted_;
}

bool Win32Process::RegisterForRestart() {
  // Windows Vista and later only; looked up so that the program still loads on older systems.
  using RegisterFn = HRESULT(WINAPI*)(PCWSTR, DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32");
  if (!kernel) return false;
  auto fn = reinterpret_cast<RegisterFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "RegisterApplicationRestart")));
  return fn && SUCCEEDED(fn(nullptr, 0));
}

void Win32Process::DebugOutput(std::string_view text) {
  OutputDebugStringA(std::string(text).c_str());
}

void Win32Process::StandardOutput(std::string_view text) {
  // A GUI program usually has no standard output; then the trace goes nowhere.
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace kestrava
