#include "platform/win32/arp_table_win32.h"

#include "platform/win32/ip_helper_library.h"

namespace kestrava {

bool Win32ArpTable::ReadSorted(std::vector<ArpRow>& rows) {
  ULONG size = 0;
  DWORD result = win32::iphelp::GetIpNetTable(nullptr, &size, TRUE);
  if (result == ERROR_NO_DATA) {
    rows.clear();
    return true;
  }
  // The table may grow between the two calls: ask again while the buffer is too small.
  std::vector<DWORD> buffer;
  for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    buffer.assign(size / sizeof(DWORD) + 1, 0);
    result =
        win32::iphelp::GetIpNetTable(reinterpret_cast<MIB_IPNETTABLE*>(buffer.data()), &size, TRUE);
  }
  if (result == ERROR_NO_DATA) {
    rows.clear();
    return true;
  }
  if (result != NO_ERROR) return false;
  const auto* table = reinterpret_cast<const MIB_IPNETTABLE*>(buffer.data());
  std::vector<ArpRow> read;
  read.reserve(table->dwNumEntries);
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    read.push_back({ntohl(table->table[i].dwAddr), table->table[i].dwIndex});
  }
  rows = std::move(read);
  return true;
}

bool Win32ArpTable::FlushInterface(uint32_t interfaceIndex) {
  return win32::iphelp::FlushIpNetTable(interfaceIndex) == NO_ERROR;
}

}  // namespace kestrava
