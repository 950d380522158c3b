// Entry point of the Windows program: builds the Win32 services and hands over to the
// application.
#include "app/application.h"
#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/win32.h"
#include "platform/win32/win32_services.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kestrava::Win32DialogHost dialog;
  kestrava::Win32Services services;
  kestrava::CBrevantApp app(services.With(dialog));
  return app.InitApplicationInstance() ? 1 : 0;
}
