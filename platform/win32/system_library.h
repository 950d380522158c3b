// Libraries of the system that the program file does not import, and functions newer than
// Windows XP SP3.
//
// Windows looks for a statically imported DLL that is not one of its KnownDLLs in the program's
// own folder first. For a downloaded installer that folder is usually Downloads, and the
// program runs elevated: a DLL planted there beside it would run with administrator rights.
// The program file therefore imports only KnownDLLs; winspool.drv and iphlpapi.dll are loaded
// here at run time, from the system folder only. Functions that Windows XP SP3 lacks are looked
// up here too, and every caller has a fallback for their absence.
#pragma once

#include "platform/text.h"
#include "platform/win32/win32.h"

namespace kestrava::win32 {

// Where the system has SetDefaultDllDirectories (Windows 8 and later; Vista and 7 with
// KB2533623), makes every later library load of the process search the system folder only.
// Elsewhere nothing changes. The entry point calls it before anything else.
void RestrictLibrarySearchToSystemFolder();

// The system folder (GetSystemDirectoryW), without a backslash at its end; empty when the
// system does not name it.
WString SystemFolder();

// Loads `name` (L"winspool.drv") from the system folder only: LoadLibraryExW with
// LOAD_LIBRARY_SEARCH_SYSTEM32 where the system knows the flag, else by its full path under
// GetSystemDirectoryW. nullptr when it is missing, with the last error telling why. A library
// loaded here is never freed, so each is loaded once and kept (see the library files).
HMODULE LoadSystemLibrary(const wchar_t* name);

// The address of `name` in `module`, nullptr when either is missing.
FARPROC ModuleFunction(HMODULE module, const char* name);
// The address of `name` in a module the process has already loaded (kernel32, advapi32),
// nullptr when the module or the function is missing.
FARPROC LoadedModuleFunction(const wchar_t* module, const char* name);

// The same, as a pointer of the function's own type (decltype(&::Function)).
template <typename Fn>
Fn LoadedFunction(const wchar_t* module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(LoadedModuleFunction(module, name)));
}
template <typename Fn>
Fn FunctionOf(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(ModuleFunction(module, name)));
}

// What a call of a function the system lacks returns: `failure`, with ERROR_PROC_NOT_FOUND as
// the last error, as the loader reports a missing entry point.
template <typename Result>
Result MissingFunction(Result failure) {
  SetLastError(ERROR_PROC_NOT_FOUND);
  return failure;
}

}  // namespace kestrava::win32

// The function `name` of the loaded system library `module` as a pointer of the type the
// system's header declares for it.
#define KESTRAVA_SYSTEM_FUNCTION(module, name) \
  ::kestrava::win32::FunctionOf<decltype(&::name)>(module, #name)
