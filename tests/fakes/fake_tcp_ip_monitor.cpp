#include "tests/fakes/fake_tcp_ip_monitor.h"

#include "install/tcp_port_data.h"
#include "platform/system_errors.h"

namespace kestrava {

namespace {

constexpr uint32_t kErrorBusy = 170;

bool ValidPortData(const std::vector<uint8_t>& input) {
  if (input.size() != kPortData1Size) return false;
  const uint32_t protocol = RecordDword(input, 132);
  return RecordDword(input, 128) == 1 && RecordDword(input, 136) == kPortData1Size &&
         (protocol == 1 || protocol == 2);
}

}  // namespace

WString RecordText(const std::vector<uint8_t>& record, size_t at, size_t chars) {
  WString text;
  for (size_t i = 0; i < chars && at + 2 * i + 1 < record.size(); ++i) {
    const char16_t c = static_cast<char16_t>(record[at + 2 * i] | (record[at + 2 * i + 1] << 8));
    if (c == 0) break;
    text += c;
  }
  return text;
}

uint32_t RecordDword(const std::vector<uint8_t>& record, size_t at) {
  if (at + 4 > record.size()) return 0;
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(record[at + i]) << (8 * i);
  return value;
}

uint32_t FakeTcpIpMonitor::Answer(const WString& command, const std::vector<uint8_t>& input) {
  if (refuseWith != 0) return refuseWith;
  const WString name = RecordText(input, 0, kPortNameChars);
  const WString key = UpperAscii(name);
  const bool has = ports.count(key) != 0;
  if (command == u"AddPort" || command == u"ConfigPort") {
    if (!ValidPortData(input) || name.empty()) return kErrorInvalidParameter;
    if (command == u"AddPort" && has) return kErrorAlreadyExists;
    if (command == u"ConfigPort" && !has) return kErrorUnknownPort;
    ports[key] = input;
    return 0;
  }
  if (command == u"DeletePort") {
    if (input.size() != kDeletePortData1Size || RecordDword(input, 228) != 1) {
      return kErrorInvalidParameter;
    }
    if (!has) return kErrorUnknownPort;
    if (portInUse && portInUse(name)) return kErrorBusy;
    ports.erase(key);
    return 0;
  }
  return kErrorInvalidParameter;
}

uint32_t FakeTcpIpMonitor::Take(const WString& command, const std::vector<uint8_t>& input) {
  const uint32_t status = Answer(command, input);
  std::string call = Utf16ToUtf8(command) + " " + Utf16ToUtf8(RecordText(input, 0, kPortNameChars));
  if (status != 0) call += " refused " + std::to_string(status);
  commands.push_back(call);
  return status;
}

bool FakeTcpIpMonitorSession::Data(const WString& command, const std::vector<uint8_t>& input,
                                   uint32_t& status, uint32_t* error) {
  if (error) *error = 0;
  status = monitor_.Take(command, input);
  return true;
}

}  // namespace kestrava
