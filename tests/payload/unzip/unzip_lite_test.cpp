// unzip_lite on its own, on every build: the good archives read back as Python's zipfile
// listed them, buffers are filled as minizip fills them, CRC errors surface on close, misuse
// and I/O errors are reported, and every corpus archive walks as minizip walked it on Linux.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "payload/unzip/unzip_lite.h"
#include "tests/payload/unzip/corpus.h"
#include "tests/payload/unzip/memory_zip_io.h"
#include "tests/payload/unzip/zip_walk.h"

namespace kestrava::unzip_lite {
namespace {

using ziptest::CorpusArchive;
using ziptest::IoLog;
using ziptest::MemoryArchive;

// An archive opened through the memory callbacks, closed at the end of the scope.
class Opened {
 public:
  explicit Opened(const MemoryArchive& archive) : archive_(archive) {
    funcs_ = ziptest::MemoryFileFuncs<zlib_filefunc64_def>(&log_);
    zip_ = unzOpen2_64(&archive_, &funcs_);
  }
  explicit Opened(const std::string& name) : Opened(CorpusArchive(name)) {}
  ~Opened() {
    if (zip_ != nullptr) unzClose(zip_);
  }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;

  unzFile zip() const { return zip_; }
  const IoLog& log() const { return log_; }
  const MemoryArchive& archive() const { return archive_; }
  // Closes now, for tests of what closing does.
  int Close() { return unzClose(std::exchange(zip_, nullptr)); }

