#include "comm/port_link.h"
#include "comm/wait_cursor.h"

#include <algorithm>
#include <limits>

#include "platform/ipv4_text.h"

namespace kestrava {

namespace {

constexpr const char16_t* kDevicePrefix = u"\\\\.\\";
constexpr size_t kPrefixedNameLength = 5;

bool WroteAll(const IoResult& result, uint32_t length) {
  return result.ok && result.count == length;
}

IoResult WriteTo(const std::unique_ptr<Device>& device, const void* bytes, uint32_t length,
                 uint32_t timeoutMs) {
  if (!device) return IoResult{false, 0, kErrorInvalidHandle};
  return device->Write(bytes, length, timeoutMs);
}

}  // namespace

uint32_t LeadingNumber(WStringView text) {
  uint64_t value = 0;
  for (WChar c : text) {
    if (c < u'0' || c > u'9') break;
    value = value * 10 + static_cast<uint64_t>(c - u'0');
    if (value > std::numeric_limits<uint32_t>::max()) return std::numeric_limits<uint32_t>::max();
  }
  return static_cast<uint32_t>(value);
}

PortLink::PortLink(const CommServices& services)
    : services_(services), usb_(services, skipLinkedCheck_) {}

void PortLink::SelectPort(const WString& name, const WString& parameter) {
  const std::optional<TransportKind> kind = MatchTransportKind(name);
  if (!kind) return;
  currentKind = *kind;
  const WString upper = UpperAscii(name);
  switch (*kind) {
    case TransportKind::kLpt:
      lptName = upper;
      break;
    case TransportKind::kCom: {
      const size_t colon = upper.rfind(u':');
      comName = colon == WString::npos ? upper : upper.substr(0, colon);
      comBaud = LeadingNumber(parameter);
      break;
    }
    case TransportKind::kUsb:
      // The name is not kept: the link always takes the first supported printer.
      break;
    case TransportKind::kLan: {
      const std::optional<uint32_t> address = ParseDottedIpv4(parameter);
      if (!address) break;
      lanEndpoint = Ipv4Endpoint{*address, kPrinterTcpPort};
      lanSocket.reset();
      ConnectLan(*lanEndpoint);
      break;
    }
  }
}

void PortLink::ClosePort(const WString& name) {
  const std::optional<TransportKind> kind = MatchTransportKind(name);
  if (!kind) return;
  currentKind = *kind;
  switch (*kind) {
    case TransportKind::kLpt:
      lptHandle.reset();
      break;
    case TransportKind::kCom:
      comHandle.reset();
      break;
    case TransportKind::kUsb:
      usbHandle.reset();
      break;
    case TransportKind::kLan:
      lanSocket.reset();
      break;
  }
}

bool PortLink::EnsureOpen() {
  switch (currentKind) {
    case TransportKind::kLpt:
      lptHandle.reset();
      lptHandle = services_.deviceIo.Open(lptName);
      if (lptHandle) lptHandle->SetTimeouts(kParallelTimeouts);
      return lptHandle != nullptr;
    case TransportKind::kCom:
      if (!comHandle) comHandle = OpenSerial(comName, comBaud);
      return comHandle != nullptr;
    case TransportKind::kUsb:
      if (!usbHandle) usbHandle = usb_.OpenFirstUsbPrinter();
      return usbHandle != nullptr;
    case TransportKind::kLan:
      return true;
  }
  return false;
}

void PortLink::TalkWhileAnswering(const std::function<void()>& talk) {
  openDeadlineMs_ = services_.clock.MonotonicMs() + kAnsweringTalkBoundMs;
  services_.dialog.RunAnswering(talk);
  openDeadlineMs_.reset();
}

std::unique_ptr<Device> PortLink::OpenSerial(const WString& name, uint32_t baud) {
  if (openDeadlineMs_ && services_.clock.MonotonicMs() >= *openDeadlineMs_) return nullptr;
  const WString path = name.size() >= kPrefixedNameLength ? kDevicePrefix + name : name;
  std::unique_ptr<Device> port = services_.deviceIo.Open(path);
  if (!port) return nullptr;
  port->SetTimeouts(SerialTimeouts(baud));
  LineSettings settings;
  settings.baudRate = baud;
  settings.binary = true;
  settings.xonChar = kXonChar;
  settings.xoffChar = kXoffChar;
  uint32_t error = 0;
  // The port then keeps the rate it had; the first write tells whether the printer follows.
  if (!port->SetLineSettings(settings, &error)) Trace("SetCommState", error);
  return port;
}

bool PortLink::WriteSerial(const void* bytes, uint32_t length) {
  if (comHandle) comHandle->Purge();
  const uint32_t bound = PortWriteBoundMs(SerialTimeouts(comBaud), length);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (WroteAll(WriteTo(comHandle, bytes, length, bound), length)) return true;
    if (attempt == 0) {
      comHandle.reset();
      comHandle = OpenSerial(comName, comBaud);
    }
  }
  return false;
}

