// The security of files and folders: the same cases against the fake (natively) and the Win32
// implementation (under Wine), in a scratch folder of their own. Where the system does not keep
// the descriptors it is given (Wine 8), the cases that read them back are skipped, never
// passed; the calls themselves must still succeed there.
#include <gtest/gtest.h>

#include "platform/system_errors.h"
#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

constexpr uint8_t kBoth = kObjectInherit | kContainerInherit;

// What the working folder gets (payload/trusted_folder.h), written out here.
const std::vector<AccessEntry> kRights = {{sid::kAdministrators, kFullControl, kBoth, false},
                                          {sid::kSystem, kFullControl, kBoth, false},
                                          {sid::kUsers, kReadAndExecute, kBoth, false}};

class FileSecurityContract
    : public ::testing::TestWithParam<Implementation<FileSecurityUnderTest>> {
 protected:
  void SetUp() override {
    subject = GetParam().make();
    ASSERT_TRUE(subject);
    security = subject->security.get();
  }
  void TearDown() override {
    if (subject && subject->cleanup) subject->cleanup();
  }

  WString At(const WString& relative) const { return subject->base + relative; }
  bool MakeFile(const WString& path) {
    auto out = subject->files->Create(path, CreateMode::kNew);
    return out && out->Write("x", 1) == 1;
  }
  ObjectSecurity ReadBack(const WString& path) {
    ObjectSecurity out;
    uint32_t error = 0;
    EXPECT_TRUE(security->Read(path, out, &error)) << error;
    return out;
  }
  // The entries as an object below gets them from kRights.
  static std::vector<AccessEntry> Inherited(bool folder) {
    std::vector<AccessEntry> entries = kRights;
    for (AccessEntry& entry : entries) {
      entry.flags = static_cast<uint8_t>(kInherited | (folder ? kBoth : 0));
    }
    return entries;
  }

  std::unique_ptr<FileSecurityUnderTest> subject;
  FileSecurity* security = nullptr;
};

TEST_P(FileSecurityContract, AProtectedDaclReadsBackAsItWasSet) {
  ASSERT_TRUE(subject->files->CreateFolder(At(u"work")));
  uint32_t error = 1;
  ASSERT_TRUE(security->Protect(At(u"work"), WString(), kRights, &error)) << error;
  EXPECT_EQ(0u, error);
  const ObjectSecurity back = ReadBack(At(u"work"));
  if (!subject->keepsDescriptors) GTEST_SKIP() << "this system keeps no security descriptors";
  EXPECT_TRUE(back.hasDacl);
  EXPECT_TRUE(back.daclProtected);
  EXPECT_EQ(kRights, back.dacl);
}

TEST_P(FileSecurityContract, TheOwnerChangesInTheSameCall) {
  ASSERT_TRUE(subject->files->CreateFolder(At(u"owned")));
  uint32_t error = 1;
  ASSERT_TRUE(security->Protect(At(u"owned"), sid::kAdministrators, kRights, &error)) << error;
  const ObjectSecurity back = ReadBack(At(u"owned"));
  if (!subject->keepsDescriptors) GTEST_SKIP() << "this system keeps no security descriptors";
  EXPECT_EQ(WString(sid::kAdministrators), back.owner);
  EXPECT_EQ(kRights, back.dacl);
}

TEST_P(FileSecurityContract, TheEntriesReachWhatIsBelowAndWhatIsMadeAfterwards) {
  ASSERT_TRUE(subject->files->CreateFolder(At(u"tree")));
  ASSERT_TRUE(MakeFile(At(u"tree\\before.txt")));
  ASSERT_TRUE(subject->files->CreateFolder(At(u"tree\\sub")));
  ASSERT_TRUE(security->Protect(At(u"tree"), WString(), kRights));
  ASSERT_TRUE(MakeFile(At(u"tree\\after.txt")));
  ASSERT_TRUE(MakeFile(At(u"tree\\sub\\deeper.txt")));
  const ObjectSecurity before = ReadBack(At(u"tree\\before.txt"));
  const ObjectSecurity after = ReadBack(At(u"tree\\after.txt"));
  const ObjectSecurity sub = ReadBack(At(u"tree\\sub"));
  const ObjectSecurity deeper = ReadBack(At(u"tree\\sub\\deeper.txt"));
  if (!subject->keepsDescriptors) GTEST_SKIP() << "this system keeps no security descriptors";
  EXPECT_EQ(Inherited(false), before.dacl) << "propagated to what was there";
  EXPECT_EQ(Inherited(false), after.dacl) << "inherited by what is made";
  EXPECT_EQ(Inherited(true), sub.dacl);
  EXPECT_EQ(Inherited(false), deeper.dacl);
  EXPECT_FALSE(before.daclProtected);
}

