#include "payload/payload_extraction.h"

#include <gtest/gtest.h>

#include <functional>

#include "payload/trusted_folder.h"
#include "payload/working_folder.h"
#include "tests/fakes/fake_file_security.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_system_info.h"
#include "tests/payload/container_builder.h"
#include "tests/payload/zip_builder.h"

namespace kestrava {
namespace {

using testing::BuildZip;
using testing::Container;
using testing::ZipEntry;

const WString kWork = u"C:\\Program Files (x86)\\Kestrava V8.11\\";

class PayloadExtractionTest : public ::testing::Test {
 protected:
  int Extract(const Container& container) {
    files.AddFile(process.programFilePath, container.Build());
    return extraction.ExtractPayload();
  }

  static std::string DriverArchive(const std::string& tag) {
    return BuildZip({{"Receipt.ini", "[OEMFiles]\r\nOEMDriverFile1=ReceiptDrv.dll\r\n"},
                     {"UNIDRV.DLL-" + tag, testing::DriverLikeBytes(5000, 1), false},
                     {"Font/", ""},
                     {"RES/", ""},
                     {"RES/P80.DLL", "resource " + tag},
                     {"RES/P80C.GPD", testing::DriverLikeBytes(3000, 2)}},
                    "driver package " + tag);
  }

  FakeFiles files;
  FakeSystemInfo system;
  FakeProcess process;
  FakeFileSecurity security{files};
  PayloadExtraction extraction{files, system, process, security, kWork};
};

TEST_F(PayloadExtractionTest, UnpacksEveryPlatformIntoItsFolderAndLeavesNoArchive) {
  Container c;
  c.records = {{"Windows ARM64", DriverArchive("arm64")},
               {"Windows NT x86", DriverArchive("x86")},
               {"Windows x64", DriverArchive("x64")}};
  ASSERT_EQ(kPayloadOk, Extract(c));
  std::set<WString> expected;
  for (const char16_t* platform : {u"Windows ARM64", u"Windows NT x86", u"Windows x64"}) {
    const WString p(platform);
    for (const WString& entry : {p + u"\\", p + u"\\Font\\", p + u"\\RES\\", p + u"\\Receipt.ini",
                                 p + u"\\RES\\P80.DLL", p + u"\\RES\\P80C.GPD"}) {
      expected.insert(entry);
    }
  }
  expected.insert(u"Windows ARM64\\UNIDRV.DLL-arm64");
  expected.insert(u"Windows NT x86\\UNIDRV.DLL-x86");
  expected.insert(u"Windows x64\\UNIDRV.DLL-x64");
  EXPECT_EQ(expected, files.Tree(kWork));
  EXPECT_EQ(testing::DriverLikeBytes(3000, 2),
            files.Content(kWork + u"Windows x64\\RES\\P80C.GPD"));
  EXPECT_EQ("resource x86", files.Content(kWork + u"Windows NT x86\\RES\\P80.DLL"));
  EXPECT_NE(std::string::npos,
            process.standardOutput.find("Zip Create File: \t C:\\Program Files (x86)\\Kestrava "
                                        "V8.11\\Windows x64\\RES\\P80.DLL \n"));
  EXPECT_NE(std::string::npos, process.standardOutput.find("Zip Create Folder: \t "));
}

TEST_F(PayloadExtractionTest, StartsFromAnEmptyWorkingFolderEveryTime) {
  files.AddFile(kWork + u"old\\stale.txt", "old");
  files.AddFile(kWork + u"locked.dll", "read-only", true);
  Container c;
  c.records = {{"Windows x64", DriverArchive("x64")}};
  ASSERT_EQ(kPayloadOk, Extract(c));
  EXPECT_FALSE(files.Exists(kWork + u"locked.dll"));
  EXPECT_FALSE(files.Exists(kWork + u"old"));
  // The retry of the worker meets no files of the first attempt either.
  ASSERT_EQ(kPayloadOk, extraction.ExtractPayload());
  EXPECT_EQ(7u, files.Tree(kWork).size());
}

// A folder that another user made first, with files of theirs in it (a support log among
// them): taken over, given the working folder's rights, emptied of everything of theirs, and
// then filled.
TEST_F(PayloadExtractionTest, AFolderSomeoneElseMadeFirstEndsAsTheAdministratorsOwn) {
  const WString someone = u"S-1-5-21-5-5-5-1002";
  const FakeToken ours = files.token;
  files.token = FakeToken::StandardUser(someone);
  files.AddFile(kWork + u"Windows x64\\UNIDRV.DLL", "planted driver");
  files.AddFile(kWork + u"setup.log", "planted log");
  files.token = ours;
  Container c;
  c.records = {{"Windows x64", DriverArchive("x64")}};
  ASSERT_EQ(kPayloadOk, Extract(c));
  const ObjectSecurity* folder = files.SecurityOf(kWork);
  ASSERT_TRUE(folder);
  EXPECT_EQ(WString(sid::kAdministrators), folder->owner);
  EXPECT_TRUE(folder->daclProtected);
  EXPECT_EQ(WorkingFolderRights(), folder->dacl);
  EXPECT_FALSE(files.Exists(kWork + u"setup.log")) << "someone else's log is not kept";
  EXPECT_FALSE(files.Exists(kWork + u"Windows x64\\UNIDRV.DLL"));
  for (const WString& path : files.Tree(kWork)) {
    const ObjectSecurity* unpacked = files.SecurityOf(kWork + path);
    ASSERT_TRUE(unpacked);
    EXPECT_TRUE(OnlyTrustedMayChange(*unpacked)) << Utf16ToUtf8(path);
  }
}

struct RefusedFolder {
  const char* name;
  std::function<void(FakeFiles& files)> before;

