// The folders the driver files come from: the rule that tells whether only the administrators
// and the system may change an object, and the working folder made so before an unpacking,
// whoever had it before and whatever stood in its place.
#include "payload/trusted_folder.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/fakes/fake_file_security.h"
#include "tests/fakes/fake_files.h"

namespace kestrava {
namespace {

const WString kWork = u"C:\\Program Files (x86)\\Kestrava V8.11\\";
const WString kFolder = u"C:\\Program Files (x86)\\Kestrava V8.11";
const WString kSomeone = u"S-1-5-21-5-5-5-1002";  // another user of the computer
constexpr uint8_t kBoth = kObjectInherit | kContainerInherit;

struct TrustRow {
  const char* name;
  ObjectSecurity security;
  bool trusted;

  friend void PrintTo(const TrustRow& row, std::ostream* os) { *os << row.name; }
};

ObjectSecurity Owned(const WString& owner, std::vector<AccessEntry> dacl) {
  ObjectSecurity security;
  security.owner = owner;
  security.dacl = std::move(dacl);
  return security;
}

const TrustRow kTrustRows[] = {
    {"TheWorkingFoldersRights", Owned(sid::kAdministrators, WorkingFolderRights()), true},
    {"OwnedBySystem", Owned(sid::kSystem, WorkingFolderRights()), true},
    {"WindowsOwnFolder",
     Owned(sid::kTrustedInstaller, {{sid::kTrustedInstaller, kFullControl, kBoth, false},
                                    {sid::kUsers, kReadAndExecute, kBoth, false}}),
     true},
    {"OwnedByAUser", Owned(kSomeone, WorkingFolderRights()), false},
    {"NoOwnerAtAll", Owned(WString(), WorkingFolderRights()), false},
    {"UsersMayModify",
     Owned(sid::kAdministrators, {{sid::kAuthenticatedUsers, kModify, kInherited, false}}), false},
    {"UsersMayAddFiles", Owned(sid::kAdministrators, {{sid::kUsers, kWriteData, 0, false}}), false},
    {"UsersMayChangeTheRights",
     Owned(sid::kAdministrators, {{sid::kEveryone, kWriteDac, 0, false}}), false},
    {"AUserMayDelete", Owned(sid::kAdministrators, {{kSomeone, kDelete, 0, false}}), false},
    {"GenericWriteForEveryone",
     Owned(sid::kAdministrators, {{sid::kEveryone, kGenericWrite, 0, false}}), false},
    {"AnEntryOfAnUnknownKind", Owned(sid::kAdministrators, {{WString(), kFullControl, 0, false}}),
     false},
    {"DeniedWritesAreHarmless",
     Owned(sid::kAdministrators,
           {{sid::kEveryone, kModify, 0, true}, {sid::kUsers, kReadAndExecute, kBoth, false}}),
     true},
    // Only what is made below gets it, and only the trusted can make anything there.
    {"CreatorOwnerForWhatLiesBelow",
     Owned(sid::kAdministrators,
           {{sid::kCreatorOwner, kGenericAll, static_cast<uint8_t>(kBoth | kInheritOnly), false}}),
     true},
    {"NoDaclLetsEveryoneDoEverything",
     [] {
       ObjectSecurity security = Owned(sid::kAdministrators, {});
       security.hasDacl = false;
       return security;
     }(),
     false},
};

class OnlyTrusted : public ::testing::TestWithParam<TrustRow> {};

TEST_P(OnlyTrusted, MayChangeTheObject) {
  EXPECT_EQ(GetParam().trusted, OnlyTrustedMayChange(GetParam().security));
}

INSTANTIATE_TEST_SUITE_P(Rows, OnlyTrusted, ::testing::ValuesIn(kTrustRows),
                         [](const auto& row) { return std::string(row.param.name); });

// The working folder before an unpacking: whatever stood there, it ends as a folder of the
// administrators' with the working folder's rights only, or is refused.
struct FolderCase {
  const char* name;
  std::function<void(FakeFiles& files)> before;
  SecuredFolder::State state;
  bool contentIsOwn;

