// console_probe PROGRAM: where the command line's lines arrive for real (PROGRAM a Windows path
// or one of the build machine, which Wine has on Z:). The probe makes a
// console of its own (AllocConsole), a serial port COM42 in the volatile serial device map, and
// starts PROGRAM four times for `ports` and for the Japanese usage (`/? --language ja`):
//   console       nothing redirected: the program attaches to the probe's console; its lines
//                 are read back with ReadConsoleOutputCharacterW
//   error-to-file standard output handed over as the console's own handle, standard error on a
//                 file ("2>err.txt"): the lines still on the console, nothing in the file
//   file          standard output on a file: UTF-8 bytes, no byte order mark
//   pipe          standard output on a pipe: the same bytes
// Each run must end with 0. Prints each check that fails; exits 0 when all hold.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line/unattended_texts.h"
#include "app/language.h"
#include "platform/win32/win32.h"

namespace {

using kestrava::Utf16ToUtf8;
using kestrava::WString;

constexpr const wchar_t* kSerialMap = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const wchar_t* kProbePort = L"\\Device\\KestravaConsoleProbe";
const WString kPortsLine = u"com\tCOM42\tserial port";

int failures = 0;

void Expect(bool holds, const std::string& what) {
  if (holds) return;
  std::printf("FAIL: %s\n", what.c_str());
  ++failures;
}

// A console shows a tab as the spaces to the next multiple of eight.
WString TabsExpanded(const WString& line) {
  WString shown;
  for (char16_t c : line) {
    if (c != u'\t') {
      shown += c;
      continue;
    }
    do shown += u' ';
    while (shown.size() % 8 != 0);
  }
  return shown;
}

bool HasLine(const std::vector<WString>& lines, const WString& line) {
  for (const WString& each : lines) {
    if (each == line || each == TabsExpanded(line)) return true;
  }
  return false;
}

std::string Shown(const std::vector<WString>& lines) {
  std::string all;
  for (const WString& line : lines) all += "\n    | " + Utf16ToUtf8(line);
  return all;
}

HANDLE Screen() {
  return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

void ClearScreen() {
  HANDLE screen = Screen();
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (GetConsoleScreenBufferInfo(screen, &info)) {
    DWORD done = 0;
    FillConsoleOutputCharacterW(
        screen, L' ', static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y),
        COORD{0, 0}, &done);
    SetConsoleCursorPosition(screen, COORD{0, 0});
  }
  CloseHandle(screen);
}

std::vector<WString> ScreenLines() {
  std::vector<WString> lines;
  HANDLE screen = Screen();
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (GetConsoleScreenBufferInfo(screen, &info)) {
    std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
      DWORD got = 0;
      if (!ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(row.size()),
                                       COORD{0, y}, &got)) {
        break;
      }
      WString line = kestrava::win32::FromWide(row.data(), got);
      while (!line.empty() && line.back() == u' ') line.pop_back();
      lines.push_back(line);
    }
  }
  CloseHandle(screen);
  return lines;
}

std::vector<WString> LinesOf(const std::string& bytes) {
  std::vector<WString> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(kestrava::Utf8ToUtf16(bytes.substr(start, end - start)));
  }
  return lines;
}

// Runs the program with `arguments`; with STARTF_USESTDHANDLES when `output` is given.
DWORD Run(const std::wstring& program, const std::wstring& arguments, HANDLE output, HANDLE error) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = error ? error : output;
  }
  std::wstring command = L"\"" + program + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, output != nullptr, 0,
                      nullptr, nullptr, &startup, &process)) {
    Expect(false, "the program starts (" + std::to_string(GetLastError()) + ")");
    return 1;
  }
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

HANDLE InheritedFile(const std::wstring& path, bool write) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
}

std::string FileBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = InheritedFile(path, false);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

struct Command {
  const char* what;
  std::wstring arguments;
  WString line;  // a line it writes
};

void CheckBytes(const Command& command, const char* where, const std::string& bytes) {
  Expect(bytes.rfind("\xEF\xBB\xBF", 0) != 0, std::string(where) + ": no byte order mark");
  Expect(HasLine(LinesOf(bytes), command.line), std::string(command.what) + " to a " + where +
                                                    ": \"" + Utf16ToUtf8(command.line) +
                                                    "\" among" + Shown(LinesOf(bytes)));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::printf("usage: console_probe PROGRAM\n");
    return 2;
  }
  // A path of the build machine is on Wine's drive Z:.
  std::wstring program = argv[1];
  if (!program.empty() && program[0] == L'/') {
    for (wchar_t& c : program) c = c == L'/' ? L'\\' : c;
    program = L"Z:" + program;
  }
  HKEY map = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSerialMap, 0, nullptr, REG_OPTION_VOLATILE,
                      KEY_SET_VALUE, nullptr, &map, nullptr) != ERROR_SUCCESS) {
    std::printf("FAIL: the serial device map cannot be written\n");
    return 1;
  }
  RegSetValueExW(map, kProbePort, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"COM42"),
                 sizeof L"COM42");
  FreeConsole();
  if (!AllocConsole()) {
    std::printf("FAIL: no console of the probe's own (%lu)\n", GetLastError());
    return 1;
  }
  const Command commands[] = {
      {"ports", L"ports", kPortsLine},
      {"the Japanese usage", L"/? --language ja", kestrava::cli::Usage(kestrava::kJapanese)[0]},
  };
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring out = std::wstring(temp) + L"kestrava-console-out.txt";
  const std::wstring err = std::wstring(temp) + L"kestrava-console-err.txt";
  for (const Command& command : commands) {
    ClearScreen();
    Expect(Run(program, command.arguments, nullptr, nullptr) == 0,
           std::string(command.what) + " on the console: exit code 0");
    std::vector<WString> shown = ScreenLines();
    Expect(HasLine(shown, command.line), std::string(command.what) + " on the console: \"" +
                                             Utf16ToUtf8(command.line) + "\" among" + Shown(shown));

    ClearScreen();
    HANDLE screen = nullptr;
    HANDLE console = Screen();
    DuplicateHandle(GetCurrentProcess(), console, GetCurrentProcess(), &screen, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
    CloseHandle(console);
    HANDLE error = InheritedFile(err, true);
    Expect(Run(program, command.arguments, screen, error) == 0,
           std::string(command.what) + " with 2>err.txt: exit code 0");
    CloseHandle(error);
    CloseHandle(screen);
    shown = ScreenLines();
    Expect(HasLine(shown, command.line), std::string(command.what) +
                                             " with 2>err.txt, still on the console: \"" +
                                             Utf16ToUtf8(command.line) + "\" among" + Shown(shown));
    Expect(FileBytes(err).empty(), std::string(command.what) + ": nothing in err.txt");

    HANDLE file = InheritedFile(out, true);
    Expect(Run(program, command.arguments, file, nullptr) == 0,
           std::string(command.what) + " to a file: exit code 0");
    CloseHandle(file);
    CheckBytes(command, "file", FileBytes(out));

    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    CreatePipe(&read, &write, &inherited, 0);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    Expect(Run(program, command.arguments, write, nullptr) == 0,
           std::string(command.what) + " to a pipe: exit code 0");
    CloseHandle(write);
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
      bytes.append(buffer, got);
    CloseHandle(read);
    CheckBytes(command, "pipe", bytes);
  }
  DeleteFileW(out.c_str());
  DeleteFileW(err.c_str());
  RegDeleteValueW(map, kProbePort);
  RegCloseKey(map);
  std::printf("%s\n", failures == 0 ? "every line arrived" : "some lines did not arrive");
  return failures == 0 ? 0 : 1;
}
