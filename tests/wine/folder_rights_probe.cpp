// Reads who may change files and folders from outside the program, with GetNamedSecurityInfoW.
//
//   folder_rights_probe keeps FOLDER  exits 0 when the system keeps a DACL set on a folder made
//                                      in FOLDER (Windows on NTFS), 1 when it reads back
//                                      something else (Wine 8 answers from the Unix file mode)
//   folder_rights_probe check PATH... prints each path's owner, whether its DACL is protected
//                                      and its entries; exits 0 when the first path's DACL is
//                                      protected and on every path nobody but Administrators and
//                                      SYSTEM may write, 1 otherwise
#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/win32/win32.h"

namespace {

constexpr DWORD kAnyWrite = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                            FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL |
                            GENERIC_WRITE;

std::wstring SidText(PSID sid) {
  LPWSTR text = nullptr;
  if (!sid || !ConvertSidToStringSidW(sid, &text)) return L"?";
  std::wstring out = text;
  LocalFree(text);
  return out;
}

bool Trusted(const std::wstring& sid) {
  return sid == L"S-1-5-32-544" || sid == L"S-1-5-18";
}

// Prints the path's security; `protectedDacl` and `onlyTrustedWrite` tell what it found.
bool Describe(const wchar_t* path, bool& protectedDacl, bool& onlyTrustedWrite) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD code = GetNamedSecurityInfoW(path, SE_FILE_OBJECT,
                                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                           &owner, nullptr, &dacl, nullptr, &descriptor);
  if (code != ERROR_SUCCESS) {
    std::wprintf(L"%ls: GetNamedSecurityInfoW failed with %lu\n", path, code);
    return false;
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  protectedDacl = (control & SE_DACL_PROTECTED) != 0;
  onlyTrustedWrite = dacl != nullptr && Trusted(SidText(owner));
  std::wprintf(L"%ls: owner %ls, DACL %ls\n", path, SidText(owner).c_str(),
               !dacl           ? L"none"
               : protectedDacl ? L"protected"
                               : L"inheriting");
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) continue;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    const std::wstring sid = SidText(const_cast<DWORD*>(&allowed->SidStart));
    std::wprintf(L"  %ls %ls mask %08lx flags %02x\n",
                 header->AceType == ACCESS_DENIED_ACE_TYPE ? L"deny " : L"allow", sid.c_str(),
                 allowed->Mask, header->AceFlags);
    if (header->AceType != ACCESS_DENIED_ACE_TYPE && !(header->AceFlags & INHERIT_ONLY_ACE) &&
        (allowed->Mask & kAnyWrite) && !Trusted(sid)) {
      onlyTrustedWrite = false;
    }
  }
  LocalFree(descriptor);
  return true;
}

int Keeps(const wchar_t* folder) {
  const std::wstring probe = std::wstring(folder) + L"\\keeps";
  CreateDirectoryW(folder, nullptr);
  CreateDirectoryW(probe.c_str(), nullptr);
  PSECURITY_DESCRIPTOR set = nullptr;
  // Backup Operators may read, nobody else anything: no system makes that of a file mode.
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FR;;;BO)", SDDL_REVISION_1,
                                                            &set, nullptr)) {
    return 1;
  }
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL wanted = nullptr;
  GetSecurityDescriptorDacl(set, &present, &wanted, &defaulted);
  const DWORD code =
      SetNamedSecurityInfoW(const_cast<wchar_t*>(probe.c_str()), SE_FILE_OBJECT,
                            DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, wanted, nullptr);
  LocalFree(set);
  bool protectedDacl = false;
  bool onlyTrusted = false;
  const bool read = code == ERROR_SUCCESS && Describe(probe.c_str(), protectedDacl, onlyTrusted);
  // The probe's DACL lets its owner alone change it back; the owner may always.
  SetNamedSecurityInfoW(const_cast<wchar_t*>(probe.c_str()), SE_FILE_OBJECT,
                        DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
  RemoveDirectoryW(probe.c_str());
  RemoveDirectoryW(folder);
  return read && protectedDacl ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"keeps") == 0) return Keeps(argv[2]);
  if (argc < 3 || std::wcscmp(argv[1], L"check") != 0) {
    std::fwprintf(stderr, L"usage: folder_rights_probe keeps FOLDER | check PATH...\n");
    return 2;
  }
  bool good = true;
  for (int i = 2; i < argc; ++i) {
    bool protectedDacl = false;
    bool onlyTrusted = false;
    if (!Describe(argv[i], protectedDacl, onlyTrusted)) return 1;
    if (i == 2 && !protectedDacl) good = false;
    if (!onlyTrusted) good = false;
  }
  std::wprintf(L"%ls\n", good ? L"only Administrators and SYSTEM may write"
                              : L"someone else may write, or the folder inherits");
  return good ? 0 : 1;
}
