#include "net/local_addresses.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/ipv4_text.h"

namespace kestrava {

namespace {

// Hardware address prefixes of virtual-machine network adapters.
constexpr uint8_t kVirtualMachinePrefixes[][3] = {
    {0x00, 0x05, 0x69}, {0x00, 0x0C, 0x29}, {0x00, 0x50, 0x56},
    {0x00, 0x1C, 0x14}, {0x00, 0x1C, 0x42}, {0x00, 0x03, 0xFF},
    {0x00, 0x0F, 0x4B}, {0x00, 0x16, 0x3E}, {0x08, 0x00, 0x27},
};
constexpr size_t kVirtualRuleMinimumLength = 7;
// The mask of an address the system gives none for: the /24 the earlier comparison of the
// first three numbers assumed.
constexpr uint32_t kFallbackMask = 0xFFFFFF00;

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

std::string HardwareTrace(const AdapterRecord& adapter) {
  std::string trace;
  for (uint32_t i = 0; i < adapter.hardwareLength; ++i) {
    char byte[8];
    std::snprintf(byte, sizeof byte, i + 1 < adapter.hardwareLength ? "%02X-" : "%02X\n",
                  adapter.hardwareAddress[i]);
    trace += byte;
  }
  return trace;
}

}  // namespace

bool IsExcludedAdapter(const AdapterRecord& adapter) {
  const std::string description = Lower(adapter.description);
  if (description.size() >= kVirtualRuleMinimumLength &&
      description.find("virtual") != std::string::npos) {
    return true;
  }
  for (const auto& prefix : kVirtualMachinePrefixes) {
    if (adapter.hardwareAddress[0] == prefix[0] && adapter.hardwareAddress[1] == prefix[1] &&
        adapter.hardwareAddress[2] == prefix[2]) {
      return true;
    }
  }
  for (const std::string& address : adapter.ipAddresses) {
    if (address == "0.0.0.0") return true;
  }
  return false;
}

namespace {

bool ReadSegments(AdapterTable& table, Process* traceTo, LocalSegments& segments,
                  uint32_t& capacity) {
  std::vector<AdapterRecord> adapters;
  uint32_t required = 0;
  AdapterStatus status = table.Query(capacity, required, adapters);
  if (status == AdapterStatus::kBufferTooSmall) {
    capacity = required;
    status = table.Query(required, required, adapters);
  }
  if (status != AdapterStatus::kOk) return false;

  LocalSegments read;
  for (const AdapterRecord& adapter : adapters) {
    if (IsExcludedAdapter(adapter)) continue;
    if (traceTo) traceTo->StandardOutput(HardwareTrace(adapter));
    for (size_t i = 0; i < adapter.ipAddresses.size(); ++i) {
      const std::optional<uint32_t> address = ParseDottedIpv4(adapter.ipAddresses[i]);
      if (!address) continue;
      const std::optional<uint32_t> mask =
          i < adapter.ipMasks.size() ? ParseDottedIpv4(adapter.ipMasks[i]) : std::nullopt;
      read.push_back({*address, mask.value_or(kFallbackMask)});
    }
  }
  segments = std::move(read);
  return true;
}

}  // namespace

bool RefreshLocalAddresses(AdapterTable& table, Process& process, LocalSegments& segments) {
  uint32_t capacity = kAdapterRecordSize;
  return ReadSegments(table, &process, segments, capacity);
}

bool ReadLocalSegments(AdapterTable& table, LocalSegments& segments, uint32_t& capacity) {
  capacity = std::max(capacity, kAdapterRecordSize);
  return ReadSegments(table, nullptr, segments, capacity);
}

}  // namespace kestrava
