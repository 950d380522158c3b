// Drives the running program's dialog from outside, by control id, the way a user's clicks
// and a screen reader see it. One command per run, so that a script can take screenshots in
// between:
//   gui_probe wait                          wait for the dialog (up to 60 s)
//   gui_probe check LANGUAGE RELEASE-RADIO  check captions, selections and fields
//   gui_probe language ITEM                 choose an item of the language list
//   gui_probe close                         end the dialog (Escape) and wait until it is gone
//   gui_probe second PROGRAM LANGUAGE       start PROGRAM again: expect the second-instance
//                                           message and no dialog, answer it, expect the end
//   gui_probe close-early FOLDER...         wait for the dialog (polled every 5 ms) and end it
//                                           at once; tell whether each FOLDER\Receipt.ini of
//                                           the payload was there by then
//   gui_probe modules LIBRARY...            nothing is loaded from the program's folder, each
//                                           LIBRARY is loaded from the system folder
//   gui_probe no-window PROGRAM STOP-FILE   no process of PROGRAM shows a window until
//                                           STOP-FILE exists
//   gui_probe fit [DPI]                     every text fits its control with the fonts of DPI
//                                           (the display's by default), a Bluetooth printer's
//                                           name and address and the address 255.255.255.255
//                                           among them
//   gui_probe layout                        the right-hand column shares its left edge and
//                                           width, nothing overlaps, nothing leaves the client
//                                           area (see gui_layout.h)
//   gui_probe dpi-change FROM TO            WM_DPICHANGED as Windows sends it when the window
//                                           moves from a display of FROM DPI to one of TO: the
//                                           suggested size taken, every control grown with it
//   gui_probe keys STEP...                  key presses to the dialog, as a user makes them,
//                                           each checked for where it leaves the focus (see
//                                           gui_keys.h; the dialog brought to the front)
//   gui_probe exit-code PROGRAM ARG...      runs PROGRAM with the arguments, its output on the
//                                           probe's own, and prints its whole exit code (Wine
//                                           hands only its low eight bits to the shell)
//   gui_probe ROAD-COMMAND ...              see gui_road_commands.cpp
// Exits 0 when every check holds; prints each one that does not.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/dialog/captions.h"
#include "app/dialog/message_table.h"
#include "app/language.h"
#include "platform/win32/win32.h"
#include "tests/wine/gui_fit.h"
#include "tests/wine/gui_keys.h"
#include "tests/wine/gui_layout.h"
#include "tests/wine/gui_modules.h"
#include "tests/wine/gui_road_commands.h"
#include "tests/wine/gui_window_watch.h"
#include "tests/wine/gui_windows.h"

namespace {

using kestrava::Utf16ToUtf8;
using kestrava::WString;
using namespace kestrava::gui;

int CheckedIn(HWND dialog, std::initializer_list<int> ids) {
  for (int id : ids) {
    if (SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED) return id;
  }
  return 0;
}

int Check(HWND dialog, int language, int releaseRadio) {
  const WString title = FromWide(TextOf(dialog));
  for (const kestrava::Caption& caption : kestrava::kCaptions) {
    const WString expected = caption.text.For(language);
    if (caption.target == kestrava::kWindowTitle) {
      Expect(title == expected, "title \"" + Utf16ToUtf8(title) + "\"");
    } else {
      ExpectText(dialog, caption.target, expected);
    }
  }
  ExpectText(dialog, 1008, kestrava::FormatOsMessage(language, u"Windows 10", u"x64"));
  ExpectText(dialog, 1025, u"Port Check");
  const int os = CheckedIn(dialog, {1002, 1007, 1005, 1003, 1004, 1006, 1042});
  Expect(os == releaseRadio, "checked OS radio " + std::to_string(os));
  Expect(CheckedIn(dialog, {1014, 1013, 1012, 1011, 1017, 1016}) == 1014, "model RT-80C");
  Expect(CheckedIn(dialog, {1034, 1048, 1049, 1057}) == 1034, "interface USB");

  HWND languages = GetDlgItem(dialog, 1046);
  Expect(Items(languages) == std::vector<std::wstring>{L"Chinese", L"English", L"Japanese"},
         "language list items");
  const LRESULT item = SendMessageW(languages, CB_GETCURSEL, 0, 0);
  Expect(item == kestrava::LanguageListItem(language),
         "language list selection " + std::to_string(item));
  HWND baud = GetDlgItem(dialog, 1053);
  Expect(Items(baud) == std::vector<std::wstring>{L"9600", L"19200", L"38400", L"115200"},
         "baud rates");
  Expect(SendMessageW(baud, CB_GETCURSEL, 0, 0) == 1, "19200 selected");
  Expect(!IsWindowVisible(baud) && !IsWindowVisible(GetDlgItem(dialog, 1050)),
         "baud list and address field hidden for USB");
  const std::wstring address = AddressText(GetDlgItem(dialog, 1050));
  Expect(address == L"192.168.1.100", "address field " + Utf16ToUtf8(FromWide(address)));
  return Failures() == 0 ? 0 : 1;
}

int SecondInstance(const wchar_t* program, int language) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + std::wstring(program) + L"\"";
  if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("FAIL: cannot start the second instance (%lu)\n", GetLastError());
    return 1;
  }
  HWND box = WaitFor(process.dwProcessId, true, 60);
  Expect(box != nullptr, "a message box from the second instance");
  Expect(Find(process.dwProcessId, false) == nullptr, "no dialog of its own");
  if (box) {
    const char16_t* expected = language == kestrava::kChinese ? u"应用程序已打开"
                               : language == kestrava::kJapanese ? u"アプリケーションは開いています"
                                                                 : u"Application is open";
    ExpectText(box, 0xFFFF, expected);
    Expect(TextOf(box) == L"KestravaSetup", "box title " + Utf16ToUtf8(FromWide(TextOf(box))));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  Expect(WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0, "the second instance ends");
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return Failures() == 0 ? 0 : 1;
}

