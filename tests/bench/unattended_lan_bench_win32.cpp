// Benchmark: one unattended LAN installation (RT-80 on 127.0.0.1, to the printer emulator)
// with the Win32 services, as the program runs it, split into the fixed waits the installation
// takes by design (the sum of every Sleep), the system's net commands (the spooler's stops and
// starts), the payload's unpacking, and the rest; the median of N runs. Each run after the
// first reuses the printer (--replace).
//
//   tests/bench/unattended_lan_bench.sh build/win64/wineprefix-bench
//       build/win64/tests/unattended_lan_bench.exe [N]   (one command line)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/command_line/unattended.h"
#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/win32_services.h"
#include "tests/bench/bench_timing_win32.h"

namespace kestrava {
namespace {

using Steady = std::chrono::steady_clock;

double Ms(Steady::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The clock, adding up the time slept.
class CountingClock final : public Clock {
 public:
  explicit CountingClock(Clock& clock) : clock_(clock) {}
  void Sleep(uint32_t milliseconds) override {
    slept += milliseconds;
    clock_.Sleep(milliseconds);
  }
  uint64_t MonotonicMs() override { return clock_.MonotonicMs(); }
  LocalTime Now() override { return clock_.Now(); }

  uint64_t slept = 0;

 private:
  Clock& clock_;
};

// The shell, adding up the time its commands take.
class CountingShell final : public Shell {
 public:
  explicit CountingShell(Shell& shell) : shell_(shell) {}
  using Shell::RunHiddenAndWait;
  std::optional<uint32_t> RunHiddenAndWait(const WString& program, const WString& parameters,
                                           uint32_t timeoutMs, WString* output) override {
    const Steady::time_point start = Steady::now();
    const std::optional<uint32_t> code =
        shell_.RunHiddenAndWait(program, parameters, timeoutMs, output);
    ran += Steady::now() - start;
    ++commands;
    return code;
  }
  bool OpenAddress(const WString& address) override { return shell_.OpenAddress(address); }
  WString SystemFolder() override { return shell_.SystemFolder(); }
  WString ProgramFilesFolder(ProgramFiles which) override {
    return shell_.ProgramFilesFolder(which);
  }

  Steady::duration ran{};
  int commands = 0;

 private:
  Shell& shell_;
};

// The output, keeping when the payload's line came and every line for a failed run.
class TimingConsole final : public Console {
 public:
  explicit TimingConsole(Steady::time_point start) : start_(start) {}
  void Connect() override {}
  bool InterruptionRequested() override { return false; }
  void WriteLine(const WString& line) override {
    lines.push_back(Utf16ToUtf8(line));
    if (line.rfind(u"payload:", 0) == 0) payloadAt = Steady::now() - start_;
  }

  Steady::duration payloadAt{};
  std::vector<std::string> lines;

 private:
  Steady::time_point start_;
};

struct Split {
  double total, waits, net, payload, rest;
};

int Main(int runs) {
  Win32Services win32;
  Win32DialogHost host;
  win32.process.StartSockets();
  std::vector<Split> splits;
  for (int run = 0; run < runs; ++run) {
    CountingClock clock(win32.clock);
    CountingShell shell(win32.shell);
    const Steady::time_point start = Steady::now();
    TimingConsole console(start);
    Services services = win32.With(host);
    Services measured{services.dialog,
                      services.system,
                      services.files,
                      services.process,
                      clock,
                      services.registry,
                      services.udp,
                      services.icmp,
                      services.adapters,
                      services.spooler,
                      shell,
                      services.graphics,
                      services.deviceInterfaces,
                      services.deviceIo,
                      services.sockets,
                      services.arpTable,
                      services.screenGdi,
                      console,
                      services.security,
                      services.serviceManager};
    const int code = RunUnattended(measured, {u"install", u"--model", u"RT-80", u"--interface",
                                              u"lan", u"--address", u"127.0.0.1", u"--replace"});
    const double total = Ms(Steady::now() - start);
    if (code != 0) {
      for (const std::string& line : console.lines) std::fprintf(stderr, "%s\n", line.c_str());
      std::fprintf(stderr, "run %d ended with %d\n", run, code);
      return 1;
    }
    const double payload = Ms(console.payloadAt);
    const double net = Ms(shell.ran);
    const double waits = static_cast<double>(clock.slept);
    splits.push_back({total, waits, net, payload, total - waits - net - payload});
    std::printf(
        "run %d: %.0f ms: fixed waits %.0f, net %.0f (%d commands), payload %.0f, "
        "rest %.0f\n",
        run, total, waits, net, shell.commands, payload, splits.back().rest);
  }
  const auto median = [&](double Split::*field) {
    std::vector<double> values;
    for (const Split& split : splits) values.push_back(split.*field);
    return bench::Median(values);
  };
  std::printf("median of %d: %.0f ms: fixed waits %.0f, net %.0f, payload %.0f, rest %.0f\n", runs,
              median(&Split::total), median(&Split::waits), median(&Split::net),
              median(&Split::payload), median(&Split::rest));
  return 0;
}

}  // namespace
}  // namespace kestrava

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  return kestrava::Main(runs);
}
