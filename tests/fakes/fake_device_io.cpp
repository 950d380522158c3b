#include "tests/fakes/fake_device_io.h"

#include <algorithm>
#include <cstring>

#include "platform/overlapped_calls.h"
#include "tests/fakes/hex.h"

namespace kestrava {

namespace {

std::string Name(const WString& path) {
  return Utf16ToUtf8(path);
}

class FakeDevice final : public Device {
 public:
  FakeDevice(FakeDeviceIo& owner, WString path) : owner_(owner), path_(std::move(path)) {}
  ~FakeDevice() override {
    if (FakeDeviceIo::State* state = owner_.Find(path_)) state->open = false;
    owner_.Log("close " + Name(path_));
  }

  bool SetTimeouts(const CommTimeouts& timeouts) override {
    FakeDeviceIo::State* state = Usable();
    owner_.Log("timeouts " + Name(path_) + " " + std::to_string(timeouts.readInterval) + " " +
               std::to_string(timeouts.readTotalMultiplier) + " " +
               std::to_string(timeouts.readTotalConstant) + " " +
               std::to_string(timeouts.writeTotalMultiplier) + " " +
               std::to_string(timeouts.writeTotalConstant));
    if (!state || !state->serial) return false;
    state->timeouts = timeouts;
    return true;
  }

  bool SetLineSettings(const LineSettings& settings, uint32_t* error) override {
    FakeDeviceIo::State* state = Usable();
    // As Windows refuses it: a block whose XON and XOFF characters are equal.
    const bool refused = settings.xonChar == settings.xoffChar;
    owner_.Log("line " + Name(path_) + " " + std::to_string(settings.baudRate) + " " +
               std::to_string(settings.byteSize) + "/" + std::to_string(settings.parity) + "/" +
               std::to_string(settings.stopBits) + (settings.dtrEnable ? " dtr" : "") +
               (settings.binary ? " binary" : "") + " xon " +
               Hex(std::string(1, char(settings.xonChar))) + " xoff " +
               Hex(std::string(1, char(settings.xoffChar))) +
               (refused && state && state->serial ? " refused" : ""));
    if (!state || !state->serial || refused) {
      if (error) *error = kErrorInvalidParameter;
      return false;
    }
    state->line = settings;
    if (error) *error = 0;
    return true;
  }

  bool Purge() override {
    FakeDeviceIo::State* state = Usable();
    owner_.Log("purge " + Name(path_));
    if (!state || !state->serial) return false;
    ++state->purges;
    return true;
  }

  IoResult Write(const void* data, uint32_t size, uint32_t timeoutMs) override {
    const std::string bytes(static_cast<const char*>(data), size);
    owner_.Log("write " + Name(path_) + " " + Hex(bytes));
    if (owner_.onWrite) owner_.onWrite(path_);
    IoResult result;
    FakeDeviceIo::State* state = Usable();
    if (!state) {
      result.error = GoneError();
      return result;
    }
    state->writeTimeouts.push_back(timeoutMs);
    FakeDeviceIo::WriteStep step;
    if (!state->writes.empty()) {
      step = state->writes.front();
      state->writes.pop_front();
    }
    switch (step.kind) {
      case FakeDeviceIo::WriteStep::kAll:
        result.ok = true;
        result.count = size;
        break;
      case FakeDeviceIo::WriteStep::kPart:
        result.ok = true;
        result.count = std::min(step.count, size);
        break;
      case FakeDeviceIo::WriteStep::kFail:
        result.error = step.error;
        return result;
      case FakeDeviceIo::WriteStep::kVanish:
        state->present = false;
        result.error = kErrorDeviceNotConnected;
        return result;
      case FakeDeviceIo::WriteStep::kNever:
        // Takes nothing: the write waits its time and is cancelled.
        WaitOut(*state, timeoutMs);
        result.error = kErrorTimeout;
        return result;
    }
    state->written += bytes.substr(0, result.count);
    return result;
  }

