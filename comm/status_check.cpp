// The status-checked write: a USB printer gets the command only after it has answered the
// real-time status request with a reply that says it is ready.
#include <algorithm>

#include "comm/command_blocks.h"
#include "comm/port_link.h"
#include "comm/wait_cursor.h"

namespace kestrava {

// "WriteFile failed with error %d\n" and its ReadFile twin, with the system's error code.
void PortLink::Trace(const char* call, uint32_t error) {
  services_.process.StandardOutput(std::string(call) + " failed with error " +
                                   std::to_string(static_cast<int>(error)) + "\n");
}

bool PortLink::WriteWithStatusCheck(const uint8_t (&command)[6]) {
  WaitCursor wait(services_.dialog);
  if (!EnsureOpen()) return false;
  if (currentKind != TransportKind::kUsb) return WriteOpened(command, sizeof command);
  if (CheckedUsbWrite(command)) return true;
  usbHandle.reset();
  return false;
}

bool PortLink::CheckedUsbWrite(const uint8_t (&command)[6]) {
  if (usbHandle) usbHandle->Purge();
  for (int pass = 0; pass < 2 && usbHandle; ++pass) {
    const IoResult request = usbHandle->Write(kStatusRequest, sizeof kStatusRequest,
                                              UsbWriteBoundMs(sizeof kStatusRequest));
    if (!request.ok || request.count < sizeof kStatusRequest) {
      Trace("WriteFile", request.error);
      return false;
    }
    services_.clock.Sleep(kStatusReplyPauseMs);
    uint8_t reply[kStatusReplyCapacity] = {};
    const IoResult answer = usbHandle->Read(reply, sizeof reply, kStatusReplyTimeoutMs);
    if (!answer.ok) {
      Trace("ReadFile", answer.error);
      return false;
    }
    const uint8_t* end = reply + std::min<uint32_t>(answer.count, sizeof reply);
    if (std::find(static_cast<const uint8_t*>(reply), end, kStatusReady) == end) return false;
    const IoResult written =
        usbHandle->Write(command, sizeof command, UsbWriteBoundMs(sizeof command));
    if (written.ok && written.count == sizeof command) return true;
    usbHandle.reset();
    usbHandle = usb_.OpenFirstUsbPrinter();
  }
  return false;
}

}  // namespace kestrava
