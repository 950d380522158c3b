// LAN printer discovery: the discovery socket on port 5001 with the ICMP echo facility that
// opens with it, the computer's own segments (`localSegments`), one discovery cycle, and
// the discovery thread that runs cycles while LAN is the chosen interface.
//
// One object per process, shared: the dialog owns it and every discovery thread holds it too,
// so the socket and the facility stay valid for as long as a thread can touch them. The
// thread's use of the dialog's members (the list, the running flag, the posted message) is
// bounded by StopDiscoveryThread, which the dialog calls before its members go.
//
// The dialog's thread opens, closes and cancels; the discovery thread sends, receives and
// echoes. The socket is handed to a cycle as a shared reference taken under the lock, so a
// close from the dialog ends the pending receive at once and frees the port, and the cycle's
// later calls on the closed socket just fail.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "net/discovered_printers.h"
#include "net/discovery_packets.h"
#include "net/local_segments.h"
#include "platform/adapters.h"
#include "platform/clock.h"
#include "platform/icmp.h"
#include "platform/process.h"
#include "platform/udp_socket.h"

namespace kestrava {

inline constexpr int32_t kLanInterfaceKind = 2;
// How long the thread waits before the next cycle when a cycle could not wait for an answer
// (no socket, or the receive failed at once): one tick of the dialog's timer, which is what
// paces the probes otherwise.
inline constexpr uint32_t kIdleCyclePaceMs = 500;
// A cycle sends its probe only when the last one on the same socket went out at least this
// long ago. A printer answers within milliseconds, so a probe per cycle would make an answering
// printer drive the cycles as fast as it can answer: hundreds of broadcasts, echoes and
// messages a second. This way a probe goes out once per tick of the dialog's 500 ms timer
// (less the timer's jitter), whether or not anybody answers, and the answers to one probe are
// still read one per cycle as they come.
inline constexpr uint32_t kMinimumProbeIntervalMs = 400;

// What a discovery thread uses of the dialog. The references must stay valid until
// StopDiscoveryThread has returned.
struct DiscoveryDialog {
  DiscoveredPrinters& printers;
  std::atomic<bool>& running;
  std::function<void()> cycleEnded;  // posts WM_USER+100 (both parameters 0)
};

// Starts `work` on a new thread; false when it cannot (the dialog host's StartWorker).
using StartWorkerFn = std::function<bool(std::function<void()> work)>;

class LanDiscovery final : public std::enable_shared_from_this<LanDiscovery> {
 public:
  LanDiscovery(UdpSockets& sockets, Icmp& icmp, AdapterTable& adapters, Clock& clock,
               Process& process);
  ~LanDiscovery();
  LanDiscovery(const LanDiscovery&) = delete;
  LanDiscovery& operator=(const LanDiscovery&) = delete;

  // Opens the socket on port 5001 unless it is open, sets `socketOpen` to the outcome, and
  // opens the ICMP echo facility the first time.
  void OpenDiscoverySocket();
  // Closes the socket when it is open; a receive waiting on it returns at once.
  void CloseDiscoverySocket();
  // Rebuilds `localSegments` from the adapter table (see net/local_addresses.h).
  void RefreshLocalAddresses();
  // Ends the pending receive of the open socket at once (and the next one, if the cycle has not
  // reached its receive yet). Nothing without an open socket.
  void CancelPendingReceive();

  bool socketOpen() const;
  LocalSegments localSegments() const;
  void SetLocalSegments(const LocalSegments& segments);

  // The dialog's interface kind as the dialog last exchanged it with its controls; the thread
  // runs cycles only while it is LAN.
  void SetInterfaceKind(int32_t kind) { interfaceKind_ = kind; }

  // The single echo of the reachability check, on the facility opened with the socket.
  bool IsHostReachable(const WString& address);

  // One probe (unless the last went out less than kMinimumProbeIntervalMs ago) and at most
  // one answer. A probe goes to the limited broadcast from the socket on every interface, and,
  // the adapters read again, to each adapter address's subnet broadcast from a socket bound to
  // that address; the answer is read from any of these sockets. True to go on, false to end the
  // thread: a listed printer stopped answering and was removed, a configuration packet went to
  // a printer outside the computer's segments, or the discovery is stopping.
  bool DiscoveryCycle(DiscoveredPrinters& printers);

  // Sets `dialog.running` and starts DiscoveryThread through `startWorker`; when the thread
  // cannot start, clears the flag again and returns false. Refused once stopping.
  bool StartDiscoveryThread(const DiscoveryDialog& dialog, const StartWorkerFn& startWorker);

  // The thread: cycles while the interface is LAN, posting after each; clears `running` when
  // it leaves. A thread that begins after StopDiscoveryThread touches nothing of the dialog.
  void DiscoveryThread(const DiscoveryDialog& dialog);

  // For the dialog's end: no cycle starts any more, the pending receive ends, an echo walk ends
  // after the echo in flight; returns when no discovery thread runs (within about one second).
  void StopDiscoveryThread();
  bool stopping() const { return stopping_; }
  // Whether a cycle that just ended waited for an answer or a cancel.
  bool lastCycleWaited() const { return lastCycleWaited_; }

 private:
  std::shared_ptr<UdpSocket> OpenSocket() const;
  bool ProbeDue(const UdpSocket& socket);
  // Reads the adapters again: the segments become theirs, and the socket gets one bound to
  // each of their addresses that has a subnet broadcast, and loses those of addresses that went.
  // Returns the segments.
  LocalSegments FollowAdapters(UdpSocket& socket);
  bool ListOrPrune(DiscoveredPrinters& printers, const WString& sender);
  void SendConfigurationPacket(const uint8_t (&reply)[kReplyBufferSize]);

  UdpSockets& sockets_;
  Icmp& icmp_;
  AdapterTable& adapters_;
  Clock& clock_;
  Process& process_;

  mutable std::mutex lock_;
  std::shared_ptr<UdpSocket> socket_;
  std::unique_ptr<IcmpFacility> echo_;
  bool echoOpened_ = false;
  LocalSegments localSegments_;
  uint32_t adapterTableCapacity_ = kAdapterRecordSize;  // what the last table read asked for
  const UdpSocket* probedSocket_ = nullptr;             // where and when the last probe went out
  uint64_t probedAtMs_ = 0;
  std::atomic<int32_t> interfaceKind_{-1};
  std::atomic<bool> stopping_{false};
  std::atomic<bool> lastCycleWaited_{false};
  int activeThreads_ = 0;
  std::condition_variable threadLeft_;
};

}  // namespace kestrava
