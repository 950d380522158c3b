#include "platform/win32/adapters_win32.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/win32/ip_helper_library.h"

namespace kestrava {

#ifndef _WIN64
// The 32-bit system's record ends in two 64-bit lease times: 632 + 16 = 648 bytes. The toolchain
// may declare them with a 32-bit time_t (MinGW's record is 640 bytes), which moves nothing this
// code reads: every field used lies before them, and records are walked by their Next pointers.
static_assert(offsetof(IP_ADAPTER_INFO, LeaseObtained) + 16 == kAdapterRecordSize,
              "the first query holds exactly one record of the 32-bit system");
#endif

AdapterStatus Win32AdapterTable::Query(uint32_t capacity, uint32_t& required,
                                       std::vector<AdapterRecord>& out) {
  // The records hold pointers: give the system memory aligned for them.
  std::vector<uint64_t> buffer(capacity / sizeof(uint64_t) + 1);
  auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  ULONG size = capacity;
  switch (win32::iphelp::GetAdaptersInfo(first, &size)) {
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
      const char* mask = ip->IpMask.String;
      record.ipMasks.emplace_back(mask, strnlen(mask, sizeof(ip->IpMask.String)));
    }
    adapters.push_back(std::move(record));
  }
  out = std::move(adapters);
  return AdapterStatus::kOk;
}

}  // namespace kestrava
