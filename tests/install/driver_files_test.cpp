#include <gtest/gtest.h>

#include <set>

#include "tests/install/engine_fixture.h"

namespace kestrava {
namespace {

constexpr const char16_t* kSource = u"C:\\Program Files (x86)\\Kestrava V8.11\\";
constexpr const char16_t* kX64 = u"C:\\WINDOWS\\system32\\spool\\DRIVERS\\x64";

class DriverFilesTest : public EngineFixture {
 protected:
  void SetUp() override {
    AddPlatformFolder(kSource, u"Windows x64");
    MakeEngine().driverSourceFolder = kSource;
  }
  std::set<WString> Copied() { return files.Tree(kX64); }
  static std::set<WString> Upper(std::set<WString> names) {
    std::set<WString> upper;
    for (const WString& name : names) upper.insert(UpperAscii(name));
    return upper;
  }
};

TEST_F(DriverFilesTest, TheModelsFilesAndTheTopOfThePlatformFolderButNoSubfolder) {
  EXPECT_TRUE(engine->CopyModelFiles(kX64, u"Windows x64", 2));
  EXPECT_TRUE(engine->CopyPlatformFolder(kX64, WString(kSource) + u"Windows x64", 2));
  std::set<WString> expected = {u"P58.DLL", u"P58C.GPD"};
  for (const WString& name : TopFiles()) expected.insert(name);
  EXPECT_EQ(Upper(expected), Upper(Copied()));
  EXPECT_EQ("Windows x64\\RES\\P58C.GPD",
            files.Content(WString(kX64) + u"\\P58C.GPD").value_or(""));
  EXPECT_EQ("Windows x64\\Receipt.ini",
            files.Content(WString(kX64) + u"\\Receipt.ini").value_or(""));
}

TEST_F(DriverFilesTest, EachModelCopiesItsOwnPair) {
  const std::pair<int, std::set<WString>> rows[] = {{0, {u"P80.DLL", u"P80C.GPD"}},
                                                    {1, {u"P80.DLL", u"P80.GPD"}},
                                                    {3, {u"P58.DLL", u"P58.GPD"}},
                                                    {4, {u"P76.DLL", u"P76C.GPD"}},
                                                    {5, {u"P76.DLL", u"P76.GPD"}}};
  for (const auto& [position, expected] : rows) {
    SCOPED_TRACE(position);
    const WString folder = u"C:\\model" + WidenAscii(std::to_string(position));
    files.AddFolder(folder);
    EXPECT_TRUE(engine->CopyModelFiles(folder, u"Windows x64", position));
    EXPECT_EQ(expected, files.Tree(folder));
  }
}

TEST_F(DriverFilesTest, AnExistingFileIsReplaced) {
  files.AddFile(WString(kX64) + u"\\UNIDRV.DLL", "an older driver");
  files.AddFile(WString(kX64) + u"\\P58.DLL", "an older resource DLL");
  EXPECT_TRUE(engine->CopyModelFiles(kX64, u"Windows x64", 3));
  EXPECT_TRUE(engine->CopyPlatformFolder(kX64, WString(kSource) + u"Windows x64\\", 3));
  EXPECT_EQ("Windows x64\\UNIDRV.DLL", files.Content(WString(kX64) + u"\\UNIDRV.DLL"));
  EXPECT_EQ("Windows x64\\RES\\P58.DLL", files.Content(WString(kX64) + u"\\P58.DLL"));
}

TEST_F(DriverFilesTest, TheSecondModelFileIsCopiedWhenTheFirstFails) {
  files.Fail(FakeFiles::Op::kCopy, WString(kSource) + u"Windows x64\\RES\\P58.DLL");
  EXPECT_FALSE(engine->CopyModelFiles(kX64, u"Windows x64", 2));
  EXPECT_EQ(std::set<WString>{u"P58C.GPD"}, Copied());
}

TEST_F(DriverFilesTest, APlatformFolderCopyStopsAtTheFirstFailure) {
  // The listing runs by name: Q... before R... before S....
  files.Fail(FakeFiles::Op::kCopy, WString(kSource) + u"Windows x64\\Receipt.ini");
  EXPECT_FALSE(engine->CopyPlatformFolder(kX64, WString(kSource) + u"Windows x64", 2));
  EXPECT_EQ(Upper({u"QXCHISMPL.DLL", u"QXCHITRAD.DLL", u"QXENGLISH.DLL"}), Upper(Copied()));
}

TEST_F(DriverFilesTest, MissingAndEmptyFolders) {
  EXPECT_FALSE(engine->CopyPlatformFolder(kX64, WString(kSource) + u"Windows ARM64", 2))
      << "a folder that is not there";
  files.AddFolder(WString(kSource) + u"Windows ARM64");
  EXPECT_TRUE(engine->CopyPlatformFolder(kX64, WString(kSource) + u"Windows ARM64", 2))
      << "an empty folder copies nothing, successfully";
  EXPECT_TRUE(Copied().empty());
  EXPECT_FALSE(engine->CopyModelFiles(kX64, u"Windows ARM64", 2));
}

// The spooler loads what lies in its driver folder as SYSTEM: a file no list names stays behind,
// whatever it is called and whatever the model.
TEST_F(DriverFilesTest, AFileNoListNamesIsNotCopied) {
  const WString platform = WString(kSource) + u"Windows x64";
  for (const char16_t* planted : {u"EXTRA.DLL", u"version.dll", u"UNIDRV.DLL.bak", u"P80.DLL",
                                  u"ReceiptDrv2.dll", u"setup.exe"}) {
    files.AddFile(platform + u"\\" + planted, "planted");
  }
  for (int position = 0; position < kModelCount; ++position) {
    SCOPED_TRACE(position);
    const WString folder = u"C:\\driver" + WidenAscii(std::to_string(position));
    files.AddFolder(folder);
    EXPECT_TRUE(engine->CopyPlatformFolder(folder, platform, position));
    const std::vector<WString> top = TopFiles();
    EXPECT_EQ(Upper(std::set<WString>(top.begin(), top.end())), Upper(files.Tree(folder)));
  }
}

// What the platform's Receipt.ini names in its [OEMFiles] section is copied too; a name that
// reaches elsewhere, or one outside the section, is not.
TEST_F(DriverFilesTest, ThePlugInsReceiptIniNamesAreCopied) {
  const WString platform = WString(kSource) + u"Windows x64";
  for (const char16_t* name :
       {u"ReceiptDrv2.dll", u"ReceiptUI2.dll", u"Other.dll", u"Quoted.dll"}) {
    files.AddFile(platform + u"\\" + name, "plug-in");
  }
  files.AddFile(u"C:\\Windows\\evil.dll", "outside");
  files.AddFile(platform + u"\\Receipt.ini",
                "; the driver's plug-ins\r\n"
                "[General]\r\nOther=Other.dll\r\n"
                "[oemfiles]\r\n"
                "OEMDriverFile1=ReceiptDrv.dll\r\n"
                "OEMDriverFile2 = ReceiptDrv2.dll\r\n"
                "OEMConfigFile1=ReceiptUI.dll\r\n"
                "OEMConfigFile2=\"Quoted.dll\"\n"
                "OEMConfigFile3=ReceiptUI2.dll\r\n"
                "OEMConfigFile4=..\\..\\Windows\\evil.dll\r\n"
                "OEMConfigFile5=C:\\Windows\\evil.dll\r\n"
                "OEMConfigFile6=*.dll\r\n"
                "[Next]\r\nOEMDriverFile9=Other.dll\r\n");
  EXPECT_TRUE(engine->CopyPlatformFolder(kX64, platform, 2));
  std::set<WString> expected = {u"ReceiptDrv2.dll", u"ReceiptUI2.dll", u"Quoted.dll"};
  for (const WString& name : TopFiles()) expected.insert(name);
  EXPECT_EQ(Upper(expected), Upper(Copied()));
  EXPECT_EQ(std::nullopt, files.Content(WString(kX64) + u"\\evil.dll"));
}

}  // namespace
}  // namespace kestrava
