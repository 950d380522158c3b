#include "tests/fakes/fake_arp_table.h"

#include <algorithm>

namespace kestrava {

bool FakeArpTable::ReadSorted(std::vector<ArpRow>& out) {
  ++reads;
  if (readFails) return false;
  out = rows;
  std::stable_sort(out.begin(), out.end(),
                   [](const ArpRow& a, const ArpRow& b) { return a.address < b.address; });
  return true;
}

bool FakeArpTable::FlushInterface(uint32_t interfaceIndex) {
  const bool known = interfaces.count(interfaceIndex) > 0 ||
                     std::any_of(rows.begin(), rows.end(), [&](const ArpRow& row) {
                       return row.interfaceIndex == interfaceIndex;
                     });
  if (!known) return false;
  flushes.push_back(interfaceIndex);
  rows.erase(
      std::remove_if(rows.begin(), rows.end(),
                     [&](const ArpRow& row) { return row.interfaceIndex == interfaceIndex; }),
      rows.end());
  return true;
}

}  // namespace kestrava
