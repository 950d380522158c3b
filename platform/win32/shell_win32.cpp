#include "platform/win32/shell_win32.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/scoped.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32.h"

namespace kestrava {

using win32::Wide;

namespace {

// How long an ended process may take to go.
constexpr DWORD kEndedProcessWaitMs = 5000;
// How often the output pipe is emptied while the process runs: a full pipe would stop it.
constexpr DWORD kOutputPollMs = 20;

// Reads what the pipe holds now, without waiting for more: a process the program started may
// have left a child of its own that holds the pipe open.
void Drain(HANDLE pipe, std::string& kept) {
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
    char buffer[4096];
    DWORD got = 0;
    if (!ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) || got == 0) return;
    const size_t room = kLongestCommandOutput - std::min(kept.size(), kLongestCommandOutput);
    kept.append(buffer, std::min<size_t>(got, room));
  }
}

WString FromOemCodePage(const std::string& bytes) {
  if (bytes.empty()) return WString();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return WString();
  std::vector<wchar_t> text(static_cast<size_t>(length));
  MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, text.data(), length);
  return win32::FromWide(text.data(), text.size());
}

// Waits for the process to end within `timeoutMs`, emptying `pipe` meanwhile when there is
// one. True when it ended.
bool WaitForEnd(HANDLE process, HANDLE pipe, uint32_t timeoutMs, std::string& kept) {
  if (!pipe) return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    const DWORD left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
    const DWORD waited = WaitForSingleObject(process, std::min(left, kOutputPollMs));
    Drain(pipe, kept);
    if (waited == WAIT_OBJECT_0) return true;
    if (waited != WAIT_TIMEOUT || left == 0) return false;
  }
}

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
                                                     const WString& parameters, uint32_t timeoutMs,
                                                     WString* output) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  win32::ScopedKernelHandle readEnd;
  win32::ScopedKernelHandle writeEnd;
  if (output) {
    // Only the write end is inherited, by the one process started here.
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherited, 0)) return std::nullopt;
    readEnd.Reset(read);
    writeEnd.Reset(write);
    if (!SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0)) return std::nullopt;
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = write;
    startup.hStdError = write;
  }
  // The program is named twice: as the file to run (no search along the path) and as the
  // first word of its command line, quoted, as a program expects to find itself.
  std::wstring commandLine = L"\"" + std::wstring(Wide(program)) + L"\"";
  if (!parameters.empty()) commandLine += L" " + std::wstring(Wide(parameters));
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(Wide(program), commandLine.data(), nullptr, nullptr, output != nullptr,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started)) {
    return std::nullopt;
  }
  win32::ScopedKernelHandle process(started.hProcess);
  win32::ScopedKernelHandle thread(started.hThread);
  // The process has its own copy now; the pipe ends when every copy is closed.
  writeEnd.Reset();
  std::string kept;
  const bool ended = WaitForEnd(process.Get(), readEnd.Get(), timeoutMs, kept);
  if (!ended) {
    // A hidden process that no one can answer or close would otherwise stay for good.
    TerminateProcess(process.Get(), ERROR_TIMEOUT);
    WaitForSingleObject(process.Get(), kEndedProcessWaitMs);
  }
  if (output) {
    Drain(readEnd.Get(), kept);
    *output = FromOemCodePage(kept);
  }
  if (!ended) return std::nullopt;
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