  friend void PrintTo(const FolderCase& row, std::ostream* os) { *os << row.name; }
};

// What a user's program makes where it may: owned by the user, with the user's entries.
void MadeBySomeone(FakeFiles& files, const WString& path, bool folder) {
  const FakeToken ours = files.token;
  files.token = FakeToken::StandardUser(kSomeone);
  if (folder) {
    files.AddFolder(path);
  } else {
    files.AddFile(path, "planted");
  }
  *files.SecurityOf(path) = Owned(kSomeone, {{kSomeone, kFullControl, kBoth, false}});
  files.token = ours;
}

const FolderCase kFolderCases[] = {
    {"Missing", nullptr, SecuredFolder::State::kSecured, true},
    // Made under the drive's root, where it inherits Modify for every user (32-bit Windows,
    // where the program used to make a "Program Files (x86)" of its own).
    {"InheritingModifyForUsers", [](FakeFiles& f) { f.AddFolder(kFolder); },
     SecuredFolder::State::kSecured, true},
    {"MadeBeforehandByAUser",
     [](FakeFiles& f) {
       MadeBySomeone(f, kFolder, true);
       MadeBySomeone(f, kFolder + u"\\setup.log", false);
     },
     SecuredFolder::State::kSecured, false},
    // An administrator whose token lacks both privileges cannot take the folder over: it is
    // removed and made again.
    {"MadeByAUserAndNoPrivileges",
     [](FakeFiles& f) {
       MadeBySomeone(f, kFolder, true);
       MadeBySomeone(f, kFolder + u"\\UNIDRV.DLL", false);
       f.token.takeOwnershipPrivilege = false;
       f.token.restorePrivilege = false;
     },
     SecuredFolder::State::kSecured, false},
    // Windows XP makes an administrator's objects the administrator's own.
    {"OwnedByTheRunningUser",
     [](FakeFiles& f) {
       f.AddFolder(kFolder);
       f.SecurityOf(kFolder)->owner = f.token.user;
     },
     SecuredFolder::State::kSecured, true},
    {"ALinkInItsPlace",
     [](FakeFiles& f) {
       f.AddFolder(u"C:\\Windows\\System32");
       f.AddFolderLink(kFolder, u"C:\\Windows\\System32");
     },
     SecuredFolder::State::kRefused, false},
    {"AFileInItsPlace", [](FakeFiles& f) { f.AddFile(kFolder, "a file"); },
     SecuredFolder::State::kRefused, false},
    {"CannotBeMade",
     [](FakeFiles& f) { f.Fail(FakeFiles::Op::kCreateFolder, u"C:\\Program Files (x86)"); },
     SecuredFolder::State::kFailed, false},
    {"CannotBeTakenOverNorRemoved",
     [](FakeFiles& f) {
       MadeBySomeone(f, kFolder, true);
       f.token.takeOwnershipPrivilege = false;
       f.token.restorePrivilege = false;
       f.Fail(FakeFiles::Op::kRemoveFolder, kFolder);
     },
     SecuredFolder::State::kFailed, false},
};

class SecuringTheWorkingFolder : public ::testing::TestWithParam<FolderCase> {
 protected:
  FakeFiles files;
  FakeFileSecurity security{files};
};

TEST_P(SecuringTheWorkingFolder, EndsAsTheAdministratorsFolderOrIsRefused) {
  if (GetParam().before) GetParam().before(files);
  const std::optional<FileAttributes> before = files.Attributes(kFolder);
  const SecuredFolder secured = SecureWorkingFolder(files, security, kWork);
  EXPECT_EQ(GetParam().state, secured.state);
  EXPECT_EQ(GetParam().contentIsOwn, secured.contentIsOwn);
  if (secured.state == SecuredFolder::State::kSecured) {
    const ObjectSecurity* folder = files.SecurityOf(kFolder);
    ASSERT_TRUE(folder);
    EXPECT_EQ(WString(sid::kAdministrators), folder->owner);
    EXPECT_TRUE(folder->daclProtected);
    EXPECT_EQ(WorkingFolderRights(), folder->dacl) << "nothing inherited, nothing else";
    EXPECT_TRUE(OnlyTrustedMayChange(*folder));
  } else if (before) {
    // Refused or failed: what stood there is as it was.
    const std::optional<FileAttributes> after = files.Attributes(kFolder);
    ASSERT_TRUE(after);
    EXPECT_EQ(before->isLink, after->isLink);
    EXPECT_EQ(before->isFolder, after->isFolder);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SecuringTheWorkingFolder, ::testing::ValuesIn(kFolderCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SecuringTheWorkingFolder, WhatItHoldsGetsItsRightsInPlaceOfTheInheritedOnes) {
  FakeFiles files;
  FakeFileSecurity security(files);
  files.AddFile(kWork + u"setup.log", "earlier run\r\n");  // inherits Modify for users
  files.AddFolder(kWork + u"Windows x64");
  ASSERT_EQ(SecuredFolder::State::kSecured, SecureWorkingFolder(files, security, kWork).state);
  std::vector<AccessEntry> expected = WorkingFolderRights();
  for (AccessEntry& entry : expected) entry.flags = kInherited;
  EXPECT_EQ(expected, files.SecurityOf(kWork + u"setup.log")->dacl);
  EXPECT_TRUE(OnlyTrustedMayChange(*files.SecurityOf(kWork + u"setup.log")));
  // A folder below keeps passing them on.
  for (AccessEntry& entry : expected) entry.flags = kInherited | kBoth;
  EXPECT_EQ(expected, files.SecurityOf(kWork + u"Windows x64")->dacl);
  files.AddFile(kWork + u"Windows x64\\UNIDRV.DLL", "unpacked later");
  EXPECT_TRUE(OnlyTrustedMayChange(*files.SecurityOf(kWork + u"Windows x64\\UNIDRV.DLL")));
}

TEST(SecuringTheWorkingFolder, OnAVolumeWithoutSecurityThereIsNothingToSet) {
  FakeFiles files;
  files.AddDrive(u'E', false);
  FakeFileSecurity security(files);
  const SecuredFolder secured =
      SecureWorkingFolder(files, security, u"E:\\Program Files\\Kestrava V8.11\\");
  EXPECT_EQ(SecuredFolder::State::kUnprotected, secured.state);
  EXPECT_TRUE(secured.Ready());
  EXPECT_TRUE(files.Exists(u"E:\\Program Files\\Kestrava V8.11"));
  EXPECT_TRUE(security.protectedPaths.empty());
}

// The program's own folder, when the unpacking failed: used only when no one else can have
// changed it or the driver files in it.
TEST(TrustedSource, TheFolderAndItsPlatformFoldersWithEverythingInThem) {
  FakeFiles files;
  FakeFileSecurity security(files);
  files.AddFolder(u"C:\\Setup");
  ASSERT_TRUE(security.Protect(u"C:\\Setup", sid::kAdministrators, WorkingFolderRights()));
  files.AddFile(u"C:\\Setup\\Windows x64\\RES\\P58.DLL", "driver");
  files.AddFile(u"C:\\Setup\\notes.txt", "beside it");
  const std::vector<WString> platforms = {u"Windows x64", u"Windows ARM64"};
  WString untrusted;
  EXPECT_TRUE(IsTrustedSource(files, security, u"C:\\Setup\\", platforms, &untrusted));

  // Something else beside the platform folders is not looked at; one inside them is.
  MadeBySomeone(files, u"C:\\Setup\\notes.txt", false);
  EXPECT_TRUE(IsTrustedSource(files, security, u"C:\\Setup", platforms, &untrusted));
  MadeBySomeone(files, u"C:\\Setup\\Windows x64\\RES\\P58.DLL", false);
  EXPECT_FALSE(IsTrustedSource(files, security, u"C:\\Setup", platforms, &untrusted));
  EXPECT_EQ(u"C:\\Setup\\Windows x64\\RES\\P58.DLL", untrusted);

  EXPECT_FALSE(IsTrustedSource(files, security, u"C:\\Missing", platforms, &untrusted));
  EXPECT_EQ(u"C:\\Missing", untrusted);
}

}  // namespace
}  // namespace kestrava
