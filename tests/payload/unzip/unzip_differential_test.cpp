// unzip_lite against minizip on every archive of the corpus: the same walk through both must
// give the same transcript, also when the stream fails with an I/O error part of the way in.
// minizip's transcripts are the recorded walks the other builds compare unzip_lite against;
// KESTRAVA_UPDATE_WALKS=1 rewrites them after the corpus changed.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/payload/unzip/corpus.h"
#include "tests/payload/unzip/minizip_walk_api.h"
#include "tests/payload/unzip/zip_walk.h"

namespace kestrava::ziptest {
namespace {

class Differential : public testing::TestWithParam<std::string> {};

TEST_P(Differential, WalksLikeMinizipAndAsRecorded) {
  const MemoryArchive archive = CorpusArchive(GetParam());
  const Transcript minizip = Walk<MinizipApi>(archive);
  EXPECT_EQ("", FirstDifference(minizip, Walk<LiteApi>(archive)));

  const char* update = std::getenv("KESTRAVA_UPDATE_WALKS");
  if (update != nullptr && std::string(update) == "1") SaveWalk(GetParam(), minizip);
  Transcript recorded;
  ASSERT_TRUE(LoadWalk(GetParam(), recorded))
      << "no recorded walk for " << GetParam() << "; run with KESTRAVA_UPDATE_WALKS=1";
  EXPECT_EQ("", FirstDifference(recorded, minizip)) << "the recorded walk is stale";
}

TEST_P(Differential, FailsLikeMinizipOnReadErrors) {
  WalkLimits limits;
  limits.chunk = 1000;
  MemoryArchive archive = CorpusArchive(GetParam());
  for (int eighth = 0; eighth < 8; ++eighth) {
    archive.fail_from = archive.size * static_cast<unsigned>(eighth) / 8;
    archive.fail_to = archive.fail_from + 64;
    SCOPED_TRACE(testing::Message() << "I/O error at byte " << archive.fail_from);
    EXPECT_EQ("",
              FirstDifference(Walk<MinizipApi>(archive, limits), Walk<LiteApi>(archive, limits)));
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, Differential, testing::ValuesIn(CorpusArchives()),
                         [](const auto& p) { return TestName(p.param); });

}  // namespace
}  // namespace kestrava::ziptest
