// Entry point of the Windows program: restricts where libraries are loaded from, builds the
// Win32 services and hands over to the application.
#include "app/application.h"
#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32.h"
#include "platform/win32/win32_services.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything loads a library: none may come from the program's own folder.
  kestrava::win32::RestrictLibrarySearchToSystemFolder();
  // The services are made before the host and go after it: the host waits for its workers
  // when it goes, and the workers use the services.
  kestrava::Win32Services services;
  kestrava::Win32DialogHost dialog;
  kestrava::CBrevantApp app(services.With(dialog));
  return app.Run();
}
