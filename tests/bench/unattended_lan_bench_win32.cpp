// Benchmark: one unattended LAN installation (RT-80 on 127.0.0.1, to the printer emulator), or
// with "com" one on COM1 without the port check, with the Win32 services, as the program runs
// it, split into the fixed waits the installation takes by design (the sum of every Sleep but
// the restart's polls), the spooler's restarts (the time in the service manager's calls and the
// polls between them), any system command, the payload's unpacking, and the rest; the median of
// N runs. Each run after the first reuses the printer (--replace).
//
//   tests/bench/unattended_lan_bench.sh build/win64/wineprefix-bench
//       build/win64/tests/unattended_lan_bench.exe [N] [com]   (one command line)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line/unattended.h"
#include "install/spooler_restart.h"
#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/win32_services.h"
#include "tests/bench/bench_timing_win32.h"

namespace kestrava {
namespace {

using Steady = std::chrono::steady_clock;

double Ms(Steady::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The clock, adding up the time slept: the restart's polls apart from the fixed waits.
class CountingClock final : public Clock {
 public:
  explicit CountingClock(Clock& clock) : clock_(clock) {}
  void Sleep(uint32_t milliseconds) override {
    (milliseconds == kServiceStepPollMs ? polled : slept) += milliseconds;
    clock_.Sleep(milliseconds);
  }
  uint64_t MonotonicMs() override { return clock_.MonotonicMs(); }
  LocalTime Now() override { return clock_.Now(); }

  uint64_t slept = 0;
  uint64_t polled = 0;

 private:
  Clock& clock_;
};

// The service manager, adding up the time its calls take and counting the spooler's stops.
class CountingServiceManager final : public ServiceManager {
 public:
  explicit CountingServiceManager(ServiceManager& manager) : manager_(manager) {}
  std::optional<ServiceState> StateOf(const WString& name, uint32_t& error) override {
    return Timed([&] { return manager_.StateOf(name, error); });
  }
  bool ActiveDependents(const WString& name, std::vector<WString>& out, uint32_t& error) override {
    return Timed([&] { return manager_.ActiveDependents(name, out, error); });
  }
  bool Stop(const WString& name, uint32_t& error) override {
    ++stops;
    return Timed([&] { return manager_.Stop(name, error); });
  }
  bool Start(const WString& name, uint32_t& error) override {
    return Timed([&] { return manager_.Start(name, error); });
  }

  Steady::duration spent{};
  int stops = 0;

 private:
  template <typename Call>
  decltype(std::declval<Call>()()) Timed(Call call) {
    const Steady::time_point start = Steady::now();
    auto answer = call();
    spent += Steady::now() - start;
    return answer;
  }
  ServiceManager& manager_;
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
  double total, waits, restart, net, payload, rest;
};

int Main(int runs, bool com) {
  Win32Services win32;
  Win32DialogHost host;
  win32.process.StartSockets();
  std::vector<Split> splits;
  for (int run = 0; run < runs; ++run) {
    CountingClock clock(win32.clock);
    CountingShell shell(win32.shell);
    CountingServiceManager serviceManager(win32.serviceManager);
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
                      serviceManager};
    const std::vector<WString> lan = {u"install", u"--model",   u"RT-80",     u"--interface",
                                      u"lan",     u"--address", u"127.0.0.1", u"--replace"};
    const std::vector<WString> serial = {u"install",  u"--model", u"RT-80", u"--interface",
                                         u"com",      u"--port",  u"COM1",  u"--no-port-check",
                                         u"--replace"};
    const int code = RunUnattended(measured, com ? serial : lan);
    const double total = Ms(Steady::now() - start);
    if (code != 0) {
      for (const std::string& line : console.lines) std::fprintf(stderr, "%s\n", line.c_str());
      std::fprintf(stderr, "run %d ended with %d\n", run, code);
      return 1;
    }
    const double payload = Ms(console.payloadAt);
    const double net = Ms(shell.ran);
    const double waits = static_cast<double>(clock.slept);
    const double restart = Ms(serviceManager.spent) + static_cast<double>(clock.polled);
    splits.push_back(
        {total, waits, restart, net, payload, total - waits - restart - net - payload});
    std::printf(
        "run %d: %.0f ms: fixed waits %.0f, restarts %.0f (%d stops), commands %.0f (%d), "
        "payload %.0f, rest %.0f\n",
        run, total, waits, restart, serviceManager.stops, net, shell.commands, payload,
        splits.back().rest);
  }
  const auto median = [&](double Split::*field) {
    std::vector<double> values;
    for (const Split& split : splits) values.push_back(split.*field);
    return bench::Median(values);
  };
  std::printf(
      "median of %d: %.0f ms: fixed waits %.0f, restarts %.0f, commands %.0f, payload %.0f, "
      "rest %.0f\n",
      runs, median(&Split::total), median(&Split::waits), median(&Split::restart),
      median(&Split::net), median(&Split::payload), median(&Split::rest));
  return 0;
}

}  // namespace
}  // namespace kestrava

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const bool com = argc > 2 && std::string(argv[2]) == "com";
  return kestrava::Main(runs, com);
}
