// Scratch folders for the Win32 contract tests, in the prefix's temporary folder.
#include <string>

#include "platform/win32/adapters_win32.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/file_security_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/icmp_win32.h"
#include "platform/win32/print_graphics_win32.h"
#include "platform/win32/print_spooler_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/udp_socket_win32.h"
#include "platform/win32/win32.h"
#include "tests/platform/scratch.h"

namespace kestrava {

namespace {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !link) {
        RemoveTree(path);
      } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(path.c_str());
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

BOOL WINAPI NoteCtrlC(DWORD) {
  return TRUE;
}

}  // namespace

bool OwnConsole() {
  static const bool made = [] {
    FreeConsole();
    if (!AllocConsole()) return false;
    HANDLE screen =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD mode = 0;
    return screen != INVALID_HANDLE_VALUE && GetConsoleMode(screen, &mode) &&
           SetStdHandle(STD_OUTPUT_HANDLE, screen) != FALSE;
  }();
  return made;
}

std::unique_ptr<SystemInfo> MakeWin32SystemInfo() {
  return std::make_unique<Win32SystemInfo>();
}

std::unique_ptr<Process> MakeWin32Process() {
  return std::make_unique<Win32Process>();
}

std::unique_ptr<Clock> MakeWin32Clock() {
  return std::make_unique<Win32Clock>();
}

std::unique_ptr<UdpSockets> MakeWin32UdpSockets() {
  return std::make_unique<Win32UdpSockets>();
}

std::unique_ptr<Icmp> MakeWin32Icmp() {
  return std::make_unique<Win32Icmp>();
}

std::unique_ptr<AdapterTable> MakeWin32AdapterTable() {
  return std::make_unique<Win32AdapterTable>();
}

std::unique_ptr<RegistryUnderTest> MakeWin32Registry() {
  static int counter = 0;
  auto subject = std::make_unique<RegistryUnderTest>();
  subject->registry = std::make_unique<Win32Registry>();
  subject->base =
      u"SOFTWARE\\KestravaContract-" +
      WidenAscii(std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
  subject->registry->DeleteMachineKeyTree(subject->base);
  return subject;
}

std::unique_ptr<FilesUnderTest> MakeWin32Files() {
  static int counter = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"kestrava-contract-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
  RemoveTree(folder);
  if (!CreateDirectoryW(folder.c_str(), nullptr)) return nullptr;

  auto subject = std::make_unique<FilesUnderTest>();
  subject->files = std::make_unique<Win32Files>();
  subject->base = win32::FromWide(folder.c_str()) + u"\\";
  subject->makeReadOnly = [](const WString& path) {
    return SetFileAttributesW(win32::Wide(path), FILE_ATTRIBUTE_READONLY) != 0;
  };
  subject->makeFolderLink = [](const WString& link, const WString& target) {
    using CreateLinkFn = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    auto fn = reinterpret_cast<CreateLinkFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "CreateSymbolicLinkW")));
    const DWORD directoryLink = 1;  // SYMBOLIC_LINK_FLAG_DIRECTORY
    // Some systems (Wine) answer success without making anything: look.
    return fn && fn(win32::Wide(link), win32::Wide(target), directoryLink) != 0 &&
           GetFileAttributesW(win32::Wide(link)) != INVALID_FILE_ATTRIBUTES;
  };
  subject->cleanup = [folder] { RemoveTree(folder); };
  return subject;
}

std::unique_ptr<FileSecurityUnderTest> MakeWin32FileSecurity() {
  std::unique_ptr<FilesUnderTest> scratch = MakeWin32Files();
  if (!scratch) return nullptr;
  auto subject = std::make_unique<FileSecurityUnderTest>();
  subject->security = std::make_unique<Win32FileSecurity>();
  subject->files = std::move(scratch->files);
  subject->base = scratch->base;
  subject->makeFolderLink = scratch->makeFolderLink;
  subject->cleanup = scratch->cleanup;
  // A DACL no system would make of a file mode, set and read back.
  const WString probe = subject->base + u"keeps";
  const std::vector<AccessEntry> odd = {
      {u"S-1-5-32-551", 0x00120089, 0, false}};  // Backup Operators
  ObjectSecurity back;
  subject->keepsDescriptors = CreateDirectoryW(win32::Wide(probe), nullptr) &&
                              subject->security->Protect(probe, WString(), odd) &&
                              subject->security->Read(probe, back) && back.daclProtected &&
                              back.dacl == odd;
  RemoveDirectoryW(win32::Wide(probe));
  return subject;
}

std::unique_ptr<SpoolerUnderTest> MakeWin32Spooler() {
  static int counter = 0;
  auto subject = std::make_unique<SpoolerUnderTest>();
  subject->spooler = std::make_unique<Win32PrintSpooler>();
  subject->files = std::make_unique<Win32Files>();
  subject->prefix = u"KestravaContract-" + WidenAscii(std::to_string(GetCurrentProcessId()) + "-" +
                                                      std::to_string(++counter));
  // Wine's spooler takes a driver without its files and a second printer of a name that
  // exists; Windows' does not.
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll"), "wine_get_version") != nullptr;
  subject->checksLikeWindows = !wine;
  subject->pendsDeletion = !wine;
  // Windows' spooler is a 64-bit service on 64-bit Windows and uses the x64 drivers for every
  // program; Wine's spooler gives a 32-bit program's printers the drivers of Windows NT x86
  // (an x64 driver is refused as unknown).
  const bool x64 = sizeof(void*) == 8 || (!wine && ProcessIsWow64());
  subject->environment = x64 ? u"Windows x64" : u"Windows NT x86";
  return subject;
}

std::unique_ptr<ShellUnderTest> MakeWin32Shell() {
  std::unique_ptr<FilesUnderTest> scratch = MakeWin32Files();
  if (!scratch) return nullptr;
  auto subject = std::make_unique<ShellUnderTest>();
  subject->shell = std::make_unique<Win32Shell>();
  subject->files = std::move(scratch->files);
  subject->scratch = scratch->base;
  // The probe is built beside the test programs.
  const WString self = ModuleFilePath();
  subject->probe = self.substr(0, self.rfind(u'\\') + 1) + u"show_window_probe.exe";
  subject->folderPathFallback = &Win32Shell::ProgramFilesByFolderPath;
  subject->cleanup = [cleanup = scratch->cleanup, probe = subject->probe] {
    DeleteFileW(win32::Wide(probe + u".txt"));
    cleanup();
  };
  subject->ownConsole = [] {
    // The test process notes the signal and goes on: a handler, not the flag that ignores
    // Ctrl+C, which its children would inherit.
    return OwnConsole() && SetConsoleCtrlHandler(NoteCtrlC, TRUE);
  };
  subject->pressCtrlC = [] { GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0); };
  return subject;
}

std::unique_ptr<GraphicsUnderTest> MakeWin32Graphics() {
  auto subject = std::make_unique<GraphicsUnderTest>();
  subject->graphics = std::make_unique<Win32PrintGraphics>();
  subject->printers = MakeWin32Spooler();
  auto bitmaps = std::make_shared<std::vector<HBITMAP>>();
  subject->makePicture = [bitmaps](int width, int height) {
    HBITMAP bitmap = CreateBitmap(width, height, 1, 32, nullptr);
    if (!bitmap) return Picture{};
    bitmaps->push_back(bitmap);
    return Picture{reinterpret_cast<uintptr_t>(bitmap), width, height};
  };
  subject->cleanup = [bitmaps] {
    for (HBITMAP bitmap : *bitmaps) DeleteObject(bitmap);
  };
  return subject;
}

}  // namespace kestrava
