#include "tests/fakes/fake_file_security.h"

#include <cstdio>

#include "platform/system_errors.h"
#include "tests/fakes/access_inheritance.h"

namespace kestrava {

namespace {

bool Fail(uint32_t* error, uint32_t code) {
  if (error) *error = code;
  return false;
}

}  // namespace

void PrintTo(const AccessEntry& entry, std::ostream* os) {
  char numbers[32];
  std::snprintf(numbers, sizeof numbers, " %08X flags %02X", entry.mask, entry.flags);
  *os << Utf16ToUtf8(entry.sid) << (entry.deny ? " deny" : " allow") << numbers;
}

bool FakeFileSecurity::Read(const WString& path, ObjectSecurity& out, uint32_t* error) {
  const std::optional<FileAttributes> attributes = files_.Attributes(path);
  ObjectSecurity* security = files_.SecurityOf(path);
  if (!attributes || !security) return Fail(error, kErrorFileNotFound);
  if (attributes->isLink) return Fail(error, kErrorReparsePointEncountered);
  if (!files_.KeepsSecurity(path)) {
    // What such a volume answers: no owner, no DACL, and so everyone may do everything.
    out = ObjectSecurity();
    out.hasDacl = false;
    if (error) *error = 0;
    return true;
  }
  if ((GrantedRights(*security, files_.token) & kReadControl) == 0) {
    return Fail(error, kErrorAccessDenied);
  }
  out = *security;
  if (error) *error = 0;
  return true;
}

bool FakeFileSecurity::Protect(const WString& path, const WString& owner,
                               const std::vector<AccessEntry>& entries, uint32_t* error) {
  protectedPaths.push_back(path + u" owner=" + (owner.empty() ? WString(u"unchanged") : owner));
  const std::optional<FileAttributes> attributes = files_.Attributes(path);
  ObjectSecurity* security = files_.SecurityOf(path);
  if (!attributes || !security) return Fail(error, kErrorFileNotFound);
  if (attributes->isLink) return Fail(error, kErrorReparsePointEncountered);
  if (!files_.KeepsSecurity(path)) return Fail(error, kErrorNotSupported);
  const FakeToken& token = files_.token;
  uint32_t granted = GrantedRights(*security, token);
  if (token.takeOwnershipPrivilege) granted |= kWriteOwner;
  if (token.restorePrivilege) granted |= kWriteDac | kWriteOwner;
  const uint32_t needed = kWriteDac | (owner.empty() ? 0u : uint32_t{kWriteOwner});
  if ((granted & needed) != needed) return Fail(error, kErrorAccessDenied);
  if (!owner.empty() && !token.MayOwn(owner) && !token.restorePrivilege) {
    return Fail(error, kErrorInvalidOwner);
  }
  if (!owner.empty()) security->owner = owner;
  security->hasDacl = true;
  security->daclProtected = true;
  security->dacl = entries;
  for (AccessEntry& entry : security->dacl) entry.flags &= static_cast<uint8_t>(~kInherited);
  if (attributes->isFolder) {
    const ObjectSecurity parent = *security;
    std::vector<FolderEntry> children;
    files_.List(path + u"\\*.*", children);
    for (const FolderEntry& child : children) {
      if (child.name != u"." && child.name != u"..") Propagate(path + u"\\" + child.name, parent);
    }
  }
  if (error) *error = 0;
  return true;
}

void FakeFileSecurity::Propagate(const WString& path, const ObjectSecurity& parent) {
  ObjectSecurity* security = files_.SecurityOf(path);
  const std::optional<FileAttributes> attributes = files_.Attributes(path);
  // A protected object keeps its DACL, and what lies below it inherits from it as before.
  if (!security || !attributes || security->daclProtected) return;
  std::vector<AccessEntry> dacl;
  for (const AccessEntry& entry : security->dacl) {
    if ((entry.flags & kInherited) == 0) dacl.push_back(entry);
  }
  for (const AccessEntry& entry :
       InheritedEntries(parent.dacl, attributes->isFolder, security->owner)) {
    dacl.push_back(entry);
  }
  security->dacl = dacl;
  security->hasDacl = true;
  // Propagation does not pass through a link to what it points to.
  if (!attributes->isFolder || attributes->isLink) return;
  const ObjectSecurity self = *security;
  std::vector<FolderEntry> children;
  files_.List(path + u"\\*.*", children);
  for (const FolderEntry& child : children) {
    if (child.name != u"." && child.name != u"..") Propagate(path + u"\\" + child.name, self);
  }
}

}  // namespace kestrava
