// The datagram sockets against the fake (natively) and Winsock (under Wine). Every datagram
// goes to 127.0.0.1 between two sockets of the test; nothing is broadcast here.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>

#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kAddressInUse = 10048;  // WSAEADDRINUSE
constexpr auto kPatience = 10s;            // a wait that should end at once, bounded

class UdpSocketContract : public ::testing::TestWithParam<Implementation<UdpSockets>> {
 protected:
  void SetUp() override {
    sockets = GetParam().make();
    ASSERT_TRUE(sockets);
    receiver = sockets->Open(0);
    sender = sockets->Open(0);
    ASSERT_TRUE(receiver && sender);
    ASSERT_NE(0, receiver->LocalPort());
    ASSERT_NE(receiver->LocalPort(), sender->LocalPort());
  }

  bool Send(const std::string& bytes) {
    return sender->SendTo(kLoopbackAddress, receiver->LocalPort(), bytes.data(), bytes.size());
  }

  // Receives on another thread, as the discovery thread does.
  std::future<ReceiveStatus> ReceiveElsewhere() {
    return std::async(std::launch::async, [this] {
      Datagram datagram;
      return receiver->Receive(buffer, 256, datagram);
    });
  }

  std::unique_ptr<UdpSockets> sockets;
  std::unique_ptr<UdpSocket> receiver;
  std::unique_ptr<UdpSocket> sender;
  unsigned char buffer[300] = {};
};

TEST_P(UdpSocketContract, ADatagramArrivesWithTheSendersAddressAndPort) {
  const std::string probe("QX0001FIND\0", 11);
  ASSERT_TRUE(Send(probe));
  Datagram datagram;
  ASSERT_EQ(ReceiveStatus::kReceived, receiver->Receive(buffer, 256, datagram));
  EXPECT_EQ(11u, datagram.length);
  EXPECT_EQ(probe, std::string(reinterpret_cast<char*>(buffer), datagram.length));
  EXPECT_EQ(kLoopbackAddress, datagram.fromAddress);
  EXPECT_EQ(sender->LocalPort(), datagram.fromPort);
  EXPECT_TRUE(receiver->EnableBroadcast());
}

TEST_P(UdpSocketContract, DatagramsLongerThanTheBufferAreRefusedAndConsumed) {
  struct Row {
    size_t size;
    ReceiveStatus status;
  };
  const Row rows[] = {{1, ReceiveStatus::kReceived},   {255, ReceiveStatus::kReceived},
                      {256, ReceiveStatus::kReceived}, {257, ReceiveStatus::kTooLong},
                      {300, ReceiveStatus::kTooLong},  {2, ReceiveStatus::kReceived}};
  for (const Row& row : rows) {
    ASSERT_TRUE(Send(std::string(row.size, 'Q')));
  }
  for (const Row& row : rows) {
    std::memset(buffer, 0xEE, sizeof buffer);
    Datagram datagram;
    EXPECT_EQ(row.status, receiver->Receive(buffer, 256, datagram)) << row.size << " bytes";
    if (row.status == ReceiveStatus::kReceived) {
      EXPECT_EQ(row.size, datagram.length);
    }
    for (size_t i = 256; i < sizeof buffer; ++i) {
      ASSERT_EQ(0xEE, buffer[i]) << row.size << " bytes: written past the buffer at " << i;
    }
  }
}

TEST_P(UdpSocketContract, ACancelFromAnotherThreadEndsThePendingReceive) {
  auto pending = ReceiveElsewhere();
  EXPECT_EQ(std::future_status::timeout, pending.wait_for(100ms)) << "nothing was sent";
  receiver->Cancel();
  ASSERT_EQ(std::future_status::ready, pending.wait_for(kPatience));
  EXPECT_EQ(ReceiveStatus::kCancelled, pending.get());
}

TEST_P(UdpSocketContract, ACancelBeforeTheReceiveHoldsUntilRearmed) {
  ASSERT_TRUE(Send("Q1"));
  receiver->Cancel();
  Datagram datagram;
  EXPECT_EQ(ReceiveStatus::kCancelled, receiver->Receive(buffer, 256, datagram))
      << "even with a datagram waiting";
  EXPECT_EQ(ReceiveStatus::kCancelled, receiver->Receive(buffer, 256, datagram));
  receiver->Rearm();
  ASSERT_EQ(ReceiveStatus::kReceived, receiver->Receive(buffer, 256, datagram));
  EXPECT_EQ(2u, datagram.length);
  auto pending = ReceiveElsewhere();
  EXPECT_EQ(std::future_status::timeout, pending.wait_for(100ms)) << "re-armed: it waits";
  receiver->Cancel();
  ASSERT_EQ(std::future_status::ready, pending.wait_for(kPatience));
}

