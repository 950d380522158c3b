#include "tests/fakes/fake_adapters.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ipv4_text.h"

namespace kestrava {

namespace {

constexpr uint32_t kExtraAddressSize = 40;  // one IP_ADDR_STRING
constexpr int kDefaultMaskBits = 24;

std::string MaskText(int bits) {
  bits = std::clamp(bits, 0, 32);
  return DottedAddress(bits == 0 ? 0 : ~uint32_t{0} << (32 - bits));
}

}  // namespace

uint32_t FakeAdapterTable::RequiredSize() const {
  uint32_t size = 0;
  for (const AdapterRecord& adapter : adapters) {
    const size_t extra = adapter.ipAddresses.empty() ? 0 : adapter.ipAddresses.size() - 1;
    size += kAdapterRecordSize + kExtraAddressSize * static_cast<uint32_t>(extra);
  }
  return size;
}

AdapterStatus FakeAdapterTable::Query(uint32_t capacity, uint32_t& required,
                                      std::vector<AdapterRecord>& out) {
  queries.push_back(capacity);
  if (onQuery) onQuery();
  if (failWith) return *failWith;
  if (adapters.empty()) return AdapterStatus::kNoData;
  if (capacity < RequiredSize()) {
    required = RequiredSize();
    return AdapterStatus::kBufferTooSmall;
  }
  out = adapters;
  return AdapterStatus::kOk;
}

AdapterRecord MakeAdapter(const std::string& description, std::vector<uint8_t> hardware,
                          std::vector<std::string> addresses) {
  AdapterRecord record;
  record.description = description;
  record.hardwareLength = static_cast<uint32_t>(std::min<size_t>(hardware.size(), 8));
  std::copy(hardware.begin(), hardware.begin() + record.hardwareLength, record.hardwareAddress);
  for (const std::string& address : addresses) {
    const size_t slash = address.find('/');
    record.ipAddresses.push_back(address.substr(0, slash));
    record.ipMasks.push_back(MaskText(
        slash == std::string::npos ? kDefaultMaskBits : std::atoi(address.c_str() + slash + 1)));
  }
  return record;
}

}  // namespace kestrava
