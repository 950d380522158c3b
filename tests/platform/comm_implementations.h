// The implementations the contract tests of the printer communication's services run against:
// the fakes everywhere and, on Windows builds, the Win32 ones, each with the means to make the
// other end of what it talks to (a device interface, a device that answers, a listener).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/arp_table.h"
#include "platform/clock.h"
#include "platform/device_interfaces.h"
#include "platform/device_io.h"
#include "platform/screen_gdi.h"
#include "platform/tcp_sockets.h"
#include "tests/platform/implementations.h"

namespace kestrava {

// An interface class of the test's own, {6b1c2f4e-2d3a-4c55-9a10-112233445566}.
inline constexpr InterfaceClass kContractInterfaceClass = {
    0x6b1c2f4e, 0x2d3a, 0x4c55, {0x9a, 0x10, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}};

struct DeviceInterfacesUnderTest {
  std::unique_ptr<DeviceInterfaces> service;
  // Makes a present device with an enabled interface of kContractInterfaceClass; returns the
  // interface's device path as the system will name it (case aside), empty on failure.
  std::function<WString(int number)> addInterface;
  std::function<void()> cleanup;
};

struct DeviceIoUnderTest {
  std::unique_ptr<DeviceIo> service;
  std::unique_ptr<Clock> clock;  // the time reads take
  WString file;                  // an empty file that exists
  WString missing;               // a path where nothing is
  std::function<std::string()> fileContent;
  // A device whose other end the test plays: it can send (feed) and see what it got (drain),
  // and go away (hangUp).
  WString channel;
  std::function<void(const std::string& bytes)> feed;
  std::function<std::string()> drain;
  std::function<void()> hangUp;
  // The other end stops taking anything: a block larger than the device buffers never goes.
  std::function<void()> stall;
  std::function<void()> cleanup;
};

struct TcpSocketsUnderTest {
  std::unique_ptr<TcpSockets> service;
  uint16_t listeningPort = 0;  // on 127.0.0.1
  uint16_t closedPort = 0;     // on 127.0.0.1, where nothing listens
  // What the listener received on its first connection, once the client has closed it.
  std::function<std::string()> received;
  // The listener's end of its first connection sends these bytes.
  std::function<void(const std::string& bytes)> answer;
  std::function<void()> cleanup;
};

// A contract suite over one of the structs above: the subject is made before each case and its
// other end cleaned up after it.
template <typename UnderTest>
class ContractWithCleanup : public ::testing::TestWithParam<Implementation<UnderTest>> {
 protected:
  void SetUp() override {
    subject = this->GetParam().make();
    ASSERT_TRUE(subject);
  }
  void TearDown() override {
    if (subject && subject->cleanup) subject->cleanup();
  }
  std::unique_ptr<UnderTest> subject;
};

std::vector<Implementation<DeviceInterfacesUnderTest>> DeviceInterfacesImplementations();
std::vector<Implementation<DeviceIoUnderTest>> DeviceIoImplementations();
std::vector<Implementation<TcpSocketsUnderTest>> TcpSocketsImplementations();
std::vector<Implementation<ArpTable>> ArpTableImplementations();
std::vector<Implementation<ScreenGdi>> ScreenGdiImplementations();

#ifdef _WIN32
std::unique_ptr<DeviceInterfacesUnderTest> MakeWin32DeviceInterfaces();
std::unique_ptr<DeviceIoUnderTest> MakeWin32DeviceIo();
std::unique_ptr<TcpSocketsUnderTest> MakeWin32TcpSockets();
std::unique_ptr<ArpTable> MakeWin32ArpTable();
std::unique_ptr<ScreenGdi> MakeWin32ScreenGdi();

// A present device `instance` (such as USB\VID_04B8&PID_0E15\KESTRAVA1) with an interface of
// `interfaceClass`, enabled the way Wine keeps it (its Control\Linked value is 1); returns the
// interface's device path, empty on failure. RemoveTestDevice takes the device, its interface
// and their keys away again.
WString AddTestDevice(const InterfaceClass& interfaceClass, const WString& instance);
void RemoveTestDevice(const InterfaceClass& interfaceClass, const WString& instance);
#endif

}  // namespace kestrava
