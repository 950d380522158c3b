// Real implementations of the services, each with a scratch area of its own for the
// contract tests: the Win32 ones on Windows builds, the Linux host ones natively.
#pragma once

#include "tests/platform/implementations.h"

namespace kestrava {

#ifdef _WIN32
std::unique_ptr<SystemInfo> MakeWin32SystemInfo();
std::unique_ptr<FilesUnderTest> MakeWin32Files();
std::unique_ptr<FileSecurityUnderTest> MakeWin32FileSecurity();
std::unique_ptr<Process> MakeWin32Process();
std::unique_ptr<Clock> MakeWin32Clock();
std::unique_ptr<RegistryUnderTest> MakeWin32Registry();
std::unique_ptr<UdpSockets> MakeWin32UdpSockets();
std::unique_ptr<Icmp> MakeWin32Icmp();
std::unique_ptr<AdapterTable> MakeWin32AdapterTable();
std::unique_ptr<SpoolerUnderTest> MakeWin32Spooler();
std::unique_ptr<ShellUnderTest> MakeWin32Shell();
std::unique_ptr<GraphicsUnderTest> MakeWin32Graphics();
// Gives the test process a console of its own (once: FreeConsole, AllocConsole), its standard
// output the console's handle, open for reading and writing and shared for both, as a shell's
// is. False where the console does not work: Wine's needs a display for its window.
bool OwnConsole();
#else
std::unique_ptr<FilesUnderTest> MakePosixFiles();
#endif

}  // namespace kestrava
