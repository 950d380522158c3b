#pragma once

#include "platform/arp_table.h"

namespace kestrava {

// IP Helper: GetIpNetTable (asked for its size, then read, sorted) and FlushIpNetTable.
class Win32ArpTable final : public ArpTable {
 public:
  bool ReadSorted(std::vector<ArpRow>& rows) override;
  bool FlushInterface(uint32_t interfaceIndex) override;
};

}  // namespace kestrava
