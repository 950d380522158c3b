// How Windows passes a folder's access entries on to what the folder holds: what a new file or
// folder gets when it is made, and what the objects below get when the folder's DACL changes.
#pragma once

#include <vector>

#include "platform/file_security.h"
#include "tests/fakes/fake_token.h"

namespace kestrava {

// The entries an object made in (or kept below) a folder with `parent` as its DACL inherits:
// an entry for files (object-inherit) reaches a file; one for folders (container-inherit)
// reaches a folder and stays inheritable unless it is not to propagate; an entry for files
// only is kept by a folder as inherit-only, for the files below it. A creator-owner entry
// becomes one for `owner`, and generic rights become the file rights they stand for, in the
// entry that applies to the object itself (a folder keeps the original as inherit-only).
std::vector<AccessEntry> InheritedEntries(const std::vector<AccessEntry>& parent, bool folder,
                                          const WString& owner);

// The security a new file or folder gets: the token's default owner, and the entries the
// parent passes on; where the parent passes nothing on, the token's default DACL (full control
// for SYSTEM and the owner).
ObjectSecurity NewObjectSecurity(const ObjectSecurity& parent, bool folder, const FakeToken& token);

// The rights of `token` on an object with `security`, by Windows' access check: the owner's
// implied READ_CONTROL and WRITE_DAC, then the DACL's entries in order, a denied right staying
// denied; no DACL grants everything.
uint32_t GrantedRights(const ObjectSecurity& security, const FakeToken& token);

// The root of a system drive as Windows sets it up: full control for Administrators and SYSTEM,
// read & execute for Users, and for Authenticated Users the right to make folders in the root
// and to modify whatever lies below it.
ObjectSecurity SystemDriveRootSecurity();

}  // namespace kestrava
