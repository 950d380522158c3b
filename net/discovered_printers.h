// The addresses LAN discovery has found. The discovery thread appends while the dialog thread
// reads and empties, so every access takes the lock: readers get a copy.
#pragma once

#include <mutex>
#include <vector>

#include "platform/text.h"

namespace kestrava {

class DiscoveredPrinters {
 public:
  void Append(const WString& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    addresses_.push_back(address);
  }
  // Appends unless the address is listed already; true when it appended.
  bool AppendIfAbsent(const WString& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const WString& known : addresses_) {
      if (known == address) return false;
    }
    addresses_.push_back(address);
    return true;
  }
  // Removes the first entry equal to `address`; false when there is none.
  bool RemoveFirst(const WString& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = addresses_.begin(); it != addresses_.end(); ++it) {
      if (*it == address) {
        addresses_.erase(it);
        return true;
      }
    }
    return false;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    addresses_.clear();
  }
  bool Empty() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return addresses_.empty();
  }
  std::vector<WString> Snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return addresses_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<WString> addresses_;
};

}  // namespace kestrava
