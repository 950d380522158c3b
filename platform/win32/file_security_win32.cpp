#include "platform/win32/file_security_win32.h"

#include <vector>

#include "platform/system_errors.h"
#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

using win32::ScopedFile;
using win32::Wide;

namespace {

// Memory the security functions hand out, freed with LocalFree.
struct LocalMemoryTraits {
  using Handle = void*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { LocalFree(h); }
};
using ScopedLocal = win32::Scoped<LocalMemoryTraits>;

bool Fail(uint32_t* error, DWORD code) {
  if (error) *error = code;
  return false;
}

WString SidText(PSID sid) {
  LPWSTR text = nullptr;
  if (!sid || !ConvertSidToStringSidW(sid, &text)) return WString();
  ScopedLocal holder(text);
  return win32::FromWide(text);
}

// The SID of a text form; an empty holder when the text is no SID.
ScopedLocal SidOf(const WString& text) {
  PSID sid = nullptr;
  if (!ConvertStringSidToSidW(Wide(text), &sid)) return ScopedLocal();
  return ScopedLocal(sid);
}

// The object itself, never a link's target, with `access`.
ScopedFile OpenObject(const WString& path, DWORD access, DWORD& error) {
  ScopedFile file(CreateFileW(
      Wide(path), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) {
    error = GetLastError();
    return file;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.Get(), &info)) {
    error = GetLastError();
    return ScopedFile();
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    error = kErrorReparsePointEncountered;
    return ScopedFile();
  }
  return file;
}

// Enables the privileges of `names` that the process token holds, for the scope's life, and
// puts back their earlier state when it ends. A privilege the token lacks stays absent.
class PrivilegeScope {
 public:
  explicit PrivilegeScope(std::initializer_list<const wchar_t*> names) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
      return;
    }
    token_.Reset(token);
    for (const wchar_t* name : names) {
      TOKEN_PRIVILEGES wanted{};
      wanted.PrivilegeCount = 1;
      if (!LookupPrivilegeValueW(nullptr, name, &wanted.Privileges[0].Luid)) continue;
      wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
      TOKEN_PRIVILEGES before{};
      DWORD size = sizeof(before);
      // Succeeds with ERROR_NOT_ALL_ASSIGNED when the token does not hold the privilege.
      if (AdjustTokenPrivileges(token, FALSE, &wanted, sizeof(before), &before, &size) &&
          GetLastError() == ERROR_SUCCESS) {
        previous_.push_back(before);
      }
    }
  }
  ~PrivilegeScope() {
    for (TOKEN_PRIVILEGES& before : previous_) {
      AdjustTokenPrivileges(token_.Get(), FALSE, &before, 0, nullptr, nullptr);
    }
  }
  PrivilegeScope(const PrivilegeScope&) = delete;
  PrivilegeScope& operator=(const PrivilegeScope&) = delete;

 private:
  win32::ScopedKernelHandle token_;
  std::vector<TOKEN_PRIVILEGES> previous_;
};

}  // namespace

bool Win32FileSecurity::Read(const WString& path, ObjectSecurity& out, uint32_t* error) {
  DWORD code = 0;
  ScopedFile file = OpenObject(path, READ_CONTROL, code);
  if (!file) return Fail(error, code);
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  code = GetSecurityInfo(file.Get(), SE_FILE_OBJECT,
                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                         &dacl, nullptr, &descriptor);
  if (code != ERROR_SUCCESS) return Fail(error, code);
  ScopedLocal holder(descriptor);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!GetSecurityDescriptorControl(descriptor, &control, &revision)) {
    return Fail(error, GetLastError());
  }
  ObjectSecurity security;
  security.owner = SidText(owner);
  security.hasDacl = dacl != nullptr;
  security.daclProtected = (control & SE_DACL_PROTECTED) != 0;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) return Fail(error, GetLastError());
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    AccessEntry entry;
    entry.flags = header->AceFlags;
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
      // Both kinds share one layout: the header, the mask, the SID.
      auto* known = static_cast<ACCESS_ALLOWED_ACE*>(ace);
      entry.deny = header->AceType == ACCESS_DENIED_ACE_TYPE;
      entry.mask = known->Mask;
      entry.sid = SidText(&known->SidStart);
    } else {
      // A kind files do not normally carry (object or callback entries): read as one that may
      // allow anything to anyone, so that no check takes it for harmless.
      entry.mask = kFullControl;
    }
    security.dacl.push_back(entry);
  }
  out = std::move(security);
  if (error) *error = 0;
  return true;
}

bool Win32FileSecurity::Protect(const WString& path, const WString& owner,
                                const std::vector<AccessEntry>& entries, uint32_t* error) {
  std::vector<ScopedLocal> sids;
  DWORD size = sizeof(ACL);
  for (const AccessEntry& entry : entries) {
    sids.push_back(SidOf(entry.sid));
    if (!sids.back()) return Fail(error, ERROR_INVALID_SID);
    size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sids.back().Get());
  }
  std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);  // DWORD-aligned
  auto* acl = reinterpret_cast<PACL>(buffer.data());
  if (!InitializeAcl(acl, size, ACL_REVISION)) return Fail(error, GetLastError());
  for (size_t i = 0; i < entries.size(); ++i) {
    const DWORD flags = entries[i].flags & static_cast<uint8_t>(~kInherited);
    const BOOL added =
        entries[i].deny
            ? AddAccessDeniedAceEx(acl, ACL_REVISION, flags, entries[i].mask, sids[i].Get())
            : AddAccessAllowedAceEx(acl, ACL_REVISION, flags, entries[i].mask, sids[i].Get());
    if (!added) return Fail(error, GetLastError());
  }
  ScopedLocal ownerSid;
  if (!owner.empty()) {
    ownerSid = SidOf(owner);
    if (!ownerSid) return Fail(error, ERROR_INVALID_SID);
  }

  const PrivilegeScope privileges({L"SeTakeOwnershipPrivilege", L"SeRestorePrivilege"});
  DWORD code = 0;
  const DWORD access = READ_CONTROL | WRITE_DAC | (owner.empty() ? DWORD{0} : DWORD{WRITE_OWNER});
  ScopedFile file = OpenObject(path, access, code);
  if (!file) return Fail(error, code);
  SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
  if (ownerSid) what |= OWNER_SECURITY_INFORMATION;
  code = SetSecurityInfo(file.Get(), SE_FILE_OBJECT, what, ownerSid.Get(), nullptr, acl, nullptr);
  if (code != ERROR_SUCCESS) return Fail(error, code);
  if (error) *error = 0;
  return true;
}

WString Win32FileSecurity::CurrentUser() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return WString();
  const win32::ScopedKernelHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return WString();
  std::vector<DWORD> buffer(size / sizeof(DWORD) + 1, 0);  // DWORD-aligned
  if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return WString();
  return SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

bool Win32FileSecurity::VolumeKeepsSecurity(const WString& path) {
  wchar_t root[MAX_PATH + 1] = {};
  if (!GetVolumePathNameW(Wide(path), root, MAX_PATH)) {
    if (path.size() < 2 || path[1] != u':') return false;
    root[0] = static_cast<wchar_t>(path[0]);
    root[1] = L':';
    root[2] = L'\\';
  }
  DWORD flags = 0;
  if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) {
    return false;
  }
  return (flags & FILE_PERSISTENT_ACLS) != 0;
}

}  // namespace kestrava
