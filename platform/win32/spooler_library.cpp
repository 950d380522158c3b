#include "platform/win32/spooler_library.h"

#include "platform/win32/system_library.h"

namespace kestrava::win32::spool {

namespace {

// Loaded at the first call of any of its functions, and kept.
HMODULE Spooler() {
  static const HMODULE module = LoadSystemLibrary(L"winspool.drv");
  return module;
}

}  // namespace

#define SPOOLER_FUNCTION(name) static const auto call = KESTRAVA_SYSTEM_FUNCTION(Spooler(), name)

BOOL GetPrinterDriverDirectoryW(LPWSTR server, LPWSTR environment, DWORD level, LPBYTE directory,
                                DWORD size, LPDWORD needed) {
  SPOOLER_FUNCTION(GetPrinterDriverDirectoryW);
  return call ? call(server, environment, level, directory, size, needed) : MissingFunction(FALSE);
}

BOOL AddPrinterDriverW(LPWSTR server, DWORD level, LPBYTE driver) {
  SPOOLER_FUNCTION(AddPrinterDriverW);
  return call ? call(server, level, driver) : MissingFunction(FALSE);
}

BOOL DeletePrinterDriverW(LPWSTR server, LPWSTR environment, LPWSTR driver) {
  SPOOLER_FUNCTION(DeletePrinterDriverW);
  return call ? call(server, environment, driver) : MissingFunction(FALSE);
}

BOOL DeletePrinterDriverExW(LPWSTR server, LPWSTR environment, LPWSTR driver, DWORD deleteFlag,
                            DWORD versionFlag) {
  SPOOLER_FUNCTION(DeletePrinterDriverExW);
  return call ? call(server, environment, driver, deleteFlag, versionFlag) : MissingFunction(FALSE);
}

BOOL EnumPrinterDriversW(LPWSTR server, LPWSTR environment, DWORD level, LPBYTE drivers, DWORD size,
                         LPDWORD needed, LPDWORD returned) {
  SPOOLER_FUNCTION(EnumPrinterDriversW);
  return call ? call(server, environment, level, drivers, size, needed, returned)
              : MissingFunction(FALSE);
}

BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE printers, DWORD size,
                   LPDWORD needed, LPDWORD returned) {
  SPOOLER_FUNCTION(EnumPrintersW);
  return call ? call(flags, name, level, printers, size, needed, returned) : MissingFunction(FALSE);
}

HANDLE AddPrinterW(LPWSTR server, DWORD level, LPBYTE printer) {
  SPOOLER_FUNCTION(AddPrinterW);
  return call ? call(server, level, printer) : MissingFunction<HANDLE>(nullptr);
}

BOOL OpenPrinterW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults) {
  SPOOLER_FUNCTION(OpenPrinterW);
  return call ? call(name, printer, defaults) : MissingFunction(FALSE);
}

BOOL ClosePrinter(HANDLE printer) {
  SPOOLER_FUNCTION(ClosePrinter);
  return call ? call(printer) : MissingFunction(FALSE);
}

BOOL DeletePrinter(HANDLE printer) {
  SPOOLER_FUNCTION(DeletePrinter);
  return call ? call(printer) : MissingFunction(FALSE);
}

DWORD SetPrinterDataW(HANDLE printer, LPWSTR name, DWORD type, LPBYTE data, DWORD size) {
  SPOOLER_FUNCTION(SetPrinterDataW);
  return call ? call(printer, name, type, data, size)
              : MissingFunction<DWORD>(ERROR_PROC_NOT_FOUND);
}

DWORD GetPrinterDataW(HANDLE printer, LPWSTR name, LPDWORD type, LPBYTE data, DWORD size,
                      LPDWORD needed) {
  SPOOLER_FUNCTION(GetPrinterDataW);
  return call ? call(printer, name, type, data, size, needed)
              : MissingFunction<DWORD>(ERROR_PROC_NOT_FOUND);
}

LONG DocumentPropertiesW(HWND window, HANDLE printer, LPWSTR device, PDEVMODEW output,
                         PDEVMODEW input, DWORD mode) {
  SPOOLER_FUNCTION(DocumentPropertiesW);
  return call ? call(window, printer, device, output, input, mode) : MissingFunction<LONG>(-1);
}

BOOL SetDefaultPrinterW(LPCWSTR name) {
  SPOOLER_FUNCTION(SetDefaultPrinterW);
  return call ? call(name) : MissingFunction(FALSE);
}

BOOL GetDefaultPrinterW(LPWSTR buffer, LPDWORD size) {
  SPOOLER_FUNCTION(GetDefaultPrinterW);
  return call ? call(buffer, size) : MissingFunction(FALSE);
}

BOOL XcvDataW(HANDLE xcv, PCWSTR dataName, PBYTE input, DWORD inputSize, PBYTE output,
              DWORD outputSize, PDWORD outputNeeded, PDWORD status) {
  SPOOLER_FUNCTION(XcvDataW);
  return call ? call(xcv, dataName, input, inputSize, output, outputSize, outputNeeded, status)
              : MissingFunction(FALSE);
}

#undef SPOOLER_FUNCTION

}  // namespace kestrava::win32::spool
