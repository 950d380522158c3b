#include "payload/container_walk.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_files.h"
#include "tests/payload/container_builder.h"

namespace kestrava {
namespace {

using testing::Container;
using testing::ContainerRecord;

const WString kProgram = u"C:\\Setup\\KestravaSetup.exe";

struct Walk {
  int result;
  std::vector<std::string> names;  // the records handed to the step, in order
  std::vector<std::string> data;   // what the step read at each record
  std::string version;
};

Walk WalkProgram(const std::string& program, bool stepSucceeds = true) {
  FakeFiles files;
  files.AddFile(kProgram, program);
  Walk walk;
  walk.result = WalkPayloadContainer(
      files, kProgram,
      [&](FileHandle& file, const PayloadRecord& r) {
        std::string data(r.dataSize, '\0');
        const int64_t got = file.Read(data.data(), data.size());
        data.resize(got < 0 ? 0 : static_cast<size_t>(got));
        walk.names.push_back(r.platformName);
        walk.data.push_back(data);
        return stepSucceeds;
      },
      &walk.version);
  return walk;
}

Container ThreePlatforms() {
  Container c;
  c.records = {{"Windows ARM64", "arm64-archive-bytes"},
               {"Windows NT x86", "x86-archive-content"},
               {"Windows x64", "x64-archive-data"}};
  return c;
}

TEST(PayloadContainer, HandsEveryRecordWithItsDataToTheStep) {
  const Walk walk = WalkProgram(ThreePlatforms().Build());
  EXPECT_EQ(kPayloadOk, walk.result);
  EXPECT_EQ((std::vector<std::string>{"Windows ARM64", "Windows NT x86", "Windows x64"}),
            walk.names);
  EXPECT_EQ(
      (std::vector<std::string>{"arm64-archive-bytes", "x86-archive-content", "x64-archive-data"}),
      walk.data);
  EXPECT_EQ("8.11.25.825", walk.version);
}

TEST(PayloadContainer, AStepThatReadsLessStillReachesTheNextRecord) {
  FakeFiles files;
  files.AddFile(kProgram, ThreePlatforms().Build());
  std::vector<std::string> seen;
  const int result =
      WalkPayloadContainer(files, kProgram, [&](FileHandle& file, const PayloadRecord& r) {
        char first[3] = {};
        file.Read(first, 3);
        seen.push_back(r.platformName + ":" + std::string(first, 3));
        return true;
      });
  EXPECT_EQ(kPayloadOk, result);
  EXPECT_EQ(
      (std::vector<std::string>{"Windows ARM64:arm", "Windows NT x86:x86", "Windows x64:x64"}),
      seen);
}

struct ResultCase {
  const char* what;
  std::string program;
  int expected;
  std::vector<std::string> stepped;  // records the step saw before the end
};

std::vector<ResultCase> ResultCases() {
  std::vector<ResultCase> cases;
  auto with = [](auto change) {
    Container c = ThreePlatforms();
    change(c);
    return c.Build();
  };
  const std::vector<std::string> all = {"Windows ARM64", "Windows NT x86", "Windows x64"};
  cases.push_back({"no records", with([](Container& c) { c.records.clear(); }), 0, {}});
  cases.push_back(
      {"entry count 1 ignores records", with([](Container& c) { c.entryCount = 1; }), 0, {}});
  cases.push_back({"entry count 0", with([](Container& c) { c.entryCount = 0; }), -1, {}});
  cases.push_back({"entry count 10000", with([](Container& c) { c.entryCount = 10000; }), -1, {}});
  cases.push_back({"entry count negative", with([](Container& c) { c.entryCount = -5; }), -1, {}});
  cases.push_back({"no trailer", std::string("MZ") + std::string(5000, 'x'), -2, {}});
  cases.push_back(
      {"file ends after the tag", with([](Container& c) { c.truncateAfterTag = true; }), -2, {}});
  cases.push_back({"header offset beyond the file",
                   with([](Container& c) { c.payloadOffset = 1 << 24; }),
                   -2,
                   {}});
  cases.push_back(
      {"negative header offset", with([](Container& c) { c.payloadOffset = -4; }), -2, {}});
  cases.push_back({"version of 50 bytes is kept",
                   with([](Container& c) { c.version = std::string(50, 'v'); }), 0, all});
  cases.push_back({"version of 51 bytes is refused",
                   with([](Container& c) { c.version = std::string(51, 'v'); }),
                   -2,
                   {}});
  cases.push_back(
      {"negative version length", with([](Container& c) { c.versionLength = -1; }), -2, {}});
  cases.push_back({"empty name is skipped",
                   with([](Container& c) { c.records[1].name = std::string(14, '\0'); }),
                   0,
                   {"Windows ARM64", "Windows x64"}});
  cases.push_back({"name length 0 ends the walk",
                   with([](Container& c) { c.records[1].nameLength = 0; }),
                   -3,
                   {"Windows ARM64"}});
  cases.push_back({"name length equal to the data size",
                   with([](Container& c) { c.records[2].data = std::string(11, 'd'); }),
                   -3,
                   {"Windows ARM64", "Windows NT x86"}});
  cases.push_back(
      {"negative data size", with([](Container& c) { c.records[0].dataSize = -100; }), -3, {}});
  cases.push_back({"name of 256 bytes is refused",
                   with([](Container& c) {
                     c.records[0].name = std::string(256, 'n');
                     c.records[0].data = std::string(300, 'd');
                   }),
                   -3,
                   {}});
  cases.push_back({"name of 255 bytes is taken",
                   with([](Container& c) {
                     c.records = {{std::string(255, 'n'), std::string(300, 'd')}};
                   }),
                   0,
                   {std::string(255, 'n')}});
  // A record cut off after its name length: the data size cannot be read.
  {
    Container c = ThreePlatforms();
    c.records.erase(c.records.begin() + 1, c.records.end());
    c.entryCount = 3;
    std::string program = c.Build();
    cases.push_back({"entry count larger than the records", program, -3, {"Windows ARM64"}});
  }
  return cases;
}

TEST(PayloadContainer, ResultCodes) {
  for (const ResultCase& c : ResultCases()) {
    const Walk walk = WalkProgram(c.program);
    EXPECT_EQ(c.expected, walk.result) << c.what;
    EXPECT_EQ(c.stepped, walk.names) << c.what;
  }
}

TEST(PayloadContainer, FailedStepEndsTheWalk) {
  const Walk walk = WalkProgram(ThreePlatforms().Build(), false);
  EXPECT_EQ(kPayloadBroken, walk.result);
  EXPECT_EQ(1u, walk.names.size());
}

TEST(PayloadContainer, UnopenableOrUnmeasurableProgramFile) {
  FakeFiles files;
  EXPECT_EQ(kPayloadUnreadable, WalkPayloadContainer(files, kProgram, nullptr));
  files.AddFile(kProgram, ThreePlatforms().Build());
  files.Fail(FakeFiles::Op::kSize, kProgram);
  EXPECT_EQ(kPayloadUnreadable, WalkPayloadContainer(files, kProgram, nullptr));
}

}  // namespace
}  // namespace kestrava
