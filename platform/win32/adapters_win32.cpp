#include "platform/win32/adapters_win32.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/win32.h"

namespace kestrava {

#ifndef _WIN64
static_assert(sizeof(IP_ADAPTER_INFO) == kAdapterRecordSize,
              "the first query holds exactly one record of the 32-bit program");
#endif

AdapterStatus Win32AdapterTable::Query(uint32_t capacity, uint32_t& required,
                                       std::vector<AdapterRecord>& out) {
  // The records hold pointers: give the system memory aligned for them.
  std::vector<uint64_t> buffer(capacity / sizeof(uint64_t) + 1);
  auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  ULONG size = capacity;
  switch (GetAdaptersInfo(first, &size)) {
    case ERROR_SUCCESS:
      break;
    case ERROR_BUFFER_OVERFLOW:
      required = size;
      return AdapterStatus::kBufferTooSmall;
    case ERROR_NO_DATA:
      return AdapterStatus::kNoData;
    default:
      return AdapterStatus::kFailed;
  }
  std::vector<AdapterRecord> adapters;
  for (const IP_ADAPTER_INFO* adapter = first; adapter; adapter = adapter->Next) {
    AdapterRecord record;
    record.description = std::string(adapter->Description,
                                     strnlen(adapter->Description, sizeof(adapter->Description)));
    record.hardwareLength =
        std::min<uint32_t>(adapter->AddressLength, sizeof(record.hardwareAddress));
    std::memcpy(record.hardwareAddress, adapter->Address, record.hardwareLength);
    for (const IP_ADDR_STRING* ip = &adapter->IpAddressList; ip; ip = ip->Next) {
      const char* text = ip->IpAddress.String;
      record.ipAddresses.emplace_back(text, strnlen(text, sizeof(ip->IpAddress.String)));
    }
    adapters.push_back(std::move(record));
  }
  out = std::move(adapters);
  return AdapterStatus::kOk;
}

}  // namespace kestrava
