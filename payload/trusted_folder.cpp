#include "payload/trusted_folder.h"

#include "payload/folder_tree.h"

namespace kestrava {

namespace {

bool IsTrustedObject(FileSecurity& security, const WString& path) {
  ObjectSecurity object;
  return security.Read(path, object) && OnlyTrustedMayChange(object);
}

// The object at `path` and, for a folder, everything in it.
bool IsTrustedTree(Files& files, FileSecurity& security, const WString& path, WString* untrusted) {
  const std::optional<FileAttributes> attributes = files.Attributes(path);
  if (!attributes || attributes->isLink || !IsTrustedObject(security, path)) {
    if (untrusted) *untrusted = path;
    return false;
  }
  if (!attributes->isFolder) return true;
  std::vector<FolderEntry> entries;
  if (!files.List(path + u"\\*.*", entries)) {
    if (untrusted) *untrusted = path;
    return false;
  }
  for (const FolderEntry& entry : entries) {
    if (entry.name == u"." || entry.name == u"..") continue;
    if (!IsTrustedTree(files, security, path + u"\\" + entry.name, untrusted)) return false;
  }
  return true;
}

}  // namespace

bool IsTrustedIdentity(const WString& sid) {
  return sid == sid::kAdministrators || sid == sid::kSystem || sid == sid::kTrustedInstaller;
}

std::vector<AccessEntry> WorkingFolderRights() {
  const uint8_t everythingBelow = kObjectInherit | kContainerInherit;
  return {{sid::kAdministrators, kFullControl, everythingBelow, false},
          {sid::kSystem, kFullControl, everythingBelow, false},
          {sid::kUsers, kReadAndExecute, everythingBelow, false}};
}

bool OnlyTrustedMayChange(const ObjectSecurity& security) {
  if (!IsTrustedIdentity(security.owner) || !security.hasDacl) return false;
  for (const AccessEntry& entry : security.dacl) {
    if (entry.deny || (entry.flags & kInheritOnly) != 0) continue;
    if ((entry.mask & kAnyWrite) != 0 && !IsTrustedIdentity(entry.sid)) return false;
  }
  return true;
}

bool IsTrustedSource(Files& files, FileSecurity& security, const WString& folder,
                     const std::vector<WString>& subfolders, WString* untrusted) {
  const WString top = WithoutTrailingBackslash(folder);
  const std::optional<FileAttributes> attributes = files.Attributes(top);
  // On a volume without security (FAT) every user may change every file.
  if (!attributes || attributes->isLink || !attributes->isFolder ||
      !security.VolumeKeepsSecurity(top) || !IsTrustedObject(security, top)) {
    if (untrusted) *untrusted = top;
    return false;
  }
  for (const WString& subfolder : subfolders) {
    const WString path = top + u"\\" + subfolder;
    if (files.Attributes(path) && !IsTrustedTree(files, security, path, untrusted)) return false;
  }
  return true;
}

SecuredFolder SecureWorkingFolder(Files& files, FileSecurity& security, const WString& folder) {
  using State = SecuredFolder::State;
  SecuredFolder secured;
  const WString path = WithoutTrailingBackslash(folder);
  if (const std::optional<FileAttributes> attributes = files.Attributes(path)) {
    if (attributes->isLink || !attributes->isFolder) {
      secured.state = State::kRefused;
      return secured;
    }
  } else if (!CreateFolderChain(files, path) && !CreateFolderChain(files, path)) {
    return secured;
  }
  if (!security.VolumeKeepsSecurity(path)) {
    secured.state = State::kUnprotected;
    secured.contentIsOwn = true;
    return secured;
  }
  ObjectSecurity before;
  const bool readable = security.Read(path, before);
  const bool trustedOwner = readable && IsTrustedIdentity(before.owner);
  const bool ownOwner = readable && before.owner == security.CurrentUser();
  const std::vector<AccessEntry> rights = WorkingFolderRights();
  if (security.Protect(path, trustedOwner ? WString() : WString(sid::kAdministrators), rights)) {
    secured.state = State::kSecured;
    secured.contentIsOwn = trustedOwner || ownOwner;
    return secured;
  }
  // What someone else's folder holds may withstand a new owner: it goes, and the folder is
  // made anew, as the program's own.
  DeleteFolderTree(files, path);
  if (files.Attributes(path) || !CreateFolderChain(files, path) ||
      !security.Protect(path, sid::kAdministrators, rights)) {
    return secured;
  }
  secured.state = State::kSecured;
  return secured;
}

}  // namespace kestrava
