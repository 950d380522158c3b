#pragma once

#include "platform/adapters.h"

namespace kestrava {

// GetAdaptersInfo. The system's record is 648 bytes for a 32-bit process and larger for a
// 64-bit one (its pointers and their alignment grow), so there a first query with one 32-bit
// record's size always asks for more.
class Win32AdapterTable final : public AdapterTable {
 public:
  AdapterStatus Query(uint32_t capacity, uint32_t& required,
                      std::vector<AdapterRecord>& out) override;
};

}  // namespace kestrava
