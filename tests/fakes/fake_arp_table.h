// A scriptable address resolution table: its rows, a table that cannot be read, and a record
// of every interface flushed. Flushing an interface the table does not know is refused, as the
// system refuses it.
#pragma once

#include <set>
#include <vector>

#include "platform/arp_table.h"

namespace kestrava {

class FakeArpTable final : public ArpTable {
 public:
  bool ReadSorted(std::vector<ArpRow>& out) override;
  bool FlushInterface(uint32_t interfaceIndex) override;

  std::vector<ArpRow> rows;       // in any order
  std::set<uint32_t> interfaces;  // known beside those of the rows
  bool readFails = false;
  int reads = 0;
  std::vector<uint32_t> flushes;
};

}  // namespace kestrava
