// The print spooler's functions of winspool.drv, which is no KnownDLL: loaded at run time from
// the system folder only (system_library.h). Each has the name and the signature of the
// system's function; where the library or the function is missing, the call fails as the
// system's would, with ERROR_PROC_NOT_FOUND as the last error (or as the returned code, for
// the functions that return one).
#pragma once

#include "platform/win32/win32.h"

namespace kestrava::win32::spool {

BOOL GetPrinterDriverDirectoryW(LPWSTR server, LPWSTR environment, DWORD level, LPBYTE directory,
                                DWORD size, LPDWORD needed);
BOOL AddPrinterDriverW(LPWSTR server, DWORD level, LPBYTE driver);
BOOL DeletePrinterDriverW(LPWSTR server, LPWSTR environment, LPWSTR driver);
BOOL DeletePrinterDriverExW(LPWSTR server, LPWSTR environment, LPWSTR driver, DWORD deleteFlag,
                            DWORD versionFlag);
BOOL EnumPrinterDriversW(LPWSTR server, LPWSTR environment, DWORD level, LPBYTE drivers, DWORD size,
                         LPDWORD needed, LPDWORD returned);
BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE printers, DWORD size,
                   LPDWORD needed, LPDWORD returned);
HANDLE AddPrinterW(LPWSTR server, DWORD level, LPBYTE printer);
BOOL OpenPrinterW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults);
BOOL ClosePrinter(HANDLE printer);
BOOL DeletePrinter(HANDLE printer);
DWORD SetPrinterDataW(HANDLE printer, LPWSTR name, DWORD type, LPBYTE data, DWORD size);
DWORD GetPrinterDataW(HANDLE printer, LPWSTR name, LPDWORD type, LPBYTE data, DWORD size,
                      LPDWORD needed);
LONG DocumentPropertiesW(HWND window, HANDLE printer, LPWSTR device, PDEVMODEW output,
                         PDEVMODEW input, DWORD mode);
BOOL SetDefaultPrinterW(LPCWSTR name);
BOOL GetDefaultPrinterW(LPWSTR buffer, LPDWORD size);
BOOL XcvDataW(HANDLE xcv, PCWSTR dataName, PBYTE input, DWORD inputSize, PBYTE output,
              DWORD outputSize, PDWORD outputNeeded, PDWORD status);

}  // namespace kestrava::win32::spool
