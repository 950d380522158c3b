// The raw link to a printer, past the print spooler: a parallel port, a serial port (wired or
// Bluetooth), a USB printer-class device or a TCP connection to port 9100. The check-port and
// self-test commands name the port, write one or more blocks and usually close the link again.
// The link never talks to the user: every operation reports by its result.
//
// There is one link per process, made at start-up with the initial state below. Handles
// outlive a command: the serial port is closed after every write, the parallel port is opened
// afresh for every write, the USB device and the TCP socket stay open after a successful write
// until ClosePort, a failure, or the next SelectPort of the LAN.
//
// Everything runs on the dialog's thread and blocks it (a LAN connect takes up to three 1 s
// waits and two 500 ms pauses, a USB status check waits 50 ms and then at most 1 s for the
// reply, a LAN write pauses 25 ms), except the talk given to TalkWhileAnswering.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "comm/comm_services.h"
#include "comm/printer_status.h"
#include "comm/transport_kind.h"
#include "comm/usb_printer_locator.h"
#include "comm/write_bounds.h"

namespace kestrava {

// The dialog's button timer, armed before text is written to a parallel, serial or USB port;
// its tick enables the install controls again.
inline constexpr unsigned kButtonTimer = 1;
inline constexpr unsigned kButtonTimerSerialMs = 5000;
inline constexpr unsigned kButtonTimerUsbMs = 10000;

inline constexpr int kConnectAttempts = 3;
inline constexpr uint32_t kConnectWaitMs = 1000;
inline constexpr uint32_t kConnectPauseMs = 500;
inline constexpr uint32_t kLanFailurePauseMs = 50;
inline constexpr uint32_t kLanWritePauseMs = 25;
inline constexpr uint32_t kStatusReplyPauseMs = 50;
// A printer that has not answered the status request by then is taken as not answering.
inline constexpr uint32_t kStatusReplyTimeoutMs = 1000;
inline constexpr uint32_t kStatusReplyCapacity = 5;
// How long each answer to DLE EOT 4, 2 and 3 may take.
inline constexpr uint32_t kStatusAnswerTimeoutMs = 300;

// How long the talk of one TalkWhileAnswering may go on opening the serial port. Opening an
// outgoing Bluetooth port makes the radio connection, which with the printer off or out of
// reach takes the system tens of seconds to give up, and one command opens the port up to three
// times (its page or request, the blocks after it, the status requests). Once this much has
// passed since the talk began no further open is started, so the command ends with its usual
// failure instead of waiting out every open; an open already under way ends when the system
// gives it up.
inline constexpr uint32_t kAnsweringTalkBoundMs = 60000;

// ConnectLan's results.
enum : int {
  kLanConnected = 1,
  kLanNoSocket = -1,
  kLanBlockingRefused = -2,
  kLanTimedOut = -3,
  kLanWaitFailed = -4,
};

struct Ipv4Endpoint {
  uint32_t address = 0;  // host order
  uint16_t port = kPrinterTcpPort;
};

class PortLink {
 public:
  explicit PortLink(const CommServices& services);
  PortLink(const PortLink&) = delete;
  PortLink& operator=(const PortLink&) = delete;

  // Makes the kind the name matches current (a name that matches none changes nothing) and
  // takes the parameter: for COM the baud rate from its leading digits (0 without any), for
  // the LAN the dotted address to connect to on port 9100 (an old connection is closed first;
  // an address that does not parse changes nothing more).
  void SelectPort(const WString& name, const WString& parameter);
  // Closes the handle or socket of the kind the name matches, which becomes current.
  void ClosePort(const WString& name);

  // Runs `talk` (calls of this link) on a worker thread while the dialog keeps answering its
  // messages (DialogHost::RunAnswering), with the serial port's opens bounded by
  // kAnsweringTalkBoundMs from now. Returns when the talk has ended.
  void TalkWhileAnswering(const std::function<void()>& talk);

