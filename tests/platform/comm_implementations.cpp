#include "tests/platform/comm_implementations.h"

#include "tests/fakes/fake_arp_table.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_device_interfaces.h"
#include "tests/fakes/fake_device_io.h"
#include "tests/fakes/fake_screen_gdi.h"
#include "tests/fakes/fake_tcp_sockets.h"

namespace kestrava {

namespace {

constexpr uint32_t kLoopback = 0x7F000001;

std::unique_ptr<DeviceInterfacesUnderTest> MakeFakeDeviceInterfaces() {
  auto subject = std::make_unique<DeviceInterfacesUnderTest>();
  auto fake = std::make_unique<FakeDeviceInterfaces>();
  FakeDeviceInterfaces* raw = fake.get();
  subject->service = std::move(fake);
  subject->addInterface = [raw](int number) {
    const WString path = u"\\\\?\\root#kestravacontract#000" + WidenAscii(std::to_string(number)) +
                         u"#{6b1c2f4e-2d3a-4c55-9a10-112233445566}";
    raw->Add(path, kInterfaceActive, kContractInterfaceClass);
    return path;
  };
  return subject;
}

std::unique_ptr<DeviceIoUnderTest> MakeFakeDeviceIo() {
  auto subject = std::make_unique<DeviceIoUnderTest>();
  auto clock = std::make_unique<FakeClock>();
  auto fake = std::make_unique<FakeDeviceIo>(clock.get());
  FakeDeviceIo* raw = fake.get();
  subject->service = std::move(fake);
  subject->clock = std::move(clock);
  subject->file = u"C:\\scratch\\device.bin";
  subject->missing = u"C:\\scratch\\missing.bin";
  raw->Add(subject->file);
  subject->fileContent = [raw, path = subject->file] { return raw->Written(path); };
  subject->channel = u"\\\\.\\pipe\\kestrava-contract";
  raw->Add(subject->channel);
  subject->feed = [raw, path = subject->channel](const std::string& bytes) {
    raw->Find(path)->replies.push_back(bytes);
  };
  subject->drain = [raw, path = subject->channel] { return raw->Written(path); };
  subject->hangUp = [raw, path = subject->channel] { raw->Vanish(path); };
  subject->stall = [raw, path = subject->channel] {
    raw->Find(path)->writes.push_back({FakeDeviceIo::WriteStep::kNever});
  };
  return subject;
}

std::unique_ptr<TcpSocketsUnderTest> MakeFakeTcpSockets() {
  auto subject = std::make_unique<TcpSocketsUnderTest>();
  auto fake = std::make_unique<FakeTcpSockets>();
  FakeTcpSockets* raw = fake.get();
  subject->service = std::move(fake);
  subject->listeningPort = 9100;
  subject->closedPort = 9101;
  // As Windows (in the exception set) and Wine answer a refused connect: the wait ends at once,
  // the pending error says why.
  raw->SetPeer(kLoopback, subject->listeningPort, FakeTcpSockets::Peer::kAccepts);
  raw->SetPeer(kLoopback, subject->closedPort, FakeTcpSockets::Peer::kRefusesWhenReady);
  subject->answer = [raw, port = subject->listeningPort](const std::string& bytes) {
    raw->replies[{kLoopback, port}].push_back(bytes);
  };
  subject->received = [raw]() -> std::string {
    const std::vector<const FakeTcpSockets::Connection*> established = raw->Established();
    return established.empty() ? std::string() : established[0]->sent;
  };
  return subject;
}

}  // namespace

std::vector<Implementation<DeviceInterfacesUnderTest>> DeviceInterfacesImplementations() {
  std::vector<Implementation<DeviceInterfacesUnderTest>> all = {{"Fake", MakeFakeDeviceInterfaces}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32DeviceInterfaces});
#endif
  return all;
}

std::vector<Implementation<DeviceIoUnderTest>> DeviceIoImplementations() {
  std::vector<Implementation<DeviceIoUnderTest>> all = {{"Fake", MakeFakeDeviceIo}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32DeviceIo});
#endif
  return all;
}

std::vector<Implementation<TcpSocketsUnderTest>> TcpSocketsImplementations() {
  std::vector<Implementation<TcpSocketsUnderTest>> all = {{"Fake", MakeFakeTcpSockets}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32TcpSockets});
#endif
  return all;
}

std::vector<Implementation<ArpTable>> ArpTableImplementations() {
  std::vector<Implementation<ArpTable>> all = {
      {"Fake", [] {
         auto fake = std::make_unique<FakeArpTable>();
         fake->rows = {{0x0A000002, 4}, {0x0A000001, 4}, {0xC0A80001, 2}};
         return std::unique_ptr<ArpTable>(std::move(fake));
       }}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32ArpTable});
#endif
  return all;
}

std::vector<Implementation<ScreenGdi>> ScreenGdiImplementations() {
  std::vector<Implementation<ScreenGdi>> all = {
      {"Fake", [] { return std::unique_ptr<ScreenGdi>(std::make_unique<FakeScreenGdi>()); }}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32ScreenGdi});
#endif
  return all;
}

}  // namespace kestrava
