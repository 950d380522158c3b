// The identity the fakes act as, as Windows keeps it in a process's token: its user, its
// groups, the groups it may make owners of what it touches, the owner of what it makes, and
// the two privileges that matter to ownership. By default an administrator's elevated token
// on Windows Vista and later, whose default owner is the Administrators group.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/file_security.h"

namespace kestrava {

struct FakeToken {
  WString user = u"S-1-5-21-1111111111-2222222222-3333333333-1001";
  std::vector<WString> groups = {sid::kEveryone, sid::kUsers, sid::kAuthenticatedUsers,
                                 sid::kAdministrators};
  // The groups that may become an object's owner (SE_GROUP_OWNER).
  std::vector<WString> ownerGroups = {sid::kAdministrators};
  WString defaultOwner = sid::kAdministrators;
  // SeTakeOwnershipPrivilege: WRITE_OWNER on every object; SeRestorePrivilege: WRITE_OWNER and
  // WRITE_DAC on every object, and any identity may be made the owner.
  bool takeOwnershipPrivilege = true;
  bool restorePrivilege = true;

  bool Has(const WString& identity) const {
    return identity == user || std::find(groups.begin(), groups.end(), identity) != groups.end();
  }
  bool MayOwn(const WString& identity) const {
    return identity == user ||
           std::find(ownerGroups.begin(), ownerGroups.end(), identity) != ownerGroups.end();
  }

  // Another user's token, without administrator rights, owning what it makes itself.
  static FakeToken StandardUser(WString user) {
    FakeToken token;
    token.user = user;
    token.groups = {sid::kEveryone, sid::kUsers, sid::kAuthenticatedUsers};
    token.ownerGroups.clear();
    token.defaultOwner = std::move(user);
    token.takeOwnershipPrivilege = false;
    token.restorePrivilege = false;
    return token;
  }
};

}  // namespace kestrava
