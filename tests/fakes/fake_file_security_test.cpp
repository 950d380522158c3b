// The fake's security follows Windows' rules where Wine cannot show them (its files all belong
// to one user and it keeps no descriptors): who may read, change the DACL of and take over a
// folder, with which token and which privileges, and how entries are passed on.
#include "tests/fakes/fake_file_security.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/system_errors.h"
#include "tests/fakes/access_inheritance.h"

namespace kestrava {
namespace {

const WString kSomeone = u"S-1-5-21-5-5-5-1002";
const WString kFolder = u"C:\\Program Files\\Theirs";
constexpr uint8_t kBoth = kObjectInherit | kContainerInherit;
const std::vector<AccessEntry> kAdminsOnly = {{sid::kAdministrators, kFullControl, kBoth, false}};

ObjectSecurity OwnedBySomeone() {
  ObjectSecurity security;
  security.owner = kSomeone;
  security.daclProtected = true;
  security.dacl = {{kSomeone, kFullControl, kBoth, false}};
  return security;
}

ObjectSecurity OfTheAdministrators() {
  ObjectSecurity security;
  security.owner = sid::kAdministrators;
  security.daclProtected = true;
  security.dacl = {{sid::kAdministrators, kFullControl, kBoth, false},
                   {sid::kUsers, kReadAndExecute, kBoth, false}};
  return security;
}

FakeToken AdministratorWithout(bool takeOwnership, bool restore) {
  FakeToken token;
  token.takeOwnershipPrivilege = takeOwnership;
  token.restorePrivilege = restore;
  return token;
}

struct RuleRow {
  const char* name;
  FakeToken token;
  ObjectSecurity folder;
  WString newOwner;   // empty: the DACL only
  uint32_t expected;  // 0: allowed, else the error

