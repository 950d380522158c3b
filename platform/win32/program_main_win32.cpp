// Entry point of the Windows program: builds the Win32 services and hands over to the
// application.
#include "install/install_engine.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kestrava::Win32SystemInfo system;
  kestrava::InstallEngine engine(system);
  const char* release = "Unknow";
  const char* architecture = "Unknown";
  engine.DetectPlatform(release, architecture);
  const kestrava::WString text =
      kestrava::FormatText(u"%s %s", {system.AnsiToWide(release), system.AnsiToWide(architecture)});
  MessageBoxW(nullptr, kestrava::win32::Wide(text), L"KestravaSetup", MB_OK | MB_ICONINFORMATION);
  return 0;
}
