// The printer's own status over the link: the real-time status requests and their answers.
#include <optional>

#include "comm/port_link.h"
#include "comm/write_bounds.h"

namespace kestrava {

namespace {

constexpr uint32_t kAnswerCapacity = 8;  // one byte is the answer; more is noise

// "10 04 04" for the bytes.
std::string HexBytes(const void* data, size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) {
    if (i) text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace

StatusAnswers PortLink::QueryStatus(std::string* exchange) {
  StatusAnswers answers;
  std::unique_ptr<Device> serial;
  if (currentKind == TransportKind::kCom) {
    serial = OpenSerial(comName, comBaud);
    if (!serial) return answers;
    serial->Purge();
  } else if (currentKind == TransportKind::kUsb && !usbHandle) {
    usbHandle = usb_.OpenFirstUsbPrinter();
  }
  // One request and its reply; nothing when the request could not go.
  const auto ask = [&](const uint8_t(&request)[3]) -> std::optional<std::string> {
    char reply[kAnswerCapacity] = {};
    uint32_t got = 0;
    switch (currentKind) {
      case TransportKind::kCom:
      case TransportKind::kUsb: {
        Device* device = serial ? serial.get() : usbHandle.get();
        if (!device) return std::nullopt;
        const uint32_t bound = serial ? PortWriteBoundMs(SerialTimeouts(comBaud), sizeof request)
                                      : UsbWriteBoundMs(sizeof request);
        const IoResult written = device->Write(request, sizeof request, bound);
        if (!written.ok || written.count != sizeof request) return std::nullopt;
        // As the status-checked write does: the USB printing driver hands over a reply only
        // once it has come.
        if (!serial) services_.clock.Sleep(kStatusReplyPauseMs);
        const IoResult read = device->Read(reply, sizeof reply, kStatusAnswerTimeoutMs);
        if (!read.ok) return std::string();
        got = read.count;
        break;
      }
      case TransportKind::kLan: {
        if (!lanSocket) return std::nullopt;
        const SendResult sent = lanSocket->Send(request, sizeof request);
        if (!sent.ok || sent.count != sizeof request) return std::nullopt;
        const SendResult received = lanSocket->Receive(reply, sizeof reply, kStatusAnswerTimeoutMs);
        if (!received.ok) return std::string();
        got = received.count;
        break;
      }
      case TransportKind::kLpt:
        return std::nullopt;
    }
    return std::string(reply, got);
  };
  const struct {
    const uint8_t (&request)[3];
    std::optional<uint8_t>& answer;
  } steps[] = {{kPaperSensorRequest, answers.paperSensor},
               {kOfflineCauseRequest, answers.offlineCause},
               {kErrorCauseRequest, answers.errorCause}};
  for (const auto& step : steps) {
    const std::optional<std::string> reply = ask(step.request);
    if (!reply) break;
    step.answer = StatusAnswer(*reply);
    if (exchange) {
      if (!exchange->empty()) *exchange += "; ";
      *exchange +=
          HexBytes(step.request, sizeof step.request) + " > " +
          (reply->empty() ? std::string("(none)") : HexBytes(reply->data(), reply->size()));
    }
    // A printer that does not answer the first request does not answer the others either.
    if (!answers.paperSensor) break;
  }
  return answers;
}

}  // namespace kestrava