TEST_P(UdpSocketContract, CloseEndsThePendingReceiveAndFreesThePort) {
  const uint16_t port = receiver->LocalPort();
  auto pending = ReceiveElsewhere();
  EXPECT_EQ(std::future_status::timeout, pending.wait_for(100ms));
  receiver->Close();
  ASSERT_EQ(std::future_status::ready, pending.wait_for(kPatience));
  EXPECT_EQ(ReceiveStatus::kCancelled, pending.get());
  receiver->Rearm();
  Datagram datagram;
  EXPECT_EQ(ReceiveStatus::kCancelled, receiver->Receive(buffer, 256, datagram))
      << "closed for good";
  EXPECT_FALSE(receiver->SendTo(kLoopbackAddress, sender->LocalPort(), "Q", 1));
  EXPECT_FALSE(receiver->EnableBroadcast());

  auto again = sockets->Open(port);
  ASSERT_TRUE(again) << "the port is free as soon as the socket is closed";
  receiver = std::move(again);
  ASSERT_TRUE(Send("Q again"));
  ASSERT_EQ(ReceiveStatus::kReceived, receiver->Receive(buffer, 256, datagram));
  EXPECT_EQ(7u, datagram.length);
}

TEST_P(UdpSocketContract, ASocketAddedForAnAddressSendsAndReceivesWithTheGroup) {
  ASSERT_TRUE(receiver->AddLocalAddress(kLoopbackAddress));
  EXPECT_TRUE(receiver->AddLocalAddress(kLoopbackAddress)) << "one for it already";
  EXPECT_EQ(std::vector<uint32_t>{kLoopbackAddress}, receiver->LocalAddresses());
  ASSERT_TRUE(receiver->SendFrom(kLoopbackAddress, kLoopbackAddress, sender->LocalPort(), "Q1", 2));
  EXPECT_FALSE(receiver->SendFrom(0x7F000002, kLoopbackAddress, sender->LocalPort(), "Q", 1))
      << "no socket for that address";
  Datagram datagram;
  ASSERT_EQ(ReceiveStatus::kReceived, sender->Receive(buffer, 256, datagram));
  EXPECT_EQ(kLoopbackAddress, datagram.fromAddress);
  const uint16_t addedPort = datagram.fromPort;
  EXPECT_NE(receiver->LocalPort(), addedPort) << "a port of its own";

  // What comes to either socket of the group is received, in turn.
  ASSERT_TRUE(sender->SendTo(kLoopbackAddress, addedPort, "to the added", 12));
  ASSERT_TRUE(Send("to the first"));
  std::vector<std::string> received;
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(ReceiveStatus::kReceived, receiver->Receive(buffer, 256, datagram));
    received.emplace_back(reinterpret_cast<char*>(buffer), datagram.length);
  }
  std::sort(received.begin(), received.end());
  EXPECT_EQ((std::vector<std::string>{"to the added", "to the first"}), received);

  // A cancel ends a wait on the group; once removed, the added socket sends nothing.
  auto pending = ReceiveElsewhere();
  EXPECT_EQ(std::future_status::timeout, pending.wait_for(100ms));
  receiver->Cancel();
  ASSERT_EQ(std::future_status::ready, pending.wait_for(kPatience));
  EXPECT_EQ(ReceiveStatus::kCancelled, pending.get());
  receiver->RemoveLocalAddress(kLoopbackAddress);
  EXPECT_TRUE(receiver->LocalAddresses().empty());
  EXPECT_FALSE(receiver->SendFrom(kLoopbackAddress, kLoopbackAddress, sender->LocalPort(), "Q", 1));
  receiver->Close();
  EXPECT_FALSE(receiver->AddLocalAddress(kLoopbackAddress)) << "closed for good";
}

TEST_P(UdpSocketContract, APortInUseIsRefusedWithTheSystemsError) {
  uint32_t error = 0;
  EXPECT_FALSE(sockets->Open(receiver->LocalPort(), &error));
  EXPECT_EQ(kAddressInUse, error);
}

INSTANTIATE_TEST_SUITE_P(All, UdpSocketContract, ::testing::ValuesIn(UdpSocketsImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
