#include "platform/win32/registry_win32.h"

#include <vector>

#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

using win32::Wide;

struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
};
using ScopedKey = win32::Scoped<RegKeyTraits>;

RegistryStatus StatusOf(LONG result) {
  switch (result) {
    case ERROR_SUCCESS:
      return RegistryStatus::kOk;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return RegistryStatus::kNotFound;
    case ERROR_MORE_DATA:
      return RegistryStatus::kMoreData;
    case ERROR_NO_MORE_ITEMS:
      return RegistryStatus::kNoMoreItems;
    default:
      return RegistryStatus::kFailed;
  }
}

// Keys below `parent`, in the 64-bit view under WOW64 (`wow64`), as Win32RegistryKey objects.
std::unique_ptr<RegistryKey> OpenKey(HKEY parent, const WString& path, uint32_t access, bool wow64,
                                     RegistryStatus* status = nullptr);
std::unique_ptr<RegistryKey> CreateKey(HKEY parent, const WString& path, uint32_t access,
                                       bool wow64);

class Win32RegistryKey final : public RegistryKey {
 public:
  Win32RegistryKey(ScopedKey key, bool wow64) : key_(std::move(key)), wow64_(wow64) {}

  std::unique_ptr<RegistryKey> CreateSubkey(const WString& name, uint32_t access) override {
    return CreateKey(key_.Get(), name, access, wow64_);
  }

  bool SetValue(const WString& name, uint32_t type, const void* data, uint32_t size) override {
    return RegSetValueExW(key_.Get(), Wide(name), 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
  }

  std::unique_ptr<RegistryKey> OpenSubkey(const WString& name, uint32_t access) override {
    return OpenKey(key_.Get(), name, access, wow64_);
  }

  bool DeleteValue(const WString& name) override {
    return RegDeleteValueW(key_.Get(), Wide(name)) == ERROR_SUCCESS;
  }

  RegistryStatus QueryValue(const WString& name, uint32_t capacity, RegistryValue& out) override {
    std::vector<BYTE> buffer(capacity);
    DWORD type = 0;
    DWORD size = capacity;
    const LONG result = RegQueryValueExW(key_.Get(), name.empty() ? nullptr : Wide(name), nullptr,
                                         &type, buffer.data(), &size);
    if (result != ERROR_SUCCESS) return StatusOf(result);
    out.type = type;
    out.data.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return RegistryStatus::kOk;
  }

  RegistryStatus EnumValue(uint32_t index, uint32_t nameCapacity, uint32_t dataCapacity,
                           WString& name, RegistryValue& value) override {
    std::vector<wchar_t> nameBuffer(nameCapacity + 1u, L'\0');
    std::vector<BYTE> data(dataCapacity);
    DWORD nameLength = nameCapacity;
    DWORD type = 0;
    DWORD size = dataCapacity;
    const LONG result = RegEnumValueW(key_.Get(), index, nameBuffer.data(), &nameLength, nullptr,
                                      &type, data.data(), &size);
    if (result != ERROR_SUCCESS) return StatusOf(result);
    name = win32::FromWide(nameBuffer.data(), nameLength);
    value.type = type;
    value.data.assign(reinterpret_cast<const char*>(data.data()), size);
    return RegistryStatus::kOk;
  }

  RegistryStatus EnumSubkey(uint32_t index, uint32_t nameCapacity, WString& name) override {
    std::vector<wchar_t> buffer(nameCapacity + 1u, L'\0');
    DWORD length = nameCapacity;
    const LONG result = RegEnumKeyExW(key_.Get(), index, buffer.data(), &length, nullptr, nullptr,
                                      nullptr, nullptr);
    if (result != ERROR_SUCCESS) return StatusOf(result);
    name = win32::FromWide(buffer.data(), length);
    return RegistryStatus::kOk;
  }

 private:
  ScopedKey key_;
  bool wow64_;
};

// RegDeleteTreeW is Vista and later: walk the tree by hand, deepest keys first.
bool DeleteTree(HKEY parent, const wchar_t* name, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(parent, name, 0, KEY_READ | KEY_WRITE | view, &opened) != ERROR_SUCCESS) {
    return false;
  }
  ScopedKey key(opened);
  for (;;) {
    wchar_t child[256];
    DWORD length = 256;
    // Always index 0: each deletion shifts the rest down.
    if (RegEnumKeyExW(key.Get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    if (!DeleteTree(key.Get(), child, view)) return false;
  }
  key.Reset();
  using DeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
  auto deleteKeyEx = reinterpret_cast<DeleteKeyExFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32"), "RegDeleteKeyExW")));
  // RegDeleteKeyW always deletes in the caller's own view; the explicit view needs the Ex form,
  // which only systems with two views have.
  const LONG result =
      view && deleteKeyEx ? deleteKeyEx(parent, name, view, 0) : RegDeleteKeyW(parent, name);
  return result == ERROR_SUCCESS;
}

std::unique_ptr<RegistryKey> OpenKey(HKEY parent, const WString& path, uint32_t access, bool wow64,
                                     RegistryStatus* status) {
  HKEY opened = nullptr;
  const LONG result =
      RegOpenKeyExW(parent, Wide(path), 0, MachineKeyAccess(access, wow64), &opened);
  if (status) *status = StatusOf(result);
  if (result != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(ScopedKey(opened), wow64);
}

std::unique_ptr<RegistryKey> CreateKey(HKEY parent, const WString& path, uint32_t access,
                                       bool wow64) {
  HKEY created = nullptr;
  const LONG result = RegCreateKeyExW(parent, Wide(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      MachineKeyAccess(access, wow64), nullptr, &created, nullptr);
  if (result != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32RegistryKey>(ScopedKey(created), wow64);
}

}  // namespace

bool ProcessIsWow64() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto fn = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return fn && fn(GetCurrentProcess(), &wow64) && wow64;
}

Win32Registry::Win32Registry() : wow64_(ProcessIsWow64()) {}

std::unique_ptr<RegistryKey> Win32Registry::OpenMachineKey(const WString& path, uint32_t access,
                                                           RegistryStatus* status) {
  return OpenKey(HKEY_LOCAL_MACHINE, path, access, wow64_, status);
}

std::unique_ptr<RegistryKey> Win32Registry::CreateMachineKey(const WString& path, uint32_t access) {
  return CreateKey(HKEY_LOCAL_MACHINE, path, access, wow64_);
}

bool Win32Registry::DeleteMachineKeyTree(const WString& path) {
  return DeleteTree(HKEY_LOCAL_MACHINE, Wide(path), MachineKeyAccess(0, wow64_));
}

}  // namespace kestrava
