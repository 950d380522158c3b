// An adapter table in memory with the sizes of the 32-bit system: 648 bytes per adapter record
// and 40 more for each IPv4 address after its first.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/adapters.h"

namespace kestrava {

class FakeAdapterTable final : public AdapterTable {
 public:
  AdapterStatus Query(uint32_t capacity, uint32_t& required,
                      std::vector<AdapterRecord>& out) override;

  // The size the table needs now.
  uint32_t RequiredSize() const;

  std::vector<AdapterRecord> adapters;
  std::optional<AdapterStatus> failWith;  // every query fails so
  // Called at the start of each query: lets a test add an adapter between two queries.
  std::function<void()> onQuery;
  std::vector<uint32_t> queries;  // the capacities asked with, in order
};

// An adapter record for tests: the hardware address from up to eight bytes. An address may end
// in "/bits", the length of its mask ("10.50.3.7/16"); one without is a /24, the mask most
// networks have.
AdapterRecord MakeAdapter(const std::string& description, std::vector<uint8_t> hardware,
                          std::vector<std::string> addresses);

}  // namespace kestrava
