#include "payload/folder_tree.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_files.h"

namespace kestrava {
namespace {

TEST(DeleteFolderTree, RemovesEverythingIncludingReadOnlyFiles) {
  FakeFiles files;
  files.AddFile(u"C:\\Work\\a.txt", "a");
  files.AddFile(u"C:\\Work\\sub\\deeper\\b.dll", "b", true);
  files.AddFolder(u"C:\\Work\\empty");
  EXPECT_TRUE(DeleteFolderTree(files, u"C:\\Work\\"));
  EXPECT_FALSE(files.Exists(u"C:\\Work"));
}

TEST(DeleteFolderTree, NeverFollowsALinkOutOfTheTree) {
  FakeFiles files;
  files.AddFile(u"C:\\Windows\\System32\\kernel.dll", "system");
  files.AddFile(u"C:\\Work\\a.txt", "a");
  files.AddFolderLink(u"C:\\Work\\escape", u"C:\\Windows");
  EXPECT_TRUE(DeleteFolderTree(files, u"C:\\Work"));
  EXPECT_FALSE(files.Exists(u"C:\\Work"));
  EXPECT_EQ("system", files.Content(u"C:\\Windows\\System32\\kernel.dll"));
}

TEST(DeleteFolderTree, AFolderThatIsItselfALinkLosesOnlyTheLink) {
  FakeFiles files;
  files.AddFile(u"C:\\Windows\\win.ini", "keep");
  files.AddFolder(u"C:\\Program Files (x86)");
  files.AddFolderLink(u"C:\\Program Files (x86)\\Kestrava V8.11", u"C:\\Windows");
  EXPECT_TRUE(DeleteFolderTree(files, u"C:\\Program Files (x86)\\Kestrava V8.11\\"));
  EXPECT_FALSE(files.Exists(u"C:\\Program Files (x86)\\Kestrava V8.11"));
  EXPECT_EQ("keep", files.Content(u"C:\\Windows\\win.ini"));
}

TEST(DeleteFolderTree, MissingFolderReportsFalse) {
  FakeFiles files;
  EXPECT_FALSE(DeleteFolderTree(files, u"C:\\Nothing"));
}

struct ChainCase {
  const char16_t* path;
  bool expected;
  std::set<WString> tree;  // below C:\ afterwards
};

TEST(CreateFolderChain, Table) {
  const ChainCase cases[] = {
      {u"C:\\A\\B\\C\\", true, {u"A\\", u"A\\B\\", u"A\\B\\C\\"}},
      {u"C:\\A\\B", true, {u"A\\", u"A\\B\\"}},
      {u"C:\\A\\\\B", true, {u"A\\", u"A\\B\\"}},  // doubled separator: one folder
      {u"D:\\A", false, {}},                       // no such drive
      {u"A\\B", false, {}},                        // no drive letter
      {u"", false, {}},
  };
  for (const ChainCase& c : cases) {
    FakeFiles files;
    EXPECT_EQ(c.expected, CreateFolderChain(files, c.path)) << Utf16ToUtf8(c.path);
    EXPECT_EQ(c.tree, files.Tree(u"C:\\")) << Utf16ToUtf8(c.path);
  }
}

TEST(CreateFolderChain, AFileInTheWayFails) {
  FakeFiles files;
  files.AddFile(u"C:\\A", "not a folder");
  EXPECT_FALSE(CreateFolderChain(files, u"C:\\A\\B\\"));
  EXPECT_FALSE(CreateFolderPath(files, u"C:\\A\\B"));
  EXPECT_FALSE(EnsureFoldersUpToLastBackslash(files, u"C:\\A\\B\\file.txt"));
}

TEST(CreateFolderPath, CreatesEveryLevelAndStopsAtTheFirstFailure) {
  FakeFiles files;
  EXPECT_TRUE(CreateFolderPath(files, u"C:\\Program Files (x86)\\Kestrava V8.11\\Windows x64"));
  EXPECT_TRUE(files.Exists(u"C:\\Program Files (x86)\\Kestrava V8.11\\Windows x64"));
  files.Fail(FakeFiles::Op::kCreateFolder, u"C:\\X\\Y");
  EXPECT_FALSE(CreateFolderPath(files, u"C:\\X\\Y\\Z"));
  EXPECT_TRUE(files.Exists(u"C:\\X"));
  EXPECT_FALSE(files.Exists(u"C:\\X\\Y"));
}

TEST(EnsureFoldersUpToLastBackslash, MakesTheFoldersButNotTheFile) {
  FakeFiles files;
  EXPECT_TRUE(EnsureFoldersUpToLastBackslash(files, u"C:\\W\\RES\\deep\\P80.DLL"));
  EXPECT_EQ((std::set<WString>{u"W\\", u"W\\RES\\", u"W\\RES\\deep\\"}), files.Tree(u"C:\\"));
  EXPECT_TRUE(EnsureFoldersUpToLastBackslash(files, u"C:\\W\\Font\\"));
  EXPECT_TRUE(files.Exists(u"C:\\W\\Font"));
}

}  // namespace
}  // namespace kestrava
