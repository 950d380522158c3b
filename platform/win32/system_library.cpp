#include "platform/win32/system_library.h"

#include <vector>

namespace kestrava::win32 {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32 and its companion, named here because the toolchain declares
// them only for newer target versions than the program's.
constexpr DWORD kSearchSystem32 = 0x00000800;

// The system knows the search flags when kernel32 has AddDllDirectory: the documented test.
bool SystemKnowsSearchFlags() {
  static const bool known = LoadedModuleFunction(L"kernel32", "AddDllDirectory") != nullptr;
  return known;
}

}  // namespace

WString SystemFolder() {
  std::vector<wchar_t> buffer(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return WString();
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.assign(length + 1, L'\0');  // the length needed, terminator included
  }
}

void RestrictLibrarySearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  if (auto set =
          LoadedFunction<SetDefaultDllDirectoriesFn>(L"kernel32", "SetDefaultDllDirectories")) {
    set(kSearchSystem32);
  }
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (SystemKnowsSearchFlags()) return LoadLibraryExW(name, nullptr, kSearchSystem32);
  // By its full path the library itself comes from the system folder, and with the altered
  // search path so do the libraries it imports.
  WString path = SystemFolder();
  if (path.empty()) return nullptr;
  if (path.back() != u'\\') path += u'\\';
  path += FromWide(name);
  return LoadLibraryExW(Wide(path), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC ModuleFunction(HMODULE module, const char* name) {
  return module ? GetProcAddress(module, name) : nullptr;
}

FARPROC LoadedModuleFunction(const wchar_t* module, const char* name) {
  return ModuleFunction(GetModuleHandleW(module), name);
}

}  // namespace kestrava::win32
