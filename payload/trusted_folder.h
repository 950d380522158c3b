// The folders the spooler's driver files come from, which it loads as SYSTEM: only the
// administrators and the system may change them. The working folder is made so at every
// unpacking; a folder of someone else's (the program's own folder, when the unpacking failed)
// is used only when it already is.
#pragma once

#include <vector>

#include "platform/file_security.h"
#include "platform/files.h"

namespace kestrava {

// The identities trusted with the driver files: Administrators, SYSTEM and the system's
// installer service (TrustedInstaller, which owns Windows' own folders).
bool IsTrustedIdentity(const WString& sid);

// What the working folder allows, for itself and everything below it: full control for
// Administrators and SYSTEM, read & execute for Users.
std::vector<AccessEntry> WorkingFolderRights();

// Whether no one but the trusted identities may change the object: its owner is one of them
// (an owner may always change the DACL), it has a DACL, and no entry that applies to the object
// itself allows anyone else a right that writes, deletes or changes its security. Denying
// entries, and entries only for what lies below, do not make it less safe.
bool OnlyTrustedMayChange(const ObjectSecurity& security);

// Whether `folder` itself and, of its `subfolders`, those that exist with everything in them
// (not following links: a link fails) are changed by no one but the trusted identities; a
// folder on a volume that keeps no security (FAT) never is. On
// false, `untrusted` (when given) names the first path that failed the check.
bool IsTrustedSource(Files& files, FileSecurity& security, const WString& folder,
                     const std::vector<WString>& subfolders, WString* untrusted = nullptr);

// How the working folder stands before an unpacking.
struct SecuredFolder {
  enum class State {
    kSecured,      // the folder has the working folder's rights, the owner taken over if need be
    kUnprotected,  // its volume keeps no security (FAT): there is nothing to set
    kRefused,      // a link or a file stands in its place; it is left as it is
    kFailed,       // it could not be made, or not be given its rights
  };
  State state = State::kFailed;
  // Whether what the folder held (the support log) was the program's own: the folder was owned
  // by a trusted identity or by the running user. Otherwise someone else had it, and nothing
  // in it is kept.
  bool contentIsOwn = false;

  bool Ready() const { return state == State::kSecured || state == State::kUnprotected; }
};

// Makes the folder at `folder` (its every missing level) and gives it the working folder's
// rights, protected from the parent's: an owner that is not trusted is replaced by
// Administrators in the same change; when that fails, the folder is deleted with all it holds
// and made again. A link or a file in its place is refused, never followed or removed.
SecuredFolder SecureWorkingFolder(Files& files, FileSecurity& security, const WString& folder);

}  // namespace kestrava
