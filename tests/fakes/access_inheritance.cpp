#include "tests/fakes/access_inheritance.h"

namespace kestrava {

namespace {

constexpr uint32_t kFileGenericRead = 0x00120089;
constexpr uint32_t kFileGenericWrite = 0x00120116;
constexpr uint32_t kFileGenericExecute = 0x001200A0;
constexpr uint8_t kPropagation = kObjectInherit | kContainerInherit;

// Generic rights as the file rights they stand for.
uint32_t MapGeneric(uint32_t mask) {
  uint32_t mapped = mask & ~(kGenericAll | kGenericRead | kGenericWrite | kGenericExecute);
  if (mask & kGenericRead) mapped |= kFileGenericRead;
  if (mask & kGenericWrite) mapped |= kFileGenericWrite;
  if (mask & kGenericExecute) mapped |= kFileGenericExecute;
  if (mask & kGenericAll) mapped |= kFullControl;
  return mapped;
}

bool IsGenericOrCreator(const AccessEntry& entry) {
  return (entry.mask & (kGenericAll | kGenericRead | kGenericWrite | kGenericExecute)) != 0 ||
         entry.sid == sid::kCreatorOwner;
}

}  // namespace

std::vector<AccessEntry> InheritedEntries(const std::vector<AccessEntry>& parent, bool folder,
                                          const WString& owner) {
  std::vector<AccessEntry> out;
  for (const AccessEntry& entry : parent) {
    const bool toFiles = (entry.flags & kObjectInherit) != 0;
    const bool toFolders = (entry.flags & kContainerInherit) != 0;
    const bool propagates = (entry.flags & kNoPropagate) == 0;
    AccessEntry effective = entry;
    effective.flags = kInherited;
    effective.mask = MapGeneric(entry.mask);
    if (entry.sid == sid::kCreatorOwner) effective.sid = owner;
    if (!folder) {
      if (toFiles) out.push_back(effective);
      continue;
    }
    if (toFolders) {
      if (!propagates) {
        out.push_back(effective);
      } else if (IsGenericOrCreator(entry)) {
        // One entry for the folder itself, and the original for what lies below it.
        out.push_back(effective);
        AccessEntry below = entry;
        below.flags =
            static_cast<uint8_t>(kInherited | kInheritOnly | (entry.flags & kPropagation));
        out.push_back(below);
      } else {
        effective.flags = static_cast<uint8_t>(kInherited | (entry.flags & kPropagation));
        out.push_back(effective);
      }
    } else if (toFiles && propagates) {
      AccessEntry below = entry;
      below.flags = static_cast<uint8_t>(kInherited | kInheritOnly | kObjectInherit);
      out.push_back(below);
    }
  }
  return out;
}

ObjectSecurity NewObjectSecurity(const ObjectSecurity& parent, bool folder,
                                 const FakeToken& token) {
  ObjectSecurity security;
  security.owner = token.defaultOwner;
  if (parent.hasDacl) security.dacl = InheritedEntries(parent.dacl, folder, security.owner);
  if (security.dacl.empty()) {
    security.dacl = {{sid::kSystem, kFullControl, 0, false},
                     {security.owner, kFullControl, 0, false}};
  }
  return security;
}

uint32_t GrantedRights(const ObjectSecurity& security, const FakeToken& token) {
  if (!security.hasDacl) return MapGeneric(kGenericAll) | kWriteDac | kWriteOwner;
  uint32_t granted = token.Has(security.owner) ? (kReadControl | kWriteDac) : 0;
  uint32_t denied = 0;
  for (const AccessEntry& entry : security.dacl) {
    if ((entry.flags & kInheritOnly) != 0 || !token.Has(entry.sid)) continue;
    const uint32_t mask = MapGeneric(entry.mask);
    if (entry.deny) {
      denied |= mask & ~granted;
    } else {
      granted |= mask & ~denied;
    }
  }
  return granted;
}

ObjectSecurity SystemDriveRootSecurity() {
  ObjectSecurity root;
  root.owner = sid::kSystem;
  const uint8_t both = kObjectInherit | kContainerInherit;
  root.dacl = {
      {sid::kAdministrators, kFullControl, both, false},
      {sid::kSystem, kFullControl, both, false},
      {sid::kUsers, kReadAndExecute, both, false},
      {sid::kAuthenticatedUsers, kAppendData, 0, false},  // make folders in the root
      {sid::kAuthenticatedUsers, kModify, static_cast<uint8_t>(both | kInheritOnly), false},
  };
  return root;
}

}  // namespace kestrava
