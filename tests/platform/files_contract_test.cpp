// The files service: the same cases against the fake, the Linux host implementation and the
// Win32 implementation (under Wine), each in a scratch folder of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/system_errors.h"
#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

class FilesContract : public ::testing::TestWithParam<Implementation<FilesUnderTest>> {
 protected:
  void SetUp() override {
    subject = GetParam().make();
    ASSERT_TRUE(subject);
    files = subject->files.get();
  }
  void TearDown() override {
    if (subject && subject->cleanup) subject->cleanup();
  }

  WString At(const WString& relative) const { return subject->base + relative; }

  bool WriteNew(const WString& path, const std::string& content) {
    auto out = files->Create(path, CreateMode::kNew);
    return out &&
           out->Write(content.data(), content.size()) == static_cast<int64_t>(content.size());
  }

  std::string ReadAll(const WString& path) {
    auto in = files->OpenForRead(path);
    if (!in) return "<cannot open>";
    std::string content;
    char buffer[7];  // odd size: several reads per file
    for (int64_t got; (got = in->Read(buffer, sizeof buffer)) > 0;) {
      content.append(buffer, static_cast<size_t>(got));
    }
    return content;
  }

  std::vector<WString> Names(const WString& folder) {
    std::vector<FolderEntry> entries;
    EXPECT_TRUE(files->List(folder + u"\\*.*", entries));
    std::vector<WString> names;
    for (const FolderEntry& entry : entries) {
      names.push_back(entry.name + (entry.attributes.isFolder ? u"\\" : u""));
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<FilesUnderTest> subject;
  Files* files = nullptr;
};

TEST_P(FilesContract, WrittenBytesReadBackWithSizeAndPositions) {
  const WString path = At(u"data.bin");
  const std::string content("header\0payload-bytes\xFF", 21);
  ASSERT_TRUE(WriteNew(path, content));
  EXPECT_EQ(content, ReadAll(path));

  auto in = files->OpenForRead(path);
  ASSERT_TRUE(in);
  EXPECT_EQ(std::optional<uint64_t>(21), in->Size());
  ASSERT_TRUE(in->Seek(-5, SeekOrigin::kEnd));
  EXPECT_EQ(16, in->Tell());
  char tail[5];
  EXPECT_EQ(5, in->Read(tail, 5));
  EXPECT_EQ(std::string("ytes\xFF"), std::string(tail, 5));
  EXPECT_EQ(0, in->Read(tail, 5)) << "at the end";
  ASSERT_TRUE(in->Seek(6, SeekOrigin::kBegin));
  ASSERT_TRUE(in->Seek(1, SeekOrigin::kCurrent));
  EXPECT_EQ(7, in->Tell());
  EXPECT_FALSE(in->Seek(-1, SeekOrigin::kBegin)) << "before the start";
}

TEST_P(FilesContract, CreateModes) {
  const WString path = At(u"file.txt");
  ASSERT_TRUE(WriteNew(path, "first"));
  EXPECT_FALSE(files->Create(path, CreateMode::kNew)) << "exists";
  EXPECT_EQ("first", ReadAll(path)) << "left unchanged";
  {
    auto out = files->Create(path, CreateMode::kTruncate);
    ASSERT_TRUE(out);
    EXPECT_EQ(2, out->Write("ok", 2));
  }
  EXPECT_EQ("ok", ReadAll(path));
  for (const char* more : {"+1", "+2"}) {
    auto out = files->Create(path, CreateMode::kAppend);
    ASSERT_TRUE(out);
    EXPECT_EQ(2, out->Write(more, 2));
  }
  EXPECT_EQ("ok+1+2", ReadAll(path)) << "appended, the earlier text kept";
  {
    auto out = files->Create(At(u"new.log"), CreateMode::kAppend);
    ASSERT_TRUE(out) << "made when missing";
    EXPECT_EQ(3, out->Write("one", 3));
  }
  EXPECT_EQ("one", ReadAll(At(u"new.log")));
  EXPECT_FALSE(files->Create(At(u"missing\\file.txt"), CreateMode::kTruncate)) << "no parent";
  EXPECT_FALSE(files->Create(At(u"missing\\file.txt"), CreateMode::kAppend)) << "no parent";
  EXPECT_FALSE(files->OpenForRead(At(u"missing.txt")));
  EXPECT_FALSE(files->OpenForRead(subject->base)) << "a folder is not a file";
}

TEST_P(FilesContract, FoldersAndAttributes) {
  EXPECT_TRUE(files->CreateFolder(At(u"one")));
  EXPECT_FALSE(files->CreateFolder(At(u"one"))) << "exists";
  EXPECT_FALSE(files->CreateFolder(At(u"two\\three"))) << "parent missing";
  EXPECT_TRUE(files->CreateFolder(At(u"one\\three")));

  auto folder = files->Attributes(At(u"one"));
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->isFolder);
  EXPECT_FALSE(folder->isLink);
  EXPECT_EQ(std::nullopt, files->Attributes(At(u"nothing")));
  EXPECT_TRUE(files->Attributes(u"C:\\").has_value()) << "the drive answers";

  ASSERT_TRUE(WriteNew(At(u"one\\f.txt"), "x"));
  EXPECT_FALSE(files->RemoveFolder(At(u"one"))) << "not empty";
  EXPECT_EQ((std::vector<WString>{u"..\\", u".\\", u"f.txt", u"three\\"}), Names(At(u"one")));
  std::vector<FolderEntry> entries;
  EXPECT_FALSE(files->List(At(u"nothing\\*.*"), entries)) << "missing folder";
  EXPECT_TRUE(files->RemoveFolder(At(u"one\\three")));
}

TEST_P(FilesContract, ReadOnlyFilesRefuseDeletionUntilMadeNormal) {
  const WString path = At(u"locked.txt");
  ASSERT_TRUE(WriteNew(path, "x"));
  ASSERT_TRUE(subject->makeReadOnly(path));
  auto attributes = files->Attributes(path);
  ASSERT_TRUE(attributes);
  EXPECT_TRUE(attributes->readOnly);
  EXPECT_FALSE(files->RemoveFile(path));
  EXPECT_TRUE(files->SetNormalAttributes(path));
  EXPECT_TRUE(files->RemoveFile(path));
  EXPECT_EQ(std::nullopt, files->Attributes(path));
  EXPECT_FALSE(files->RemoveFile(path)) << "already gone";
}

TEST_P(FilesContract, CopyReplacesOnlyWhenAsked) {
  ASSERT_TRUE(WriteNew(At(u"a.txt"), "alpha"));
  ASSERT_TRUE(WriteNew(At(u"b.txt"), "beta"));
  EXPECT_FALSE(files->Copy(At(u"a.txt"), At(u"b.txt"), false));
  EXPECT_EQ("beta", ReadAll(At(u"b.txt")));
  EXPECT_TRUE(files->Copy(At(u"a.txt"), At(u"b.txt"), true));
  EXPECT_EQ("alpha", ReadAll(At(u"b.txt")));
  uint32_t error = 99;
  EXPECT_TRUE(files->Copy(At(u"a.txt"), At(u"c.txt"), false, &error));
  EXPECT_EQ(0u, error);
  EXPECT_FALSE(files->Copy(At(u"none.txt"), At(u"d.txt"), true, &error));
  EXPECT_EQ(kErrorFileNotFound, error) << "the system's code of the failure";
}

TEST_P(FilesContract, NamesIgnoreCaseWhereWindowsDoes) {
  if (!subject->foldsCase) GTEST_SKIP() << "host file system keeps case";
  ASSERT_TRUE(WriteNew(At(u"Receipt.ini"), "[OEMFiles]"));
  EXPECT_EQ("[OEMFiles]", ReadAll(At(u"RECEIPT.INI")));
  EXPECT_FALSE(files->Create(At(u"receipt.ini"), CreateMode::kNew));
  EXPECT_EQ((std::vector<WString>{u"..\\", u".\\", u"Receipt.ini"}),
            Names(subject->base.substr(0, subject->base.size() - 1)));
}

TEST_P(FilesContract, FolderLinksAreSeenAsLinksAndRemovedWithoutTheirTarget) {
  ASSERT_TRUE(files->CreateFolder(At(u"target")));
  ASSERT_TRUE(WriteNew(At(u"target\\keep.txt"), "keep"));
  if (!subject->makeFolderLink || !subject->makeFolderLink(At(u"link"), At(u"target"))) {
    GTEST_SKIP() << "this system makes no folder links here";
  }
  auto link = files->Attributes(At(u"link"));
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->isLink);
  EXPECT_TRUE(link->isFolder);
  EXPECT_EQ("keep", ReadAll(At(u"link\\keep.txt"))) << "paths through a link follow it";
  EXPECT_TRUE(files->RemoveFolder(At(u"link")));
  EXPECT_EQ(std::nullopt, files->Attributes(At(u"link")));
  EXPECT_EQ("keep", ReadAll(At(u"target\\keep.txt")));
}

