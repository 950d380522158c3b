// The device service against the fake (natively) and CreateFile and its calls (under Wine):
// a plain file stands for a device that takes writes, a named pipe for one that answers, late
// or never, and hangs up.
#include <gtest/gtest.h>

#include "tests/platform/comm_implementations.h"

namespace kestrava {
namespace {

constexpr uint32_t kBound = 5000;  // for writes that the device takes at once

class DeviceIoContract : public ContractWithCleanup<DeviceIoUnderTest> {
 protected:
  DeviceIo& io() { return *subject->service; }
};

TEST_P(DeviceIoContract, NothingIsOpenedWhereNothingIs) {
  uint32_t error = 0;
  EXPECT_FALSE(io().Open(subject->missing, &error));
  EXPECT_EQ(kErrorFileNotFound, error);
}

TEST_P(DeviceIoContract, ADeviceIsNotShared) {
  auto first = io().Open(subject->file);
  ASSERT_TRUE(first);
  uint32_t error = 0;
  EXPECT_FALSE(io().Open(subject->file, &error));
  EXPECT_EQ(kErrorSharingViolation, error);
  first.reset();
  EXPECT_TRUE(io().Open(subject->file)) << "free again once closed";
}

TEST_P(DeviceIoContract, WritesFollowEachOtherAndTellTheirCount) {
  auto device = io().Open(subject->file);
  ASSERT_TRUE(device);
  const IoResult first = device->Write("COM PORT:", 9, kBound);
  EXPECT_TRUE(first.ok);
  EXPECT_EQ(9u, first.count);
  EXPECT_EQ(0u, first.error);
  const std::string rest("COM3\0", 5);
  EXPECT_EQ(5u, device->Write(rest.data(), 5, kBound).count);
  device.reset();
  EXPECT_EQ(std::string("COM PORT:COM3\0", 14), subject->fileContent());
}

TEST_P(DeviceIoContract, ADeviceThatTakesNothingEndsTheWriteAfterItsTime) {
  auto device = io().Open(subject->channel);
  ASSERT_TRUE(device);
  subject->stall();
  const std::string block(64 * 1024, '\x55');
  const uint64_t before = subject->clock->MonotonicMs();
  const IoResult written = device->Write(block.data(), static_cast<uint32_t>(block.size()), 300);
  const uint64_t took = subject->clock->MonotonicMs() - before;
  EXPECT_FALSE(written.ok);
  EXPECT_EQ(kErrorTimeout, written.error);
  EXPECT_LT(written.count, block.size());
  EXPECT_GE(took, 250u);
  EXPECT_LT(took, 3000u) << "bounded";
  // The cancelled write has let go: the device takes the next one.
  subject->drain();
  EXPECT_TRUE(device->Write("\x1B\x40", 2, kBound).ok);
}

TEST_P(DeviceIoContract, TheSerialCallsFailOnOtherDevices) {
  auto device = io().Open(subject->file);
  ASSERT_TRUE(device);
  EXPECT_FALSE(device->SetTimeouts(CommTimeouts{0, 20, 20, 1, 2}));
  LineSettings settings;
  settings.baudRate = 9600;
  settings.xonChar = 0x11;
  settings.xoffChar = 0x13;
  uint32_t error = 0;
  EXPECT_FALSE(device->SetLineSettings(settings, &error));
  EXPECT_NE(0u, error);
  EXPECT_FALSE(device->Purge());
  EXPECT_TRUE(device->Write("x", 1, kBound).ok) << "the device is still usable";
}

TEST_P(DeviceIoContract, AReadTakesWhatTheDeviceSentUpToItsCapacity) {
  auto device = io().Open(subject->channel);
  ASSERT_TRUE(device);
  subject->feed(std::string("\x12\x16", 2));
  char reply[5] = {};
  IoResult read = device->Read(reply, sizeof reply, 1000);
  EXPECT_TRUE(read.ok);
  ASSERT_EQ(2u, read.count);
  EXPECT_EQ("\x12\x16", std::string(reply, 2));
  subject->feed("123456");
  read = device->Read(reply, sizeof reply, 1000);
  EXPECT_EQ(5u, read.count);
  EXPECT_EQ("12345", std::string(reply, 5));
}

TEST_P(DeviceIoContract, ADeviceThatNeverAnswersEndsTheReadAfterItsTime) {
  auto device = io().Open(subject->channel);
  ASSERT_TRUE(device);
  char reply[5] = {};
  const uint64_t before = subject->clock->MonotonicMs();
  const IoResult read = device->Read(reply, sizeof reply, 300);
  const uint64_t took = subject->clock->MonotonicMs() - before;
  EXPECT_TRUE(read.ok) << "a read that runs out is no failure";
  EXPECT_EQ(0u, read.count);
  EXPECT_GE(took, 250u);
  EXPECT_LT(took, 3000u) << "bounded";
  // The device is still usable after the read was given up.
  EXPECT_TRUE(device->Write("\x10\x04\x01", 3, kBound).ok);
  EXPECT_EQ("\x10\x04\x01", subject->drain());
  subject->feed("\x16");
  EXPECT_EQ(1u, device->Read(reply, sizeof reply, 1000).count);
}

TEST_P(DeviceIoContract, AWriteToADeviceThatWentAwayFails) {
  auto device = io().Open(subject->channel);
  ASSERT_TRUE(device);
  subject->hangUp();
  const IoResult written = device->Write("\x1B\x40", 2, kBound);
  EXPECT_FALSE(written.ok);
  EXPECT_NE(0u, written.error);
}

INSTANTIATE_TEST_SUITE_P(All, DeviceIoContract, ::testing::ValuesIn(DeviceIoImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
