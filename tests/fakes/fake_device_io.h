// Scriptable devices opened by name (names compare without regard to case, as the system's
// device names do). Each device can answer the serial calls or not (and refuses line settings
// whose XON and XOFF characters are equal, as Windows does), take writes whole, in part, not at
// all or never (the write then waits its time on the virtual clock and fails), answer reads
// with scripted replies or never (a read then waits its time and gets nothing), refuse to open,
// and vanish (opens fail, open handles fail every call). A device whose driver ignores a cancel
// holds a write it never takes, or a read it never answers, for its time and kCancelGraceMs
// more; the call then fails with kErrorTimeout and its handle is closed, so every later call on
// it fails with kErrorInvalidHandle, as the Win32 device gives such a call up
// (platform/overlapped_calls.h). A device is not shared: a second open
// while one is open is refused.
//
// Every call is logged in order ("open COM3", "write COM3 1B 40", "close COM3", ...) and every
// byte a device took is kept, so tests state the exact expected traffic.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/device_io.h"
#include "tests/fakes/fake_clock.h"

namespace kestrava {

class FakeDeviceIo final : public DeviceIo {
 public:
  // What one write does.
  struct WriteStep {
    // kNever: the device takes nothing and the write never ends by itself.
    enum Kind { kAll, kPart, kFail, kVanish, kNever } kind = kAll;
    uint32_t count = 0;                 // kPart: bytes taken
    uint32_t error = kErrorGenFailure;  // kFail
  };

  struct State {
    WString path;
    bool present = true;
    bool serial = false;                // answers SetTimeouts, SetLineSettings and Purge
    std::optional<uint32_t> openError;  // refuses every open with this error
    // What each open takes on the virtual clock, whatever its outcome (a Bluetooth port makes
    // its radio connection).
    uint32_t openMs = 0;
    std::deque<WriteStep> writes;       // one per write; none left: the write takes all
    std::deque<std::string> replies;    // one per read; none left: the device never answers
    std::optional<uint32_t> readError;  // every read fails with it
    bool cancelIgnored = false;         // the driver does not honour a cancel
    // What happened.
    bool open = false;
    int opens = 0;
    std::string written;
    std::optional<CommTimeouts> timeouts;
    std::optional<LineSettings> line;
    int purges = 0;
    int abandonedCalls = 0;
    std::vector<uint32_t> readTimeouts;
    std::vector<uint32_t> writeTimeouts;
  };

  explicit FakeDeviceIo(FakeClock* clock = nullptr) : clock_(clock) {}

  // A device that can be opened by `path`; `serial` for serial and parallel ports.
  State& Add(const WString& path, bool serial = false);
  // The device unplugged: it cannot be opened again, and open handles fail.
  void Vanish(const WString& path);
  State* Find(const WString& path);
  const State* Find(const WString& path) const;
  // Every byte the device took, over all its opens; empty for an unknown path.
  std::string Written(const WString& path) const;
  int openDevices() const;

  std::unique_ptr<Device> Open(const WString& path, uint32_t* error) override;

  std::vector<std::string> log;
  // Called at every open, while it takes its time: what the world does meanwhile.
  std::function<void(const WString& path)> onOpen;
  // Called at every write, before the device takes the bytes: what the world looks like then.
  std::function<void(const WString& path)> onWrite;

  // For the devices this fake hands out.
  void Log(const std::string& entry) { log.push_back(entry); }
  FakeClock* clock() const { return clock_; }

 private:
  FakeClock* clock_;
  std::map<WString, State> devices_;  // by upper-cased path
};

}  // namespace kestrava