TEST_P(FilesContract, ReplacePutsAWholeFileInThePlaceOfAnother) {
  ASSERT_TRUE(WriteNew(At(u"setup.log"), "the old log"));
  {
    auto out = files->Create(At(u"setup.log.new"), CreateMode::kNew);
    ASSERT_TRUE(out);
    ASSERT_EQ(7, out->Write("new log", 7));
    EXPECT_TRUE(out->Flush()) << "written bytes go to the disk";
  }
  uint32_t error = 1;
  ASSERT_TRUE(files->Replace(At(u"setup.log.new"), At(u"setup.log"), &error));
  EXPECT_EQ(0u, error);
  EXPECT_EQ("new log", ReadAll(At(u"setup.log")));
  EXPECT_EQ(std::nullopt, files->Attributes(At(u"setup.log.new")));
  // Into a place that is free as well.
  ASSERT_TRUE(WriteNew(At(u"a.txt"), "a"));
  EXPECT_TRUE(files->Replace(At(u"a.txt"), At(u"b.txt")));
  EXPECT_EQ("a", ReadAll(At(u"b.txt")));
}

TEST_P(FilesContract, ReplaceRefusesWhatWindowsRefuses) {
  ASSERT_TRUE(WriteNew(At(u"new.txt"), "new"));
  ASSERT_TRUE(WriteNew(At(u"locked.txt"), "locked"));
  ASSERT_TRUE(subject->makeReadOnly(At(u"locked.txt")));
  ASSERT_TRUE(files->CreateFolder(At(u"folder")));
  struct Refusal {
    const char* what;
    WString from;
    WString to;
  } const rows[] = {
      {"a missing file", At(u"missing.txt"), At(u"new.txt")},
      {"over a read-only file", At(u"new.txt"), At(u"locked.txt")},
      {"over a folder", At(u"new.txt"), At(u"folder")},
      {"a folder", At(u"folder"), At(u"elsewhere")},
  };
  for (const Refusal& row : rows) {
    SCOPED_TRACE(row.what);
    uint32_t error = 0;
    EXPECT_FALSE(files->Replace(row.from, row.to, &error));
    EXPECT_NE(0u, error);
  }
  EXPECT_EQ("new", ReadAll(At(u"new.txt")));
  EXPECT_EQ("locked", ReadAll(At(u"locked.txt")));
  EXPECT_TRUE(files->Attributes(At(u"folder")));
  EXPECT_TRUE(files->SetNormalAttributes(At(u"locked.txt")));
}

INSTANTIATE_TEST_SUITE_P(All, FilesContract, ::testing::ValuesIn(FilesImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
