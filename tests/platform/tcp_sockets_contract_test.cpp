// The TCP service against the fake (natively) and Winsock (under Wine), on loopback only: a
// listener of the test's own and a port where nothing listens.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/platform/comm_implementations.h"

namespace kestrava {
namespace {

constexpr uint32_t kLoopback = 0x7F000001;

class TcpSocketsContract : public ContractWithCleanup<TcpSocketsUnderTest> {};

TEST_P(TcpSocketsContract, ANonBlockingConnectToAListenerBecomesReadyAndSends) {
  auto socket = subject->service->Create();
  ASSERT_TRUE(socket);
  ASSERT_TRUE(socket->SetNonBlocking());
  const ConnectStart start = socket->Connect(kLoopback, subject->listeningPort);
  ASSERT_NE(ConnectStart::kFailed, start);
  if (start == ConnectStart::kInProgress) {
    ASSERT_EQ(WaitOutcome::kReady, socket->WaitReady(1000));
  }
  EXPECT_EQ(0, socket->PendingError());
  const SendResult sent = socket->Send("\x1F\x1B\x1F\x67\x0A\x00", 6);
  EXPECT_TRUE(sent.ok);
  EXPECT_EQ(6u, sent.count);
  socket.reset();
  EXPECT_EQ(std::string("\x1F\x1B\x1F\x67\x0A\x00", 6), subject->received());
}

TEST_P(TcpSocketsContract, ARefusedConnectEndsTheWaitAtOnceWithAPendingError) {
  auto socket = subject->service->Create();
  ASSERT_TRUE(socket);
  ASSERT_TRUE(socket->SetNonBlocking());
  const ConnectStart start = socket->Connect(kLoopback, subject->closedPort);
  if (start == ConnectStart::kFailed) return;  // refused before it began: nothing to wait for
  ASSERT_EQ(ConnectStart::kInProgress, start);
  // Windows reports a failed connect only in select's exception set: a wait that watched only
  // for readable and writable would run its whole time.
  const auto begun = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitOutcome::kReady, socket->WaitReady(5000));
  EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::milliseconds(2500));
  EXPECT_EQ(kSocketConnectionRefused, socket->PendingError());
  EXPECT_FALSE(socket->Send("x", 1).ok);
}

TEST_P(TcpSocketsContract, AReceiveTakesWhatCameAndEndsAfterItsTimeWhenNothingDoes) {
  auto socket = subject->service->Create();
  ASSERT_TRUE(socket);
  ASSERT_TRUE(socket->SetNonBlocking());
  if (socket->Connect(kLoopback, subject->listeningPort) == ConnectStart::kInProgress) {
    ASSERT_EQ(WaitOutcome::kReady, socket->WaitReady(1000));
  }
  ASSERT_TRUE(socket->Send("\x10\x04\x04", 3).ok);
  subject->answer("\x12");
  char reply[8] = {};
  const SendResult first = socket->Receive(reply, sizeof reply, 2000);
  EXPECT_TRUE(first.ok);
  ASSERT_EQ(1u, first.count);
  EXPECT_EQ('\x12', reply[0]);
  const auto begun = std::chrono::steady_clock::now();
  const SendResult none = socket->Receive(reply, sizeof reply, 300);
  EXPECT_TRUE(none.ok) << "a receive that runs out is no failure";
  EXPECT_EQ(0u, none.count);
  EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(3)) << "bounded";
  socket.reset();
  EXPECT_EQ(std::string("\x10\x04\x04", 3), subject->received());
}

TEST_P(TcpSocketsContract, ASocketThatIsNotConnectedCannotSend) {
  auto socket = subject->service->Create();
  ASSERT_TRUE(socket);
  const SendResult sent = socket->Send("x", 1);
  EXPECT_FALSE(sent.ok);
  EXPECT_EQ(0u, sent.count);
  // Windows says "not connected" (10057); Wine says "reset" (10054).
  EXPECT_NE(0, sent.error);
}

INSTANTIATE_TEST_SUITE_P(All, TcpSocketsContract, ::testing::ValuesIn(TcpSocketsImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
