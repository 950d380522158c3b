// An ICMP echo facility in memory: the addresses in `answering` (and every loopback address)
// answer at once; any other echo waits out its timeout on the clock and gets no reply. Every
// request is recorded byte for byte.
#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/icmp.h"

namespace kestrava {

class FakeIcmp final : public Icmp {
 public:
  explicit FakeIcmp(Clock* clock = nullptr) : clock_(clock) {}

  struct Echo {
    uint32_t address;
    std::string data;
    uint32_t replyCapacity;
    uint32_t timeoutMs;
  };

  std::unique_ptr<IcmpFacility> Open() override;

  void Answer(uint32_t address, bool answers);
  std::vector<Echo> Echoes() const;
  int Opened() const;

  bool openFails = false;
  // Called when an echo starts waiting, with the fake unlocked (the wait may end the world).
  std::function<void(uint32_t address)> onEcho;

  // For the facilities.
  uint32_t Send(uint32_t address, const void* data, uint16_t size, uint32_t replyCapacity,
                uint32_t timeoutMs);

 private:
  mutable std::mutex lock_;
  Clock* clock_;
  std::set<uint32_t> answering_;
  std::vector<Echo> echoes_;
  int opened_ = 0;
};

}  // namespace kestrava
