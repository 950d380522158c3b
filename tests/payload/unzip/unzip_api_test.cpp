// The facade the extractor calls: minizip on Linux, unzip_lite on Windows, with the same names,
// the same result values and the same I/O callbacks.
#include <gtest/gtest.h>

#include <string>

#include "payload/unzip/unzip_api.h"
#include "payload/unzip/unzip_lite.h"
#include "tests/payload/unzip/corpus.h"
#include "tests/payload/unzip/memory_zip_io.h"

namespace kestrava::zipapi {
namespace {

static_assert(kOk == unzip_lite::kOk && kEof == unzip_lite::kEof);
static_assert(kEndOfListOfFile == unzip_lite::kEndOfListOfFile && kErrno == unzip_lite::kErrno);
static_assert(kParamError == unzip_lite::kParamError && kBadZipFile == unzip_lite::kBadZipFile);
static_assert(kInternalError == unzip_lite::kInternalError && kCrcError == unzip_lite::kCrcError);
static_assert(kSeekSet == unzip_lite::kSeekSet && kSeekCur == unzip_lite::kSeekCur &&
              kSeekEnd == unzip_lite::kSeekEnd);
static_assert(kModeRead == unzip_lite::kModeRead && kModeExisting == unzip_lite::kModeExisting);

TEST(UnzipApi, ReadsAnEntryThroughEitherBackend) {
  const ziptest::MemoryArchive archive = ziptest::CorpusArchive("good_prefixed.zip");
  ziptest::IoLog log;
  zlib_filefunc64_def io = ziptest::MemoryFileFuncs<zlib_filefunc64_def>(&log);
  unzFile zip = unzOpen2_64(&archive, &io);
  ASSERT_NE(nullptr, zip);
  std::string found;
  for (int rc = unzGoToFirstFile(zip); rc == kOk; rc = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    char name[256];
    ASSERT_EQ(kOk, unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0));
    if (std::string(name) != "RES/lang/strings.txt") continue;
    ASSERT_EQ(kOk, unzOpenCurrentFile(zip));
    found.resize(static_cast<std::size_t>(info.uncompressed_size));
    EXPECT_EQ(static_cast<int>(found.size()),
              unzReadCurrentFile(zip, found.data(), static_cast<unsigned>(found.size())));
    EXPECT_EQ(kOk, unzCloseCurrentFile(zip));
  }
  EXPECT_EQ(kOk, unzClose(zip));
  EXPECT_EQ("Drucker bereit\nImprimante pr\xc3\xaate\n", found);
  EXPECT_EQ(log.opens, log.closes);
}

}  // namespace
}  // namespace kestrava::zipapi