TEST_P(FileSecurityContract, AProtectedDaclDropsWhatItInherited) {
  std::vector<AccessEntry> outer = kRights;
  outer.push_back({sid::kEveryone, kReadAndExecute, kBoth, false});
  ASSERT_TRUE(subject->files->CreateFolder(At(u"outer")));
  ASSERT_TRUE(subject->files->CreateFolder(At(u"outer\\inner")));
  ASSERT_TRUE(security->Protect(At(u"outer"), WString(), outer));
  const std::vector<AccessEntry> inner = {{sid::kAdministrators, kFullControl, kBoth, false}};
  ASSERT_TRUE(security->Protect(At(u"outer\\inner"), WString(), inner));
  ASSERT_TRUE(MakeFile(At(u"outer\\inner\\file.txt")));
  const ObjectSecurity back = ReadBack(At(u"outer\\inner"));
  const ObjectSecurity file = ReadBack(At(u"outer\\inner\\file.txt"));
  if (!subject->keepsDescriptors) GTEST_SKIP() << "this system keeps no security descriptors";
  EXPECT_EQ(inner, back.dacl) << "nothing of outer's";
  EXPECT_EQ((std::vector<AccessEntry>{{sid::kAdministrators, kFullControl, kInherited, false}}),
            file.dacl);
}

TEST_P(FileSecurityContract, ALinkIsRefusedNeverFollowed) {
  ASSERT_TRUE(subject->files->CreateFolder(At(u"target")));
  if (!subject->makeFolderLink || !subject->makeFolderLink(At(u"link"), At(u"target"))) {
    GTEST_SKIP() << "this system makes no folder links here";
  }
  ObjectSecurity out;
  uint32_t error = 0;
  EXPECT_FALSE(security->Read(At(u"link"), out, &error));
  EXPECT_EQ(kErrorReparsePointEncountered, error);
  EXPECT_FALSE(security->Protect(At(u"link"), sid::kAdministrators, kRights, &error));
  EXPECT_EQ(kErrorReparsePointEncountered, error);
  EXPECT_FALSE(ReadBack(At(u"target")).daclProtected) << "the target was not touched";
}

TEST_P(FileSecurityContract, WhatIsNotThereFails) {
  ObjectSecurity out;
  uint32_t error = 0;
  EXPECT_FALSE(security->Read(At(u"missing"), out, &error));
  EXPECT_TRUE(error == kErrorFileNotFound || error == kErrorPathNotFound) << error;
  error = 0;
  EXPECT_FALSE(security->Protect(At(u"missing\\deeper"), WString(), kRights, &error));
  EXPECT_TRUE(error == kErrorFileNotFound || error == kErrorPathNotFound) << error;
}

TEST_P(FileSecurityContract, TheCallerAndTheScratchFolderHaveIdentities) {
  const WString user = security->CurrentUser();
  EXPECT_EQ(0u, user.rfind(u"S-1-5-", 0)) << Utf16ToUtf8(user);
  const ObjectSecurity scratch = ReadBack(subject->base.substr(0, subject->base.size() - 1));
  EXPECT_EQ(0u, scratch.owner.rfind(u"S-1-", 0)) << Utf16ToUtf8(scratch.owner);
  EXPECT_TRUE(security->VolumeKeepsSecurity(subject->base));
}

INSTANTIATE_TEST_SUITE_P(All, FileSecurityContract,
                         ::testing::ValuesIn(FileSecurityImplementations()), ImplementationName());

}  // namespace
}  // namespace kestrava