  friend void PrintTo(const RuleRow& row, std::ostream* os) { *os << row.name; }
};

const RuleRow kRules[] = {
    {"AdministratorTakesOverWithThePrivileges", FakeToken(), OwnedBySomeone(), sid::kAdministrators,
     0},
    // The restore privilege lets anyone be made the owner.
    {"RestoreMakesAnyoneTheOwner", AdministratorWithout(false, true), OwnedBySomeone(),
     sid::kSystem, 0},
    {"TakeOwnershipAloneGivesNoWriteDac", AdministratorWithout(true, false), OwnedBySomeone(),
     sid::kAdministrators, kErrorAccessDenied},
    {"NoPrivilegesNoRightsNoTakeOver", AdministratorWithout(false, false), OwnedBySomeone(),
     sid::kAdministrators, kErrorAccessDenied},
    {"WithoutRestoreOnlyOwnGroupsMayOwn", AdministratorWithout(false, false), OfTheAdministrators(),
     sid::kSystem, kErrorInvalidOwner},
    {"FullControlGivesWriteOwnerForOnesOwnGroup", AdministratorWithout(false, false),
     OfTheAdministrators(), sid::kAdministrators, 0},
    {"AStandardUserCannotGiveItToTheAdministrators", FakeToken::StandardUser(kSomeone),
     OwnedBySomeone(), sid::kAdministrators, kErrorInvalidOwner},
    {"AStandardUserMayChangeTheDaclOfItsOwn", FakeToken::StandardUser(kSomeone), OwnedBySomeone(),
     WString(), 0},
    {"AStandardUserMayNotChangeTheAdministrators", FakeToken::StandardUser(kSomeone),
     OfTheAdministrators(), WString(), kErrorAccessDenied},
    // The owner's implied WRITE_DAC, even when its DACL gives it nothing.
    {"TheOwnerMayAlwaysChangeTheDacl", FakeToken::StandardUser(kSomeone),
     [] {
       ObjectSecurity security = OwnedBySomeone();
       security.dacl = {{kSomeone, kFullControl, 0, true}};
       return security;
     }(),
     WString(), 0},
};

class FakeSecurityRules : public ::testing::TestWithParam<RuleRow> {};

TEST_P(FakeSecurityRules, ProtectAsWindowsAllowsIt) {
  FakeFiles files;
  FakeFileSecurity security(files);
  files.AddFolder(kFolder);
  *files.SecurityOf(kFolder) = GetParam().folder;
  files.token = GetParam().token;
  uint32_t error = 99;
  const bool changed = security.Protect(kFolder, GetParam().newOwner, kAdminsOnly, &error);
  EXPECT_EQ(GetParam().expected, error);
  EXPECT_EQ(GetParam().expected == 0, changed);
  const ObjectSecurity after = *files.SecurityOf(kFolder);
  if (changed) {
    EXPECT_EQ(GetParam().newOwner.empty() ? GetParam().folder.owner : GetParam().newOwner,
              after.owner);
    EXPECT_EQ(kAdminsOnly, after.dacl);
  } else {
    EXPECT_EQ(GetParam().folder.owner, after.owner);
    EXPECT_EQ(GetParam().folder.dacl, after.dacl) << "nothing changed";
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, FakeSecurityRules, ::testing::ValuesIn(kRules),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FakeSecurity, ReadingNeedsReadControlWhichTheOwnerAlwaysHas) {
  FakeFiles files;
  FakeFileSecurity security(files);
  files.AddFolder(kFolder);
  *files.SecurityOf(kFolder) = OwnedBySomeone();
  ObjectSecurity out;
  uint32_t error = 0;
  EXPECT_FALSE(security.Read(kFolder, out, &error)) << "an administrator, no entry of its own";
  EXPECT_EQ(kErrorAccessDenied, error);
  files.token = FakeToken::StandardUser(kSomeone);
  files.SecurityOf(kFolder)->dacl.clear();
  EXPECT_TRUE(security.Read(kFolder, out, &error)) << "the owner, with an empty DACL";
}

TEST(FakeSecurity, WhatIsMadeGetsTheTokensOwnerAndWhatTheParentPassesOn) {
  FakeFiles files;
  files.AddFolder(u"C:\\Made");
  const ObjectSecurity* made = files.SecurityOf(u"C:\\Made");
  ASSERT_TRUE(made);
  EXPECT_EQ(WString(sid::kAdministrators), made->owner);
  // From the drive's root: users may modify what lies below it.
  bool modifyForUsers = false;
  for (const AccessEntry& entry : made->dacl) {
    modifyForUsers |= entry.sid == sid::kAuthenticatedUsers && entry.mask == kModify &&
                      (entry.flags & kInherited) && !(entry.flags & kInheritOnly);
  }
  EXPECT_TRUE(modifyForUsers);

  files.token = FakeToken::StandardUser(kSomeone);
  files.AddFile(u"C:\\Made\\theirs.txt", "x");
  EXPECT_EQ(kSomeone, files.SecurityOf(u"C:\\Made\\theirs.txt")->owner);
}

TEST(FakeSecurity, CreatorOwnerAndGenericRightsBecomeTheNewObjectsOwn) {
  const std::vector<AccessEntry> parent = {
      {sid::kCreatorOwner, kGenericAll, static_cast<uint8_t>(kBoth | kInheritOnly), false},
      {sid::kUsers, kReadAndExecute, kObjectInherit, false},
      {sid::kSystem, kFullControl, static_cast<uint8_t>(kBoth | kNoPropagate), false}};
  EXPECT_EQ((std::vector<AccessEntry>{{kSomeone, kFullControl, kInherited, false},
                                      {sid::kUsers, kReadAndExecute, kInherited, false},
                                      {sid::kSystem, kFullControl, kInherited, false}}),
            InheritedEntries(parent, false, kSomeone));
  EXPECT_EQ((std::vector<AccessEntry>{
                {kSomeone, kFullControl, kInherited, false},
                {sid::kCreatorOwner, kGenericAll,
                 static_cast<uint8_t>(kInherited | kInheritOnly | kBoth), false},
                {sid::kUsers, kReadAndExecute,
                 static_cast<uint8_t>(kInherited | kInheritOnly | kObjectInherit), false},
                {sid::kSystem, kFullControl, kInherited, false}}),
            InheritedEntries(parent, true, kSomeone));
}

}  // namespace
}  // namespace kestrava
