#include "tests/fakes/fake_icmp.h"

namespace kestrava {

namespace {

// One reply needs the 32-bit reply record (28 bytes), the echoed data and 8 bytes of ICMP
// header room, as IcmpSendEcho demands.
constexpr uint32_t kReplyOverhead = 28 + 8;

class FakeIcmpFacility final : public IcmpFacility {
 public:
  explicit FakeIcmpFacility(FakeIcmp& icmp) : icmp_(icmp) {}
  uint32_t SendEcho(uint32_t address, const void* data, uint16_t size, uint32_t replyCapacity,
                    uint32_t timeoutMs) override {
    return icmp_.Send(address, data, size, replyCapacity, timeoutMs);
  }

 private:
  FakeIcmp& icmp_;
};

}  // namespace

std::unique_ptr<IcmpFacility> FakeIcmp::Open() {
  std::lock_guard<std::mutex> guard(lock_);
  if (openFails) return nullptr;
  ++opened_;
  return std::make_unique<FakeIcmpFacility>(*this);
}

void FakeIcmp::Answer(uint32_t address, bool answers) {
  std::lock_guard<std::mutex> guard(lock_);
  if (answers) {
    answering_.insert(address);
  } else {
    answering_.erase(address);
  }
}

std::vector<FakeIcmp::Echo> FakeIcmp::Echoes() const {
  std::lock_guard<std::mutex> guard(lock_);
  return echoes_;
}

int FakeIcmp::Opened() const {
  std::lock_guard<std::mutex> guard(lock_);
  return opened_;
}

uint32_t FakeIcmp::Send(uint32_t address, const void* data, uint16_t size, uint32_t replyCapacity,
                        uint32_t timeoutMs) {
  bool answers = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    echoes_.push_back(
        {address, std::string(static_cast<const char*>(data), size), replyCapacity, timeoutMs});
    if (replyCapacity < kReplyOverhead + size) return 0;
    answers = answering_.count(address) > 0 || (address >> 24) == 127;
  }
  if (onEcho) onEcho(address);
  if (clock_) clock_->Sleep(answers ? 1 : timeoutMs);
  return answers ? 1 : 0;
}

}  // namespace kestrava