 private:
  MemoryArchive archive_;
  IoLog log_;
  zlib_filefunc64_def funcs_{};
  unzFile zip_ = nullptr;
};

std::string CurrentName(unzFile zip) {
  char name[300];
  EXPECT_EQ(kOk, unzGetCurrentFileInfo64(zip, nullptr, name, sizeof name, nullptr, 0, nullptr, 0));
  return name;
}

// Reads the current entry in one call of `size` bytes.
std::vector<unsigned char> ReadWhole(unzFile zip, unsigned long long size, int& result) {
  std::vector<unsigned char> bytes(static_cast<std::size_t>(size) + 1);
  EXPECT_EQ(kOk, unzOpenCurrentFile(zip));
  result = unzReadCurrentFile(zip, bytes.data(), static_cast<unsigned>(size));
  bytes.resize(result > 0 ? static_cast<std::size_t>(result) : 0);
  return bytes;
}

class GoodArchive : public testing::TestWithParam<std::string> {};

TEST_P(GoodArchive, ReadsEveryEntryAsListed) {
  const ziptest::ListedArchive listed = ziptest::CorpusManifest().at(GetParam());
  Opened opened(GetParam());
  unzFile zip = opened.zip();
  ASSERT_NE(nullptr, zip);

  unz_global_info64 global;
  ASSERT_EQ(kOk, unzGetGlobalInfo64(zip, &global));
  EXPECT_EQ(listed.entries.size(), global.number_entry);
  std::string comment(global.size_comment, '?');
  EXPECT_EQ(static_cast<int>(comment.size()),
            unzGetGlobalComment(zip, comment.data(), static_cast<unsigned long>(comment.size())));
  EXPECT_EQ(listed.comment, comment);

  int step = unzGoToFirstFile(zip);
  for (const ziptest::ListedEntry& entry : listed.entries) {
    SCOPED_TRACE(entry.name);
    ASSERT_EQ(kOk, step);
    unz_file_info64 info;
    ASSERT_EQ(kOk, unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0));
    EXPECT_EQ(entry.name, CurrentName(zip));
    EXPECT_EQ(entry.method, info.compression_method);
    EXPECT_EQ(entry.compressed, info.compressed_size);
    EXPECT_EQ(entry.uncompressed, info.uncompressed_size);
    EXPECT_EQ(entry.crc, info.crc);

    int result = 0;
    const auto bytes = ReadWhole(zip, entry.uncompressed, result);
    EXPECT_EQ(static_cast<int>(entry.uncompressed), result);
    EXPECT_EQ(entry.crc, crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
    unsigned char more;
    EXPECT_EQ(kEof, unzReadCurrentFile(zip, &more, 1));
    EXPECT_EQ(kOk, unzCloseCurrentFile(zip));
    step = unzGoToNextFile(zip);
  }
  EXPECT_EQ(kEndOfListOfFile, step);
}

std::vector<std::string> GoodArchives() {
  std::vector<std::string> names;
  for (const auto& [name, listed] : ziptest::CorpusManifest()) names.push_back(name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Corpus, GoodArchive, testing::ValuesIn(GoodArchives()),
                         [](const auto& p) { return ziptest::TestName(p.param); });

// What a buffer of `size` bytes (and one beyond, which must stay untouched) holds after the
// call; '#' marks an untouched byte.
struct BufferRow {
  enum Field { kName, kEntryComment, kArchiveComment } field;
  unsigned long size;
  std::string expected;
};

TEST(UnzipLite, FillsBuffersLikeMinizip) {
  using std::string_literals::operator""s;
  const BufferRow rows[] = {
      {BufferRow::kName, 0, "#"},
      {BufferRow::kName, 1, "r#"},
      {BufferRow::kName, 9, "readme.tx#"},
      {BufferRow::kName, 10, "readme.txt#"},
      {BufferRow::kName, 11, "readme.txt\0#"s},
      {BufferRow::kName, 13, "readme.txt\0###"s},
      {BufferRow::kEntryComment, 0, "#"},
      {BufferRow::kEntryComment, 5, "first#"},
      {BufferRow::kEntryComment, 11, "first entry#"},
      {BufferRow::kEntryComment, 12, "first entry\0#"s},
      {BufferRow::kArchiveComment, 0, "#"},
      {BufferRow::kArchiveComment, 5, "Kestr#"},
      {BufferRow::kArchiveComment, 37, "Kestrava driver payload, test archive#"},
      {BufferRow::kArchiveComment, 39, "Kestrava driver payload, test archive\0##"s},
  };
  Opened opened("good_python_deflated.zip");  // readme.txt, commented "first entry"
  for (const BufferRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.field << " in " << row.size);
    std::string buf(row.size + 1, '#');
    if (row.field == BufferRow::kArchiveComment) {
      const int copied = std::min(37, static_cast<int>(row.size));
      EXPECT_EQ(copied, unzGetGlobalComment(opened.zip(), buf.data(), row.size));
    } else {
      const bool name = row.field == BufferRow::kName;
      EXPECT_EQ(
          kOk, unzGetCurrentFileInfo64(opened.zip(), nullptr, name ? buf.data() : nullptr, row.size,
                                       nullptr, 0, name ? nullptr : buf.data(), row.size));
    }
    EXPECT_EQ(row.expected, buf);
  }
}

TEST(UnzipLite, ChecksTheCrcOnCloseOnlyAfterTheWholeEntry) {
  Opened opened("damaged_crc.zip");  // a stored and a deflated entry, both with a wrong CRC
  ASSERT_NE(nullptr, opened.zip());
  unzFile zip = opened.zip();
  for (int entry = 0; entry < 2; ++entry) {
    SCOPED_TRACE(entry);
    unz_file_info64 info;
    ASSERT_EQ(kOk, unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0));
    int result = 0;
    ReadWhole(zip, info.uncompressed_size, result);
    EXPECT_EQ(static_cast<int>(info.uncompressed_size), result);
    EXPECT_EQ(kCrcError, unzCloseCurrentFile(zip));

    ReadWhole(zip, info.uncompressed_size - 1, result);
    EXPECT_EQ(kOk, unzCloseCurrentFile(zip));
    ASSERT_EQ(kOk, unzOpenCurrentFile(zip));
    EXPECT_EQ(kOk, unzCloseCurrentFile(zip));
    unzGoToNextFile(zip);
  }
}

TEST(UnzipLite, RejectsMisuse) {
  char buf[8];
  unz_global_info64 global;
  unz_file_info64 info;
  EXPECT_EQ(kParamError, unzClose(nullptr));
  EXPECT_EQ(kParamError, unzGetGlobalInfo64(nullptr, &global));
  EXPECT_EQ(kParamError, unzGetGlobalComment(nullptr, buf, sizeof buf));
  EXPECT_EQ(kParamError, unzGoToFirstFile(nullptr));
  EXPECT_EQ(kParamError, unzGoToNextFile(nullptr));
  EXPECT_EQ(kParamError, unzGetCurrentFileInfo64(nullptr, &info, buf, 8, nullptr, 0, nullptr, 0));
  EXPECT_EQ(kParamError, unzOpenCurrentFile(nullptr));
  EXPECT_EQ(kParamError, unzReadCurrentFile(nullptr, buf, sizeof buf));
  EXPECT_EQ(kParamError, unzCloseCurrentFile(nullptr));
  const MemoryArchive archive = CorpusArchive("good_python_stored.zip");
  EXPECT_EQ(nullptr, unzOpen2_64(&archive, nullptr));

  Opened opened(archive);
  unzFile zip = opened.zip();
  EXPECT_EQ(kParamError, unzReadCurrentFile(zip, buf, sizeof buf));  // no entry open
  EXPECT_EQ(kParamError, unzCloseCurrentFile(zip));
  EXPECT_EQ(kParamError, unzGetGlobalInfo64(zip, nullptr));
  EXPECT_EQ(kParamError, unzGetGlobalComment(zip, nullptr, 5));
  ASSERT_EQ(kOk, unzOpenCurrentFile(zip));
  EXPECT_EQ(kParamError, unzReadCurrentFile(zip, nullptr, 4));
  while (unzGoToNextFile(zip) == kOk) {
  }
  EXPECT_EQ(kEndOfListOfFile, unzGoToNextFile(zip));
}

TEST(UnzipLite, OpensThePathGivenAndClosesTheStreamOnce) {
  struct Row {
    const char* archive;
    bool opens;
  };
  for (const Row& row : {Row{"good_prefixed.zip", true}, Row{"odd_empty.zip", false},
                         Row{"damaged_eocd_outside.zip", false}}) {
    SCOPED_TRACE(row.archive);
    Opened opened(row.archive);
    EXPECT_EQ(row.opens, opened.zip() != nullptr);
    EXPECT_EQ(&opened.archive(), opened.log().path);
    EXPECT_EQ(kModeRead | kModeExisting, opened.log().mode);
    EXPECT_EQ(row.opens ? 0 : 1, opened.log().closes);
    if (row.opens) {
      ASSERT_EQ(kOk, unzOpenCurrentFile(opened.zip()));  // left open: unzClose closes it
      EXPECT_EQ(kOk, opened.Close());
      EXPECT_EQ(1, opened.log().closes);
    }
  }
}

TEST(UnzipLite, ReportsIoErrorsOfTheStream) {
  // good_python_big.zip: Drivers/big.txt, 48518 bytes deflated to 342000, from offset 45.
  MemoryArchive archive = CorpusArchive("good_python_big.zip");
  archive.fail_from = 45 + 30000;
  archive.fail_to = archive.fail_from + 1;
  Opened opened(archive);
  ASSERT_NE(nullptr, opened.zip());
  int result = 0;
  ReadWhole(opened.zip(), 342000, result);
  EXPECT_EQ(kErrno, result);
  EXPECT_EQ(kOk, unzCloseCurrentFile(opened.zip()));

  archive.fail_from = archive.size - 10;  // inside the end record
  archive.fail_to = archive.size;
  EXPECT_EQ(nullptr, Opened(archive).zip());
}

class RecordedWalk : public testing::TestWithParam<std::string> {};

TEST_P(RecordedWalk, WalksAsMinizipDid) {
  ziptest::Transcript recorded;
  ASSERT_TRUE(ziptest::LoadWalk(GetParam(), recorded)) << "no recorded walk for " << GetParam();
  EXPECT_EQ("", ziptest::FirstDifference(
                    recorded, ziptest::Walk<ziptest::LiteApi>(CorpusArchive(GetParam()))));
}

INSTANTIATE_TEST_SUITE_P(Corpus, RecordedWalk, testing::ValuesIn(ziptest::CorpusArchives()),
                         [](const auto& p) { return ziptest::TestName(p.param); });

}  // namespace
}  // namespace kestrava::unzip_lite
