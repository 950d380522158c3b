// The system's IPv4 address resolution table: its rows in the system's sorted order, and
// flushing the entries of one interface (which needs administrator rights).
#pragma once

#include <cstdint>
#include <vector>

namespace kestrava {

struct ArpRow {
  uint32_t address = 0;  // IPv4, host order
  uint32_t interfaceIndex = 0;
};

class ArpTable {
 public:
  virtual ~ArpTable() = default;

  // Every row, sorted as the system sorts them (Wine groups them by interface, then by
  // address); an empty table is not a failure. False, with `rows` untouched, when the system
  // cannot read it.
  virtual bool ReadSorted(std::vector<ArpRow>& rows) = 0;

  // Removes every entry of the interface. False when the system refuses or does not know it.
  virtual bool FlushInterface(uint32_t interfaceIndex) = 0;
};

}  // namespace kestrava
