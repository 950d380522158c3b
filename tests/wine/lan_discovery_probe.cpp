// LAN discovery with the Win32 services, driven the way the dialog drives it: the socket opened
// and the local addresses read as when LAN is chosen, the discovery thread started through the
// dialog host's worker, and a 500 ms tick on the main thread that cancels the pending receive
// while the thread runs and reopens the socket and restarts the thread when it has ended.
// After every cycle (where the dialog gets WM_USER+100) it prints the list.
//
// Only for tests inside network namespaces of their own (lan_discovery_check.sh): it
// broadcasts.
//
// Usage: lan_discovery_probe discover SECONDS [STOPFILE]
//            runs discovery for that long, or until STOPFILE exists (looked for at each tick)
//        lan_discovery_probe echo ADDRESS
//            one reachability check, timed
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "net/lan_discovery.h"
#include "net/reachability.h"
#include "platform/win32/adapters_win32.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/icmp_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/udp_socket_win32.h"

namespace kestrava {
namespace {

constexpr uint32_t kTickMs = 500;

void Print(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fflush(stdout);
}

int Discover(int seconds, const char* stopFile) {
  Win32UdpSockets sockets;
  Win32Icmp icmp;
  Win32AdapterTable adapters;
  Win32Clock clock;
  Win32Process process;
  Win32DialogHost host;  // only its worker threads: there is no dialog to post to
  auto lan = std::make_shared<LanDiscovery>(sockets, icmp, adapters, clock, process);

  DiscoveredPrinters printers;
  std::atomic<bool> running{false};
  std::atomic<int> cycles{0};
  const uint64_t start = clock.MonotonicMs();
  const DiscoveryDialog dialog{
      printers, running, [&] {
        std::string line = "cycle " + std::to_string(++cycles) +
                           " t=" + std::to_string(clock.MonotonicMs() - start) + " list=[";
        const auto listed = printers.Snapshot();
        for (size_t i = 0; i < listed.size(); ++i) {
          line += (i ? " " : "") + Utf16ToUtf8(listed[i]);
        }
        Print(line + "]\n");
      }};
  const StartWorkerFn startWorker = [&host](std::function<void()> work) {
    return host.StartWorker(std::move(work));
  };

  // LAN chosen.
  lan->SetInterfaceKind(kLanInterfaceKind);
  lan->OpenDiscoverySocket();
  lan->RefreshLocalAddresses();
  Print("socket " + std::string(lan->socketOpen() ? "open" : "refused") +
        " local=" + SegmentsText(lan->localSegments()) + "\n");
  lan->StartDiscoveryThread(dialog, startWorker);

  int restarts = 0;
  for (uint64_t tick = 0; tick < static_cast<uint64_t>(seconds) * 1000 / kTickMs; ++tick) {
    clock.Sleep(kTickMs);
    if (stopFile) {
      if (FILE* stop = std::fopen(stopFile, "rb")) {
        std::fclose(stop);
        break;
      }
    }
    if (running) {
      lan->CancelPendingReceive();
    } else {
      lan->CloseDiscoverySocket();
      lan->OpenDiscoverySocket();
      lan->StartDiscoveryThread(dialog, startWorker);
      ++restarts;
    }
  }
  // The dialog's end.
  lan->StopDiscoveryThread();
  Print("stopped cycles=" + std::to_string(cycles) + " restarts=" + std::to_string(restarts) +
        "\n");
  return 0;
}

int Echo(const char* address) {
  Win32Icmp icmp;
  Win32Clock clock;
  auto facility = icmp.Open();
  if (!facility) {
    Print("echo facility refused\n");
    return 1;
  }
  const uint64_t start = clock.MonotonicMs();
  const bool reachable = IsHostReachable(facility.get(), WidenAscii(address));
  Print(std::string("reachable=") + (reachable ? "1" : "0") +
        " ms=" + std::to_string(clock.MonotonicMs() - start) + "\n");
  return 0;
}

}  // namespace
}  // namespace kestrava

int main(int argc, char** argv) {
  // Lines end in "\n" alone, as the scripts that read them expect.
  _setmode(_fileno(stdout), _O_BINARY);
  if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "discover") == 0) {
    return kestrava::Discover(std::atoi(argv[2]), argc == 4 ? argv[3] : nullptr);
  }
  if (argc == 3 && std::strcmp(argv[1], "echo") == 0) return kestrava::Echo(argv[2]);
  std::fprintf(stderr, "usage: %s discover SECONDS [STOPFILE] | echo ADDRESS\n", argv[0]);
  return 2;
}