  // Whether the link of the current kind is usable, opening it when needed.
  bool EnsureOpen();
  // Opens a serial port (names of five or more characters as \\.\COM10) and sets its timeouts
  // and line settings; a refused setting is traced, and the port is used all the same. Within
  // a TalkWhileAnswering whose bound has passed, opens nothing.
  std::unique_ptr<Device> OpenSerial(const WString& name, uint32_t baud);
  // Purges the serial port, then at most two writes, reopening the port after a failed one.
  bool WriteSerial(const void* bytes, uint32_t length);
  // At most three attempts; from the second on the address's entries of the resolution table
  // are flushed first. Leaves lanSocket connected and non-blocking on success.
  int ConnectLan(const Ipv4Endpoint& endpoint);

  // Writes the block over the current kind. A write succeeds only when the whole block went.
  bool WriteBytes(const void* bytes, uint32_t length);
  // The text in the thread's ANSI code page with its terminating zero byte; arms the button
  // timer first (5000 ms for LPT and COM, 10000 ms for USB, none for the LAN). An empty text
  // sends nothing and fails.
  bool WriteText(const WString& text);
  // As WriteText, but for USB to the printer on `usbPort` (USB001...), with no retry.
  bool WriteTextToUsbPort(const WString& text, const WString& usbPort);
  // For USB the printer must first answer the status request DLE EOT 1 with a reply holding
  // 0x16, within 50 ms and then at most 1 s; other kinds write as WriteBytes does.
  bool WriteWithStatusCheck(const uint8_t (&command)[6]);

  // The printer's own status over the current link (comm/printer_status.h): DLE EOT 4, 2 and
  // 3, each answer waited for at most kStatusAnswerTimeoutMs; when the first brings no valid
  // answer the others are not asked, so a printer that never answers costs one wait. A serial
  // port is opened for the requests and closed again; USB asks the open printer (or the first
  // one); the LAN asks the open connection. Nothing is asked over a parallel port. `exchange`
  // (when given) gets each request and its reply in hex, for the support log.
  StatusAnswers QueryStatus(std::string* exchange = nullptr);

  // skipLinkedCheck: set for Windows 8 and later, never cleared once set.
  void SetSkipLinkedCheck() { skipLinkedCheck_ = true; }
  bool skipLinkedCheck() const { return skipLinkedCheck_; }
  UsbPrinterLocator& usb() { return usb_; }

  TransportKind currentKind = TransportKind::kUsb;
  std::unique_ptr<Device> lptHandle;
  std::unique_ptr<Device> comHandle;
  std::unique_ptr<Device> usbHandle;
  std::unique_ptr<TcpSocket> lanSocket;
  WString lptName = u"LPT1";
  WString comName = u"COM1";
  uint32_t comBaud = 9600;
  std::optional<Ipv4Endpoint> lanEndpoint;

 private:
  // Steps 2 to 5 of WriteBytes: the write over the current kind, once it is open.
  bool WriteOpened(const void* bytes, uint32_t length);
  bool WriteUsb(const void* bytes, uint32_t length);
  bool SendLan(const void* bytes, uint32_t length);
  bool CheckedUsbWrite(const uint8_t (&command)[6]);
  // The ANSI bytes of the text with the zero byte, after arming the button timer; empty for
  // an empty text.
  std::string TextBytes(const WString& text);
  void FlushResolutionOf(uint32_t address);
  void Trace(const char* call, uint32_t error);

  CommServices services_;
  // The monotonic time from which OpenSerial opens nothing; none outside TalkWhileAnswering.
  std::optional<uint64_t> openDeadlineMs_;
  bool skipLinkedCheck_ = false;
  UsbPrinterLocator usb_;
};

// The decimal value of the leading digits of a text; 0 without any, at most 4294967295.
uint32_t LeadingNumber(WStringView text);

}  // namespace kestrava
