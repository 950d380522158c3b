// The printer's own status over the link: the real-time status requests and their answers.
#include <optional>

#include "comm/port_link.h"
#include "comm/write_bounds.h"

namespace kestrava {

namespace {

constexpr uint32_t kAnswerCapacity = 8;  // one byte is the answer; more is noise
constexpr uint32_t kRequestSize = sizeof kPaperSensorRequest;  // every request: 10 04 n

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
  // The device the requests go to (none for the LAN, whose socket takes them), and the bound
  // of each request's write.
  std::unique_ptr<Device> serial;
  Device* device = nullptr;
  uint32_t bound = 0;
  switch (currentKind) {
    case TransportKind::kCom:
      serial = OpenSerial(comName, comBaud);
      if (!serial) return answers;
      serial->Purge();
      device = serial.get();
      bound = PortWriteBoundMs(SerialTimeouts(comBaud), kRequestSize);
      break;
    case TransportKind::kUsb:
      if (!EnsureOpen()) return answers;
      device = usbHandle.get();
      bound = UsbWriteBoundMs(kRequestSize);
      break;
    case TransportKind::kLan:
      if (!lanSocket) return answers;
      break;
    case TransportKind::kLpt:
      return answers;
  }
  // One request and its reply; nothing when the request could not go.
  const auto ask = [&](const uint8_t(&request)[kRequestSize]) -> std::optional<std::string> {
    char reply[kAnswerCapacity] = {};
    uint32_t got = 0;
    if (device) {
      const IoResult written = device->Write(request, kRequestSize, bound);
      if (!written.ok || written.count != kRequestSize) return std::nullopt;
      // As the status-checked write does: the USB printing driver hands over a reply only
      // once it has come.
      if (!serial) services_.clock.Sleep(kStatusReplyPauseMs);
      const IoResult read = device->Read(reply, sizeof reply, kStatusAnswerTimeoutMs);
      if (!read.ok) return std::string();
      got = read.count;
    } else {
      const SendResult sent = lanSocket->Send(request, kRequestSize);
      if (!sent.ok || sent.count != kRequestSize) return std::nullopt;
      const SendResult received = lanSocket->Receive(reply, sizeof reply, kStatusAnswerTimeoutMs);
      if (!received.ok) return std::string();
      got = received.count;
    }
    return std::string(reply, got);
  };
  const struct {
    const uint8_t (&request)[kRequestSize];
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
          HexBytes(step.request, kRequestSize) + " > " +
          (reply->empty() ? std::string("(none)") : HexBytes(reply->data(), reply->size()));
    }
    // A printer that does not answer the first request does not answer the others either.
    if (!answers.paperSensor) break;
  }
  return answers;
}

}  // namespace kestrava
