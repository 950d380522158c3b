#include "platform/win32/shell_win32.h"

#include "platform/win32/scoped.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32.h"

namespace kestrava {

using win32::Wide;

namespace {

// How long an ended process may take to go.
constexpr DWORD kEndedProcessWaitMs = 5000;

// The known folders, named here because the toolchain declares them only for newer target
// versions than the program's.
constexpr GUID kFolderProgramFiles = {
    0x905E63B6, 0xC1BF, 0x494E, {0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3, 0xD2, 0x1A}};
constexpr GUID kFolderProgramFilesX86 = {
    0x7C5A40EF, 0xA0FB, 0x4BFC, {0x87, 0x4A, 0xC0, 0xF2, 0xE0, 0xB9, 0xFA, 0x8E}};
constexpr int kCsidlProgramFiles = 0x0026;     // CSIDL_PROGRAM_FILES
constexpr int kCsidlProgramFilesX86 = 0x002A;  // CSIDL_PROGRAM_FILESX86

using GetKnownFolderPathFn = HRESULT(WINAPI*)(const GUID& id, DWORD flags, HANDLE token,
                                              PWSTR* path);
using TaskMemFreeFn = void(WINAPI*)(LPVOID memory);

// The folder by the known-folder call; nothing when the system lacks it.
std::optional<WString> KnownFolderPath(const GUID& id) {
  const auto get = win32::LoadedFunction<GetKnownFolderPathFn>(L"shell32", "SHGetKnownFolderPath");
  if (!get) return std::nullopt;
  // The answer is the caller's to free with CoTaskMemFree, also after a failure.
  static const HMODULE ole32 = win32::LoadSystemLibrary(L"ole32.dll");
  const auto free = win32::FunctionOf<TaskMemFreeFn>(ole32, "CoTaskMemFree");
  PWSTR path = nullptr;
  const HRESULT result = get(id, 0, nullptr, &path);
  WString folder = SUCCEEDED(result) && path ? win32::FromWide(path) : WString();
  if (path && free) free(path);
  return folder;
}

}  // namespace

std::optional<uint32_t> Win32Shell::RunHiddenAndWait(const WString& program,
                                                     const WString& parameters,
                                                     uint32_t timeoutMs) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = nullptr;
  info.lpVerb = L"open";
  info.lpFile = Wide(program);
  info.lpParameters = parameters.empty() ? nullptr : Wide(parameters);
  info.lpDirectory = nullptr;
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info)) return std::nullopt;
  // A program started through DDE or an already running instance leaves no process to wait
  // for.
  win32::ScopedKernelHandle process(info.hProcess);
  if (!process) return std::nullopt;
  if (WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
    // A hidden process that no one can answer or close would otherwise stay for good.
    TerminateProcess(process.Get(), ERROR_TIMEOUT);
    WaitForSingleObject(process.Get(), kEndedProcessWaitMs);
    return std::nullopt;
  }
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process.Get(), &exitCode)) return std::nullopt;
  return exitCode;
}

bool Win32Shell::OpenAddress(const WString& address) {
  // ShellExecuteW answers with a number above 32 on success.
  const auto result = reinterpret_cast<intptr_t>(
      ShellExecuteW(nullptr, L"open", Wide(address), nullptr, nullptr, SW_HIDE));
  return result > 32;
}

WString Win32Shell::SystemFolder() {
  // Under WOW64 a 32-bit process is given "C:\WINDOWS\system32" too, and its file accesses
  // there are redirected to SysWOW64, where the 32-bit system commands are: what it runs from
  // this folder is still the system's own program.
  return win32::SystemFolder();
}

WString Win32Shell::ProgramFilesFolder(ProgramFiles which) {
  if (const std::optional<WString> known = KnownFolderPath(
          which == ProgramFiles::kX86 ? kFolderProgramFilesX86 : kFolderProgramFiles)) {
    return *known;
  }
  return ProgramFilesByFolderPath(which);
}

WString Win32Shell::ProgramFilesByFolderPath(ProgramFiles which) {
  wchar_t path[MAX_PATH] = {};
  const int csidl = which == ProgramFiles::kX86 ? kCsidlProgramFilesX86 : kCsidlProgramFiles;
  if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
    return WString();
  }
  return win32::FromWide(path);
}

}  // namespace kestrava
