// The console calls the contract test runs against: the strict fake everywhere and, on Windows
// builds, the Win32 ones in a console of the test's own (AllocConsole), where the process holds
// the console's handles as a shell does: for reading and writing, shared for both.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/console_api.h"
#include "tests/platform/implementations.h"

namespace kestrava {

struct ConsoleUnderTest {
  std::unique_ptr<ConsoleApi> api;  // attached to its console; its standard output is on it
  // A handle of each kind, closed by the test with api->Close. `readPipe` reads everything
  // written to the pipe's write end once that is closed; `readFile` the file's bytes.
  std::function<ConsoleHandle()> makeFile;
  std::function<std::string()> readFile;
  std::function<ConsoleHandle()> makePipe;
  std::function<std::string()> readPipe;
  std::function<ConsoleHandle()> makeNul;
  // The console's lines from its top, without trailing spaces, the empty ones at the end left
  // out.
  std::function<std::vector<WString>()> readScreen;
  // Ctrl+C at the console, to every process attached to it.
  std::function<void()> pressCtrlC;
  // Windows refuses an open that does not share what an open handle uses; Wine opens anyway.
  bool enforcesShareModes = true;
  std::function<void()> cleanup;
};

std::vector<Implementation<ConsoleUnderTest>> ConsoleImplementations();

#ifdef _WIN32
std::unique_ptr<ConsoleUnderTest> MakeWin32Console();
#endif

}  // namespace kestrava