bool PortLink::WriteBytes(const void* bytes, uint32_t length) {
  WaitCursor wait(services_.dialog);
  if (!EnsureOpen()) return false;
  return WriteOpened(bytes, length);
}

bool PortLink::WriteOpened(const void* bytes, uint32_t length) {
  switch (currentKind) {
    case TransportKind::kLpt:
      if (!lptHandle) return false;
      lptHandle->Purge();
      return WroteAll(lptHandle->Write(bytes, length, PortWriteBoundMs(kParallelTimeouts, length)),
                      length);
    case TransportKind::kCom: {
      const bool written = WriteSerial(bytes, length);
      comHandle.reset();
      return written;
    }
    case TransportKind::kUsb:
      return WriteUsb(bytes, length);
    case TransportKind::kLan:
      return SendLan(bytes, length);
  }
  return false;
}

bool PortLink::WriteUsb(const void* bytes, uint32_t length) {
  if (usbHandle) usbHandle->Purge();
  for (int attempt = 0; attempt < 2 && usbHandle; ++attempt) {
    if (WroteAll(usbHandle->Write(bytes, length, UsbWriteBoundMs(length)), length)) return true;
    usbHandle.reset();
    if (attempt == 0) usbHandle = usb_.OpenFirstUsbPrinter();
  }
  usbHandle.reset();
  return false;
}

bool PortLink::SendLan(const void* bytes, uint32_t length) {
  bool sent = false;
  const SendResult result = lanSocket ? lanSocket->Send(bytes, length) : SendResult{};
  if (!result.ok) {
    lanSocket.reset();
    services_.clock.Sleep(kLanFailurePauseMs);
  } else {
    sent = result.count == length;
  }
  services_.clock.Sleep(kLanWritePauseMs);
  return sent;
}

std::string PortLink::TextBytes(const WString& text) {
  std::string bytes = services_.system.WideToAnsi(text);
  if (bytes.empty()) return bytes;
  bytes.push_back('\0');
  switch (currentKind) {
    case TransportKind::kLpt:
    case TransportKind::kCom:
      services_.dialog.StartTimer(kButtonTimer, kButtonTimerSerialMs);
      break;
    case TransportKind::kUsb:
      services_.dialog.StartTimer(kButtonTimer, kButtonTimerUsbMs);
      break;
    case TransportKind::kLan:
      break;
  }
  return bytes;
}

bool PortLink::WriteText(const WString& text) {
  const std::string bytes = TextBytes(text);
  if (bytes.empty()) return false;
  return WriteBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

bool PortLink::WriteTextToUsbPort(const WString& text, const WString& usbPort) {
  const std::string bytes = TextBytes(text);
  if (bytes.empty()) return false;
  const auto length = static_cast<uint32_t>(bytes.size());
  WaitCursor wait(services_.dialog);
  switch (currentKind) {
    case TransportKind::kUsb:
      if (usbHandle) usbHandle->Purge();
      // The old handle goes first: it holds its printer unshared, so opening that printer by
      // its port while it is still open would be refused.
      usbHandle.reset();
      usbHandle = usb_.OpenUsbPrinterByPort(usbPort);
      if (usbHandle &&
          WroteAll(usbHandle->Write(bytes.data(), length, UsbWriteBoundMs(length)), length)) {
        return true;
      }
      usbHandle.reset();
      return false;
    case TransportKind::kLpt:
      return lptHandle && WroteAll(lptHandle->Write(bytes.data(), length,
                                                    PortWriteBoundMs(kParallelTimeouts, length)),
                                   length);
    case TransportKind::kCom: {
      const bool written = WriteSerial(bytes.data(), length);
      comHandle.reset();
      return written;
    }
    case TransportKind::kLan:
      return SendLan(bytes.data(), length);
  }
  return false;
}

}  // namespace kestrava
