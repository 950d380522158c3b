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

std::vector<wchar_t> SystemFolderPath(const wchar_t* name) {
  std::vector<wchar_t> path(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.assign(length + 1, L'\0');  // the length needed, terminator included
  }
  if (path.empty() || path.back() != L'\\') path.push_back(L'\\');
  for (const wchar_t* c = name; *c; ++c) path.push_back(*c);
  path.push_back(L'\0');
  return path;
}

}  // namespace

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
  const std::vector<wchar_t> path = SystemFolderPath(name);
  if (path.empty()) return nullptr;
  return LoadLibraryExW(path.data(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC LoadedModuleFunction(const wchar_t* module, const char* name) {
  HMODULE loaded = GetModuleHandleW(module);
  return loaded ? GetProcAddress(loaded, name) : nullptr;
}

FARPROC SystemLibraryFunction(const wchar_t* library, const char* name) {
  HMODULE loaded = LoadSystemLibrary(library);
  return loaded ? GetProcAddress(loaded, name) : nullptr;
}

}  // namespace kestrava::win32
