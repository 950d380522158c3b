#include "payload/payload_extraction.h"

#include <gtest/gtest.h>

#include "payload/working_folder.h"
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

const WString kWork(kWorkingFolder);

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
  PayloadExtraction extraction{files, system, process};
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
    PayloadExtraction localExtraction(local, system, localProcess);
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
    PayloadExtraction localExtraction(local, system, localProcess);
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
