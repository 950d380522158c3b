#include "payload/payload_trailer.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_files.h"

namespace kestrava {
namespace {

struct TrailerCase {
  const char* what;
  std::string content;
  int64_t expected;
};

std::string Bytes(size_t count, char fill = 'x') {
  return std::string(count, fill);
}

// Offsets counted from the end of a 40000-byte file: the last chunk is [23616, 40000), the one
// before it [7232, 23616).
std::string At(size_t tagOffset, const std::string& tag, size_t size = 40000) {
  std::string content = Bytes(size);
  content.replace(tagOffset, tag.size(), tag);
  return content;
}

std::vector<TrailerCase> Cases() {
  const size_t boundary = 40000 - kTrailerSearchChunk;  // first byte of the last chunk
  return {
      {"tag at the very end", Bytes(100) + "EndMarker", 109},
      {"tag followed by filler", Bytes(100) + "EndMarker" + std::string(8, '\0') + "ffasdf", 109},
      {"small file, tag first", "EndMarker", 9},
      {"no tag", Bytes(50000), -1},
      {"empty file", "", -1},
      {"only part of the tag", Bytes(10) + "EndMarke" + Bytes(10), -1},
      {"letter case matters inside a chunk", Bytes(10) + "endmarker" + Bytes(10), -1},
      {"lowest offset wins within a chunk",
       At(30000, "EndMarker", 40000).replace(35000, 9, "EndMarker"), 30009},
      {"nearest the end wins between chunks", At(1000, "EndMarker").replace(30000, 9, "EndMarker"),
       30009},
      {"tag in an earlier chunk", At(1000, "EndMarker"), 1009},
      {"tag across a chunk boundary", At(boundary - 4, "EndMarker"),
       static_cast<int64_t>(boundary - 4 + 9)},
      {"across a boundary letter case is ignored", At(boundary - 4, "EndMARKER"),
       static_cast<int64_t>(boundary - 4 + 9)},
      {"tag ending exactly at a boundary", At(boundary - 9, "EndMarker"),
       static_cast<int64_t>(boundary)},
      {"tag starting exactly at a boundary", At(boundary, "EndMarker"),
       static_cast<int64_t>(boundary + 9)},
      {"boundary candidate that is not the tag", At(boundary - 4, "EndMXrker"), -1},
      {"tag cut off by the end of the file", Bytes(1000) + "EndMar", -1},
  };
}

TEST(FindPayloadTrailer, Table) {
  for (const TrailerCase& c : Cases()) {
    FakeFiles files;
    files.AddFile(u"C:\\program.exe", c.content);
    auto file = files.OpenForRead(u"C:\\program.exe");
    ASSERT_TRUE(file);
    EXPECT_EQ(c.expected, FindPayloadTrailer(*file, static_cast<uint32_t>(c.content.size())))
        << c.what;
  }
}

TEST(FindPayloadTrailer, UnreadableFileFails) {
  FakeFiles files;
  files.AddFile(u"C:\\program.exe", Bytes(40000) + "EndMarker");
  files.FailReadAfter(u"C:\\program.exe", 100);
  auto file = files.OpenForRead(u"C:\\program.exe");
  ASSERT_TRUE(file);
  EXPECT_EQ(-1, FindPayloadTrailer(*file, 40009));
}

}  // namespace
}  // namespace kestrava
