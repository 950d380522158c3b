#include "install/tcp_port_data.h"

#include "platform/tcp_sockets.h"

namespace kestrava {

namespace {

// PORT_DATA_1's fields, at their offsets.
constexpr size_t kPortNameAt = 0;
constexpr size_t kVersionAt = 128;
constexpr size_t kProtocolAt = 132;
constexpr size_t kSizeAt = 136;
constexpr size_t kHostAddressAt = 144;    // after a reserved DWORD
constexpr size_t kSnmpCommunityAt = 242;  // 33 characters
constexpr size_t kPortNumberAt = 952;     // after the queue, the address, 540 reserved bytes
constexpr size_t kSnmpEnabledAt = 956;    // and two bytes of alignment
constexpr size_t kSnmpDeviceIndexAt = 960;
constexpr size_t kSnmpCommunityChars = 33;
// DELETE_PORT_DATA_1's: the name, 98 reserved bytes and two of alignment, the version.
constexpr size_t kDeleteVersionAt = 228;

constexpr uint32_t kRawProtocol = 1;  // PROTOCOL_RAWTCP_TYPE
constexpr uint32_t kRecordVersion = 1;

void PutDword(std::vector<uint8_t>& record, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) record[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutText(std::vector<uint8_t>& record, size_t at, size_t chars, const WString& text) {
  const size_t count = text.size() < chars ? text.size() : chars - 1;
  for (size_t i = 0; i < count; ++i) {
    record[at + 2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
    record[at + 2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
  }
}

}  // namespace

std::vector<uint8_t> RawPortData(const WString& name, const WString& hostAddress) {
  std::vector<uint8_t> record(kPortData1Size, 0);
  PutText(record, kPortNameAt, kPortNameChars, name);
  PutDword(record, kVersionAt, kRecordVersion);
  PutDword(record, kProtocolAt, kRawProtocol);
  PutDword(record, kSizeAt, static_cast<uint32_t>(kPortData1Size));
  PutText(record, kHostAddressAt, kHostAddressChars, hostAddress);
  PutText(record, kSnmpCommunityAt, kSnmpCommunityChars, u"kelnor");
  PutDword(record, kPortNumberAt, kPrinterTcpPort);
  PutDword(record, kSnmpEnabledAt, 0);
  PutDword(record, kSnmpDeviceIndexAt, 1);
  return record;
}

std::vector<uint8_t> DeletePortData(const WString& name) {
  std::vector<uint8_t> record(kDeletePortData1Size, 0);
  PutText(record, kPortNameAt, kPortNameChars, name);
  PutDword(record, kDeleteVersionAt, kRecordVersion);
  return record;
}

}  // namespace kestrava
