// The other ends of the printer communication's Win32 services for their contract tests: a
// device interface made with SetupAPI, a named pipe standing for a device that answers (or
// never does), and a listener on loopback.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/arp_table_win32.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/device_interfaces_win32.h"
#include "platform/win32/device_io_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/screen_gdi_win32.h"
#include "platform/win32/tcp_sockets_win32.h"
#include "platform/win32/win32.h"
#include "tests/platform/comm_implementations.h"
// clang-format off
#include <setupapi.h>
// clang-format on

namespace kestrava {

namespace {

GUID ToGuid(const InterfaceClass& c) {
  GUID guid{};
  guid.Data1 = c.data1;
  guid.Data2 = c.data2;
  guid.Data3 = c.data3;
  std::copy(std::begin(c.data4), std::end(c.data4), guid.Data4);
  return guid;
}

WString GuidText(const InterfaceClass& c) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                static_cast<unsigned long>(c.data1), c.data2, c.data3, c.data4[0], c.data4[1],
                c.data4[2], c.data4[3], c.data4[4], c.data4[5], c.data4[6], c.data4[7]);
  return WidenAscii(text);
}

const WString kDeviceClasses = u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\";

WString InterfaceKey(const InterfaceClass& c, const WString& path) {
  WString flattened = path;
  std::replace(flattened.begin(), flattened.end(), u'\\', u'#');
  return kDeviceClasses + GuidText(c) + u"\\" + flattened;
}

// The path of a test interface (short enough for a fixed buffer).
WString DevicePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data) {
  std::vector<DWORD> buffer(256);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  const auto size = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
  if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr)) {
    return WString();
  }
  return win32::FromWide(detail->DevicePath);
}

int Counter() {
  static int counter = 0;
  return ++counter;
}

}  // namespace

