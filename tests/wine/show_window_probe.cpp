// Tells how the shell started it: writes "flags=<dwFlags> show=<wShowWindow>" of its start-up
// information into the file named by its first argument (or "<program>.txt" beside itself
// without one), after waiting the milliseconds of its third argument, and exits with the
// number of its second. With a fourth, it writes that word and a line end to its standard
// output and "error" and a line end to its standard error first. The shell contract test runs
// it to see a hidden window, a wait that lasts until the end and the output kept.
#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/win32/win32.h"

int wmain(int argc, wchar_t** argv) {
  STARTUPINFOW info{};
  info.cb = sizeof(info);
  GetStartupInfoW(&info);
  std::wstring output;
  if (argc > 1) {
    output = argv[1];
  } else {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    output = std::wstring(self) + L".txt";
  }
  if (argc > 4) {
    // Text mode: each line end is written as CR LF.
    std::printf("%ls\n", argv[4]);
    std::fflush(stdout);
    std::fprintf(stderr, "error\n");
    std::fflush(stderr);
  }
  if (argc > 3) Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
  FILE* file = _wfopen(output.c_str(), L"wb");
  if (!file) return 100;
  std::fprintf(file, "flags=%lu show=%u", static_cast<unsigned long>(info.dwFlags),
               static_cast<unsigned>(info.wShowWindow));
  std::fclose(file);
  return argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 0;
}