// The program's command line: each argument quoted, its quotes and the backslashes before them
// escaped, as CommandLineToArgvW reads them back.
std::wstring Quoted(const std::vector<std::wstring>& words) {
  std::wstring line;
  for (const std::wstring& word : words) {
    if (!line.empty()) line += L' ';
    line += L'"';
    size_t backslashes = 0;
    for (wchar_t c : word) {
      if (c == L'\\') {
        ++backslashes;
        continue;
      }
      line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
      backslashes = 0;
      line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
  }
  return line;
}

int ExitCodeOf(const std::vector<std::wstring>& words) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring command = Quoted(words);
  std::fflush(stdout);
  if (!CreateProcessW(words[0].c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("FAIL: cannot start the program (%lu)\n", GetLastError());
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::printf("exit code %lu\n", code);
  return 0;
}

// Ends the dialog the moment it appears, while the payload worker has only just begun.
int CloseEarly(const std::vector<std::wstring>& folders) {
  HWND dialog = nullptr;
  for (int i = 0; i < 12000 && !dialog; ++i) {  // up to a minute
    dialog = Find(0, false);
    if (!dialog) Sleep(5);
  }
  if (!dialog) {
    std::printf("FAIL: no dialog\n");
    return 1;
  }
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  int unpacked = 0;
  for (const std::wstring& folder : folders) {
    if (GetFileAttributesW((folder + L"\\Receipt.ini").c_str()) != INVALID_FILE_ATTRIBUTES) {
      ++unpacked;
    }
  }
  std::printf("closed with %d of %u platform folders unpacked\n", unpacked,
              static_cast<unsigned>(folders.size()));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring command = argv[1];
  if (command == L"second" && argc == 4) return SecondInstance(argv[2], _wtoi(argv[3]));
  if (command == L"no-window" && argc == 4) return kestrava::gui::WatchForWindows(argv[2], argv[3]);
  if (command == L"exit-code" && argc >= 3) {
    return ExitCodeOf(std::vector<std::wstring>(argv + 2, argv + argc));
  }
  if (command == L"close-early") {
    return CloseEarly(std::vector<std::wstring>(argv + 2, argv + argc));
  }
  HWND dialog = WaitFor(0, false, command == L"wait" ? 60 : 5);
  if (!dialog) {
    std::printf("FAIL: no dialog\n");
    return 1;
  }
  if (command == L"wait") return 0;
  if (command == L"fit" && argc <= 3) {
    return kestrava::gui::CheckFit(dialog, argc == 3 ? _wtoi(argv[2]) : 0);
  }
  if (command == L"layout") return kestrava::gui::CheckLayout(dialog);
  if (command == L"dpi-change" && argc == 4) {
    return kestrava::gui::CheckDpiChange(dialog, _wtoi(argv[2]), _wtoi(argv[3]));
  }
  if (command == L"keys") {
    return kestrava::gui::PressKeys(dialog, std::vector<std::wstring>(argv + 2, argv + argc));
  }
  if (command == L"modules") {
    return kestrava::gui::CheckModules(dialog, std::vector<std::wstring>(argv + 2, argv + argc));
  }
  if (command == L"check" && argc == 4) return Check(dialog, _wtoi(argv[2]), _wtoi(argv[3]));
  if (command == L"language" && argc == 3) {
    HWND list = GetDlgItem(dialog, 1046);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(_wtoi(argv[2])), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1046, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return 0;
  }
  if (const int result =
          kestrava::gui::RoadCommand(dialog, std::vector<std::wstring>(argv + 1, argv + argc));
      result >= 0) {
    return result;
  }
  if (command == L"close") {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(100);
    return IsWindow(dialog) ? 1 : 0;
  }
  return 2;
}