WString AddTestDevice(const InterfaceClass& interfaceClass, const WString& instance) {
  const GUID guid = ToGuid(interfaceClass);
  HDEVINFO set = SetupDiCreateDeviceInfoList(&guid, nullptr);
  if (set == INVALID_HANDLE_VALUE) return WString();
  WString path;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  if (SetupDiCreateDeviceInfoW(set, win32::Wide(instance), &guid, nullptr, nullptr, 0, &device) &&
      SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr)) {
    SP_DEVICE_INTERFACE_DATA created{};
    created.cbSize = sizeof(created);
    if (SetupDiCreateDeviceInterfaceW(set, &device, &guid, nullptr, 0, &created)) {
      path = DevicePath(set, created);
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  if (path.empty()) return path;
  // Only a driver enables an interface on Windows; Wine takes the value as the state.
  Win32Registry registry;
  auto control = registry.CreateMachineKey(InterfaceKey(interfaceClass, path) + u"\\#\\Control",
                                           kRegistryReadWrite);
  if (!control || !control->SetValue(u"Linked", RegistryValue::Dword(1))) return WString();
  return path;
}

void RemoveTestDevice(const InterfaceClass& interfaceClass, const WString& instance) {
  const GUID guid = ToGuid(interfaceClass);
  HDEVINFO set = SetupDiCreateDeviceInfoList(&guid, nullptr);
  if (set == INVALID_HANDLE_VALUE) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  WString path;
  if (SetupDiOpenDeviceInfoW(set, win32::Wide(instance), nullptr, 0, &device)) {
    SP_DEVICE_INTERFACE_DATA found{};
    found.cbSize = sizeof(found);
    if (SetupDiEnumDeviceInterfaces(set, &device, &guid, 0, &found)) {
      path = DevicePath(set, found);
    }
    SetupDiRemoveDevice(set, &device);
  }
  SetupDiDestroyDeviceInfoList(set);
  // Whatever the removal left behind.
  Win32Registry registry;
  if (!path.empty()) registry.DeleteMachineKeyTree(InterfaceKey(interfaceClass, path));
  registry.DeleteMachineKeyTree(u"SYSTEM\\CurrentControlSet\\Enum\\" + instance);
}

std::unique_ptr<DeviceInterfacesUnderTest> MakeWin32DeviceInterfaces() {
  auto subject = std::make_unique<DeviceInterfacesUnderTest>();
  subject->service = std::make_unique<Win32DeviceInterfaces>();
  auto made = std::make_shared<std::vector<WString>>();
  const WString prefix =
      u"ROOT\\KESTRAVACONTRACT\\" + WidenAscii(std::to_string(GetCurrentProcessId())) + u"-";
  subject->addInterface = [made, prefix](int number) {
    const WString instance = prefix + WidenAscii(std::to_string(number));
    made->push_back(instance);
    return AddTestDevice(kContractInterfaceClass, instance);
  };
  subject->cleanup = [made] {
    for (const WString& instance : *made) RemoveTestDevice(kContractInterfaceClass, instance);
    Win32Registry().DeleteMachineKeyTree(kDeviceClasses + GuidText(kContractInterfaceClass));
  };
  return subject;
}

namespace {

struct PipeServer {
  HANDLE handle = INVALID_HANDLE_VALUE;
  ~PipeServer() { Close(); }
  void Close() {
    if (handle != INVALID_HANDLE_VALUE) {
      DisconnectNamedPipe(handle);
      CloseHandle(handle);
    }
    handle = INVALID_HANDLE_VALUE;
  }
};

}  // namespace

std::unique_ptr<DeviceIoUnderTest> MakeWin32DeviceIo() {
  auto subject = std::make_unique<DeviceIoUnderTest>();
  subject->service = std::make_unique<Win32DeviceIo>();
  subject->clock = std::make_unique<Win32Clock>();
  const int number = Counter();
  const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(number);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"kestrava-device-" + tag + L".bin";
  HANDLE made = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (made == INVALID_HANDLE_VALUE) return nullptr;
  CloseHandle(made);
  subject->file = win32::FromWide(file.c_str());
  subject->missing = win32::FromWide((std::wstring(temp) + L"kestrava-missing-" + tag).c_str());
  subject->fileContent = [file]() -> std::string {
    HANDLE read = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (read == INVALID_HANDLE_VALUE) return "(cannot read)";
    std::string content(4096, '\0');
    DWORD got = 0;
    ReadFile(read, content.data(), static_cast<DWORD>(content.size()), &got, nullptr);
    CloseHandle(read);
    content.resize(got);
    return content;
  };

  const std::wstring pipe = L"\\\\.\\pipe\\kestrava-contract-" + tag;
  auto server = std::make_shared<PipeServer>();
  server->handle =
      CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_DUPLEX,
                       PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  if (server->handle == INVALID_HANDLE_VALUE) return nullptr;
  subject->channel = win32::FromWide(pipe.c_str());
  subject->feed = [server](const std::string& bytes) {
    DWORD written = 0;
    WriteFile(server->handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  };
  subject->drain = [server]() -> std::string {
    DWORD available = 0;
    if (!PeekNamedPipe(server->handle, nullptr, 0, nullptr, &available, nullptr) || !available) {
      return std::string();
    }
    std::string bytes(available, '\0');
    DWORD got = 0;
    ReadFile(server->handle, bytes.data(), available, &got, nullptr);
    bytes.resize(got);
    return bytes;
  };
  subject->hangUp = [server] { server->Close(); };
  // Nobody reads the pipe, whose buffer holds 4096 bytes.
  subject->stall = [] {};
  subject->cleanup = [file, server] {
    server->Close();
    DeleteFileW(file.c_str());
  };
  return subject;
}

namespace {

uint16_t BoundPort(SOCKET socket) {
  sockaddr_in bound{};
  int size = sizeof(bound);
  getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &size);
  return ntohs(bound.sin_port);
}

SOCKET LoopbackSocket() {
  SOCKET made = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  local.sin_port = 0;
  bind(made, reinterpret_cast<const sockaddr*>(&local), sizeof(local));
  return made;
}

bool Readable(SOCKET socket, long seconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval timeout{seconds, 0};
  return select(0, &set, nullptr, nullptr, &timeout) == 1;
}

}  // namespace

std::unique_ptr<TcpSocketsUnderTest> MakeWin32TcpSockets() {
  WSADATA data{};
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return nullptr;
  auto subject = std::make_unique<TcpSocketsUnderTest>();
  subject->service = std::make_unique<Win32TcpSockets>();
  const SOCKET listener = LoopbackSocket();
  listen(listener, 4);
  subject->listeningPort = BoundPort(listener);
  const SOCKET unused = LoopbackSocket();
  subject->closedPort = BoundPort(unused);
  closesocket(unused);
  // The listener's end of the first connection, accepted when first needed.
  auto accepted = std::make_shared<SOCKET>(INVALID_SOCKET);
  const auto acceptOnce = [listener, accepted] {
    if (*accepted == INVALID_SOCKET && Readable(listener, 3)) {
      *accepted = accept(listener, nullptr, nullptr);
    }
    return *accepted;
  };
  subject->answer = [acceptOnce](const std::string& bytes) {
    const SOCKET end = acceptOnce();
    if (end != INVALID_SOCKET) send(end, bytes.data(), static_cast<int>(bytes.size()), 0);
  };
  subject->received = [acceptOnce, accepted]() -> std::string {
    const SOCKET end = acceptOnce();
    if (end == INVALID_SOCKET) return "(no connection)";
    std::string bytes;
    while (Readable(end, 3)) {
      char chunk[512];
      const int got = recv(end, chunk, sizeof chunk, 0);
      if (got <= 0) break;
      bytes.append(chunk, static_cast<size_t>(got));
    }
    closesocket(end);
    *accepted = INVALID_SOCKET;
    return bytes;
  };
  subject->cleanup = [listener, accepted] {
    if (*accepted != INVALID_SOCKET) closesocket(*accepted);
    closesocket(listener);
    WSACleanup();
  };
  return subject;
}

std::unique_ptr<ArpTable> MakeWin32ArpTable() {
  return std::make_unique<Win32ArpTable>();
}

std::unique_ptr<ScreenGdi> MakeWin32ScreenGdi() {
  return std::make_unique<Win32ScreenGdi>();
}

}  // namespace kestrava