  IoResult Read(void* data, uint32_t capacity, uint32_t timeoutMs) override {
    owner_.Log("read " + Name(path_) + " " + std::to_string(capacity) + " within " +
               std::to_string(timeoutMs) + " ms");
    IoResult result;
    FakeDeviceIo::State* state = Usable();
    if (!state) {
      result.error = GoneError();
      return result;
    }
    state->readTimeouts.push_back(timeoutMs);
    if (state->readError) {
      result.error = *state->readError;
      return result;
    }
    if (state->replies.empty()) {
      // Never answers: the read gives up after its time.
      WaitOut(*state, timeoutMs);
      result.ok = !abandoned_;
      result.error = abandoned_ ? uint32_t{kErrorTimeout} : 0;
      return result;
    }
    result.ok = true;
    const std::string reply = state->replies.front();
    state->replies.pop_front();
    result.count = std::min<uint32_t>(capacity, static_cast<uint32_t>(reply.size()));
    std::memcpy(data, reply.data(), result.count);
    return result;
  }

 private:
  // The device's state while it is still there and its handle open.
  FakeDeviceIo::State* Usable() {
    FakeDeviceIo::State* state = owner_.Find(path_);
    return state && state->present && !abandoned_ ? state : nullptr;
  }

  // A call that never ends by itself: it waits its time and is cancelled; a driver that ignores
  // the cancel holds it for the grace as well, and the handle is given up.
  void WaitOut(FakeDeviceIo::State& state, uint32_t timeoutMs) {
    uint64_t heldMs = timeoutMs;
    if (state.cancelIgnored) {
      heldMs += kCancelGraceMs;
      abandoned_ = true;
      ++state.abandonedCalls;
      owner_.Log("abandoned " + Name(path_));
    }
    if (owner_.clock()) owner_.clock()->Advance(heldMs);
  }

  // After an abandoned call: what a closed handle answers.
  uint32_t GoneError() const { return abandoned_ ? kErrorInvalidHandle : kErrorDeviceNotConnected; }

  FakeDeviceIo& owner_;
  WString path_;
  bool abandoned_ = false;
};

}  // namespace

FakeDeviceIo::State& FakeDeviceIo::Add(const WString& path, bool serial) {
  State& state = devices_[UpperAscii(path)];
  state = State();
  state.path = path;
  state.serial = serial;
  return state;
}

void FakeDeviceIo::Vanish(const WString& path) {
  if (State* state = Find(path)) state->present = false;
}

FakeDeviceIo::State* FakeDeviceIo::Find(const WString& path) {
  auto found = devices_.find(UpperAscii(path));
  return found == devices_.end() ? nullptr : &found->second;
}

const FakeDeviceIo::State* FakeDeviceIo::Find(const WString& path) const {
  auto found = devices_.find(UpperAscii(path));
  return found == devices_.end() ? nullptr : &found->second;
}

std::string FakeDeviceIo::Written(const WString& path) const {
  const State* state = Find(path);
  return state ? state->written : std::string();
}

int FakeDeviceIo::openDevices() const {
  return static_cast<int>(std::count_if(devices_.begin(), devices_.end(),
                                        [](const auto& device) { return device.second.open; }));
}

std::unique_ptr<Device> FakeDeviceIo::Open(const WString& path, uint32_t* error) {
  State* state = Find(path);
  if (onOpen) onOpen(path);
  if (state && state->openMs > 0 && clock_) clock_->Advance(state->openMs);
  uint32_t refused = 0;
  if (!state || !state->present) {
    refused = kErrorFileNotFound;
  } else if (state->openError) {
    refused = *state->openError;
  } else if (state->open) {
    refused = kErrorSharingViolation;
  }
  if (refused) {
    Log("open " + Name(path) + " refused " + std::to_string(refused));
    if (error) *error = refused;
    return nullptr;
  }
  Log("open " + Name(path));
  state->open = true;
  ++state->opens;
  if (error) *error = 0;
  // The log and the state name the device as it was opened.
  return std::make_unique<FakeDevice>(*this, path);
}

}  // namespace kestrava
