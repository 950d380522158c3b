// Reads and writes bounded in time over a driver that may ignore a cancel: the call returns
// within its time and the grace after the cancel, and nothing the driver may still use is freed.
#include <gtest/gtest.h>

#include <memory>

#include "platform/overlapped_calls.h"
#include "tests/fakes/fake_overlapped_file.h"

namespace kestrava {
namespace {

using Step = FakeOverlappedFile::Step;

constexpr uint32_t kTime = 300;

class OverlappedCallsTest : public ::testing::Test {
 protected:
  uint64_t Elapsed() { return clock.MonotonicMs() - start; }

  FakeClock clock;
  FakeOverlappedFile file{clock};
  OverlappedCalls calls{file};
  uint64_t start = clock.MonotonicMs();
};

TEST_F(OverlappedCallsTest, ReadsEndWithinTheirTimeAndTheGraceAfterTheCancel) {
  struct Row {
    const char* what;
    Step step;
    bool ok;
    uint32_t count;
    uint32_t error;
    uint64_t tookMs;
    bool abandoned;
  };
  Step late = Step::Ends(900, "\x12");
  late.honoursCancel = false;
  const Row rows[] = {
      {"answered at once", Step::Ends(0, "\x12\x16"), true, 2, 0, 0, false},
      {"answered within its time", Step::Ends(120, "\x16"), true, 1, 0, 120, false},
      {"never answered, the cancel honoured", Step::Never(true), true, 0, 0, kTime, false},
      {"the cancel ignored, answered during the grace", late, true, 1, 0, 900, false},
      {"the cancel ignored for good", Step::Never(false), false, 0, kErrorTimeout,
       kTime + kCancelGraceMs, true},
      {"refused at once", Step::Refused(kErrorGenFailure), false, 0, kErrorGenFailure, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeOverlappedFile fresh(clock);
    OverlappedCalls bounded(fresh);
    fresh.steps = {row.step};
    start = clock.MonotonicMs();
    char reply[4] = {};
    const IoResult read = bounded.Read(reply, sizeof reply, kTime);
    EXPECT_EQ(row.ok, read.ok);
    EXPECT_EQ(row.count, read.count);
    EXPECT_EQ(row.error, read.error);
    EXPECT_EQ(row.tookMs, Elapsed());
    EXPECT_EQ(row.abandoned, bounded.abandoned());
    EXPECT_EQ(row.abandoned, fresh.closed) << "an abandoned call's handle is closed";
    EXPECT_EQ(0, fresh.destroyedWhileRunning);
  }
}

TEST_F(OverlappedCallsTest, AnAbandonedReadLeavesItsBufferToTheDriverNotTheCallersMemory) {
  file.steps = {Step::Never(false)};
  auto reply = std::make_unique<char[]>(8);
  const IoResult read = calls.Read(reply.get(), 8, kTime);
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(kTime + kCancelGraceMs, Elapsed()) << "bounded, though the driver never lets go";
  EXPECT_EQ(1, file.cancels);
  reply.reset();  // the caller's buffer goes as soon as the call returned

  // The driver ends the call much later and writes into the memory it was given; with
  // AddressSanitizer a freed buffer or block would be a use after free here.
  clock.Advance(60000);
  file.EndRunningCallsLate("late answer");
  EXPECT_EQ(0, file.destroyedWhileRunning) << "the call's block was never freed";
  EXPECT_TRUE(file.running.empty());

  char again[4] = {};
  const IoResult next = calls.Read(again, sizeof again, kTime);
  EXPECT_FALSE(next.ok);
  EXPECT_EQ(kErrorInvalidHandle, next.error) << "the device is closed after an abandoned call";
  EXPECT_EQ(1, file.calls) << "no call is started on the closed handle";
}

TEST_F(OverlappedCallsTest, AnAbandonedWriteFailsInItsBoundAndTheDriverReadsACopyLater) {
  file.steps = {Step::Ends(0, "", 3), Step::Never(false)};
  EXPECT_TRUE(calls.Write("\x1B\x40\x0A", 3, kTime).ok);
  auto block = std::make_unique<std::string>("\x10\x04\x01");
  start = clock.MonotonicMs();
  const IoResult written = calls.Write(block->data(), 3, kTime);
  EXPECT_FALSE(written.ok);
  EXPECT_EQ(kErrorTimeout, written.error);
  EXPECT_EQ(kTime + kCancelGraceMs, Elapsed());
  block.reset();
  file.EndRunningCallsLate("");
  EXPECT_EQ("\x10\x04\x01", file.lateWritten) << "the copy the call was given, intact";
  EXPECT_EQ(0, file.destroyedWhileRunning);
  EXPECT_EQ(kErrorInvalidHandle, calls.Write("x", 1, kTime).error);
}

TEST_F(OverlappedCallsTest, WritesFollowEachOtherAndACancelledWriteTellsWhatItTook) {
  file.steps = {Step::Ends(0, "", 4), Step::Ends(50, "", 2), Step::Never(true)};
  EXPECT_EQ(4u, calls.Write("COM3", 4, kTime).count);
  const IoResult part = calls.Write("abcd", 4, kTime);
  EXPECT_TRUE(part.ok) << "a write that ended in time counts what it took";
  EXPECT_EQ(2u, part.count);
  const IoResult stalled = calls.Write("efgh", 4, kTime);
  EXPECT_FALSE(stalled.ok);
  EXPECT_EQ(kErrorTimeout, stalled.error);
  EXPECT_FALSE(calls.abandoned()) << "the cancel was honoured";
  EXPECT_EQ((std::vector<uint64_t>{0, 4, 6}), file.offsets)
      << "each call goes on where the last ended";
  EXPECT_EQ("COM3ab", file.written);
}

}  // namespace
}  // namespace kestrava