  friend void PrintTo(const RefusedFolder& row, std::ostream* os) { *os << row.name; }
};

class PayloadExtractionRefusal : public PayloadExtractionTest,
                                 public ::testing::WithParamInterface<RefusedFolder> {};

// Nothing is unpacked into a working folder that is not the administrators' alone.
TEST_P(PayloadExtractionRefusal, UnpacksNothing) {
  GetParam().before(files);
  Container c;
  c.records = {{"Windows x64", DriverArchive("x64")}};
  EXPECT_EQ(kPayloadUnreadable, Extract(c));
  EXPECT_FALSE(files.Exists(kWork + u"Windows x64\\Receipt.ini"));
  EXPECT_FALSE(files.Exists(u"C:\\Windows\\Windows x64"));
}

const RefusedFolder kRefusedFolders[] = {
    {"ALinkInItsPlace",
     [](FakeFiles& f) {
       f.AddFile(u"C:\\Windows\\keep.dll", "the system's");
       f.AddFolderLink(u"C:\\Program Files (x86)\\Kestrava V8.11", u"C:\\Windows");
     }},
    {"AFileOfAnEarlierOwnerThatStays",
     [](FakeFiles& f) {
       f.AddFile(kWork + u"Windows x64\\UNIDRV.DLL", "planted");
       f.Fail(FakeFiles::Op::kDelete, kWork + u"Windows x64\\UNIDRV.DLL");
     }},
    {"RightsThatCannotBeSet",
     [](FakeFiles& f) {
       f.AddFolder(kWork);
       f.SecurityOf(kWork)->owner = u"S-1-5-21-5-5-5-1002";
       f.SecurityOf(kWork)->dacl.clear();
       f.token.takeOwnershipPrivilege = false;
       f.token.restorePrivilege = false;
       f.Fail(FakeFiles::Op::kRemoveFolder, kWork);
     }},
};

INSTANTIATE_TEST_SUITE_P(Rows, PayloadExtractionRefusal, ::testing::ValuesIn(kRefusedFolders),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PayloadExtractionTest, ALinkInItsPlaceIsLeftAsItIs) {
  files.AddFile(u"C:\\Windows\\keep.dll", "the system's");
  files.AddFolderLink(u"C:\\Program Files (x86)\\Kestrava V8.11", u"C:\\Windows");
  EXPECT_EQ(kPayloadUnreadable, extraction.ExtractPayload());
  const std::optional<FileAttributes> link =
      files.Attributes(u"C:\\Program Files (x86)\\Kestrava V8.11");
  ASSERT_TRUE(link) << "the link is left";
  EXPECT_TRUE(link->isLink);
  EXPECT_EQ("the system's", files.Content(u"C:\\Windows\\keep.dll"));
  EXPECT_TRUE(security.protectedPaths.empty()) << "the link's target gets no new rights";
}

// The per-record paths are 8-bit text: a folder the code page cannot name, or none at all,
// unpacks nothing anywhere.
TEST_F(PayloadExtractionTest, AWorkingFolderWithoutAnEightBitNameOrNoneAtAll) {
  Container c;
  c.records = {{"Windows x64", DriverArchive("x64")}};
  files.AddFile(process.programFilePath, c.Build());
  for (const WString& folder : {WString(u"C:\\Programme\u4e2d\\Kestrava V8.11\\"), WString()}) {
    SCOPED_TRACE(Utf16ToUtf8(folder));
    PayloadExtraction other(files, system, process, security, folder);
    EXPECT_EQ(kPayloadUnreadable, other.ExtractPayload());
  }
  EXPECT_FALSE(files.Exists(u"C:\\Programme"));
  EXPECT_FALSE(files.Exists(u"C:\\Programme?"));
}

TEST_F(PayloadExtractionTest, RecordsWithEmptyNamesLeaveTheFolderEmpty) {
  Container c;
  c.records = {{std::string(11, '\0'), DriverArchive("a")}, {std::string(5, '\0'), "zzzzzzz"}};
  EXPECT_EQ(kPayloadOk, Extract(c));
  EXPECT_TRUE(files.Tree(kWork).empty());
  EXPECT_TRUE(files.Exists(kWork));
}

TEST_F(PayloadExtractionTest, ArchiveWithoutEntriesFailsAndStays) {
  Container c;
  c.records = {{"Windows x64", BuildZip({})}};
  EXPECT_EQ(kPayloadBroken, Extract(c));
  EXPECT_EQ((std::set<WString>{u"Windows x64\\", u"Windows x64.zip"}), files.Tree(kWork));
}

TEST_F(PayloadExtractionTest, FilesInSubfoldersWithoutFolderEntries) {
  Container c;
  c.records = {{"Windows x64", BuildZip({{"RES/deep/P58.DLL", "x"}, {"Font/", ""}})}};
  ASSERT_EQ(kPayloadOk, Extract(c));
  EXPECT_EQ((std::set<WString>{u"Windows x64\\", u"Windows x64\\Font\\", u"Windows x64\\RES\\",
                               u"Windows x64\\RES\\deep\\", u"Windows x64\\RES\\deep\\P58.DLL"}),
            files.Tree(kWork));
}

TEST_F(PayloadExtractionTest, WorkingFolderThatCannotBeMade) {
  files.Fail(FakeFiles::Op::kCreateFolder, u"C:\\Program Files (x86)");
  Container c;
  c.records = {{"Windows x64", DriverArchive("x64")}};
  EXPECT_EQ(kPayloadUnreadable, Extract(c));
}

TEST_F(PayloadExtractionTest, EntriesThatWouldLandOutsideAreNeverWritten) {
  const char* unsafe[] = {"../escape.dll",  "RES/../../escape.dll", "/abs.dll",
                          "\\abs.dll",      "C:/Windows/evil.dll",  "RES\\..\\..\\x.dll",
                          "a/. ./../b.dll", "stream.dll:hidden",    "..."};
  for (const char* name : unsafe) {
    SCOPED_TRACE(name);
    FakeFiles local;
    FakeProcess localProcess;
    FakeFileSecurity localSecurity(local);
    PayloadExtraction localExtraction(local, system, localProcess, localSecurity, kWork);
    Container c;
    c.records = {{"Windows x64", BuildZip({{"Receipt.ini", "ok"}, {name, "evil"}})}};
    local.AddFile(localProcess.programFilePath, c.Build());
    EXPECT_EQ(kPayloadBroken, localExtraction.ExtractPayload());
    EXPECT_EQ(std::nullopt, local.Content(u"C:\\Program Files (x86)\\escape.dll"));
    EXPECT_EQ(std::nullopt, local.Content(u"C:\\Windows\\evil.dll"));
    EXPECT_EQ(std::nullopt, local.Content(u"C:\\abs.dll"));
    for (const WString& path : local.Tree(u"C:\\")) {
      EXPECT_EQ(std::u16string::npos, path.find(u"evil")) << Utf16ToUtf8(path);
    }
  }
}

TEST_F(PayloadExtractionTest, CrcMismatchRemovesTheFileAndFailsTheRecord) {
  Container c;
  c.records = {{"Windows x64", BuildZip({{"Receipt.ini", "good"},
                                         {"UNIDRV.DLL", "damaged bytes", true, 0x12345678u}})}};
  EXPECT_EQ(kPayloadBroken, Extract(c));
  EXPECT_FALSE(files.Exists(kWork + u"Windows x64\\UNIDRV.DLL"));

  std::atomic<bool> extracted{true};
  PayloadWorker(extraction, extracted);
  EXPECT_FALSE(extracted);
}

TEST_F(PayloadExtractionTest, ImplausibleSizesAreSkippedAndTheWalkGoesOn) {
  ZipEntry huge{"HUGE.DLL", "tiny", true, std::nullopt, 0xFFFFFFF0u};
  ZipEntry stored{"STORED.DLL", "abc", false, std::nullopt, 400000000u};
  Container c;
  c.records = {{"Windows x64", BuildZip({huge, stored, {"Receipt.ini", "fine"}})}};
  EXPECT_EQ(kPayloadOk, Extract(c));
  EXPECT_EQ((std::set<WString>{u"Windows x64\\", u"Windows x64\\Receipt.ini"}), files.Tree(kWork));
}

TEST_F(PayloadExtractionTest, PlatformNamesMustBePlainFolderNames) {
  for (const char* name : {"..\\..\\Windows", "..", "Windows/x64", "C:evil"}) {
    SCOPED_TRACE(name);
    FakeFiles local;
    FakeProcess localProcess;
    FakeFileSecurity localSecurity(local);
    PayloadExtraction localExtraction(local, system, localProcess, localSecurity, kWork);
    Container c;
    c.records = {{name, DriverArchive("evil")}};
    local.AddFile(localProcess.programFilePath, c.Build());
    EXPECT_EQ(kPayloadBroken, localExtraction.ExtractPayload());
    EXPECT_TRUE(local.Tree(kWork).empty());
  }
}

TEST_F(PayloadExtractionTest, PathsThatDoNotFitAreRefusedCleanly) {
  Container c;
  const std::string longName(220, 'p');  // working folder (39) + name + ".zip" > 255
  c.records = {{longName, DriverArchive("x")}};
  EXPECT_EQ(kPayloadBroken, Extract(c));
  EXPECT_TRUE(files.Tree(kWork).empty());
}

TEST_F(PayloadExtractionTest, SaveRecordDataFailures) {
  files.AddFile(u"C:\\program.bin", std::string(40000, 'z'));
  const std::string target = "C:\\Program Files (x86)\\out.zip";
  files.AddFolder(u"C:\\Program Files (x86)");
  {
    auto in = files.OpenForRead(u"C:\\program.bin");
    EXPECT_EQ(1, extraction.SaveRecordData(*in, 40000, target));
    EXPECT_EQ(std::string(40000, 'z'), files.Content(system.AnsiToWide(target)));
  }
  {
    auto in = files.OpenForRead(u"C:\\program.bin");
    EXPECT_EQ(-1, extraction.SaveRecordData(*in, 40001, target)) << "the file ends early";
  }
  {
    files.FailWriteAfter(system.AnsiToWide(target), 20000);
    auto in = files.OpenForRead(u"C:\\program.bin");
    EXPECT_EQ(-1, extraction.SaveRecordData(*in, 40000, target)) << "short write";
  }
  {
    auto in = files.OpenForRead(u"C:\\program.bin");
    EXPECT_EQ(-1, extraction.SaveRecordData(*in, 10, "C:\\missing\\out.zip")) << "no folder";
  }
}

TEST_F(PayloadExtractionTest, WorkerRetriesOnceAfterAFailure) {
  Container c;
  c.records = {{"Windows x64", DriverArchive("x64")}};
  files.AddFile(process.programFilePath, c.Build());
  files.Fail(FakeFiles::Op::kOpen, process.programFilePath, 1);
  std::atomic<bool> extracted{false};
  PayloadWorker(extraction, extracted);
  EXPECT_TRUE(extracted);

  files.Fail(FakeFiles::Op::kOpen, process.programFilePath, 2);
  PayloadWorker(extraction, extracted);
  EXPECT_FALSE(extracted) << "both attempts failed";
}

}  // namespace
}  // namespace kestrava
