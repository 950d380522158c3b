// The printer communication on the fake services, with the test dialog host open (the link
// arms the dialog's timers) and helpers that attach fake printers.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "comm/port_link.h"
#include "comm/usb_printer_locator.h"
#include "tests/fakes/fake_services.h"
#include "tests/fakes/hex.h"
#include "tests/fakes/test_dialog_host.h"

namespace kestrava {

// A dialog that does nothing: it only keeps the test host open.
class IdleDialog final : public DialogEvents {
 public:
  bool OnInitDialog() override { return true; }
  void OnCommand(int, int) override {}
  void OnTimer(unsigned) override {}
  void OnUserMessage(uintptr_t, intptr_t) override {}
  void OnOk() override {}
  void OnCancel() override {}
};

// A USB printer interface path of vendor `vid` (as it stands in the path).
inline WString UsbPath(const WString& vid, int serial) {
  return u"\\\\?\\usb#" + vid + u"&pid_0e15#5&" + WidenAscii(std::to_string(serial)) +
         u"&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}

inline constexpr uint32_t kLoopback = 0x7F000001;  // 127.0.0.1

class CommFixture : public ::testing::Test, protected FakeServices {
 protected:
  CommFixture() { host.RunModal(idle_); }

  CommServices Comm() { return CommWith(sockets, clock); }
  // The services with sockets and a clock of the test's own.
  CommServices CommWith(TcpSockets& otherSockets, Clock& otherClock) {
    return CommServices{deviceInterfaces, deviceIo,   registry, otherSockets, arpTable,
                        screenGdi,        otherClock, process,  system,       host};
  }

  // An attached printer: its interface, its registry values and its device.
  FakeDeviceIo::State& AddUsbPrinter(const WString& path, uint32_t port, uint32_t linked = 1,
                                     uint32_t flags = kInterfaceActive) {
    deviceInterfaces.Add(path, flags);
    registry.SetValue(InterfaceValueKey(path, u"Control"), u"Linked", RegistryValue::Dword(linked));
    registry.SetValue(InterfaceValueKey(path, u"Device Parameters"), u"Port Number",
                      RegistryValue::Dword(port));
    return deviceIo.Add(path);
  }

  std::vector<std::string> Log() const { return deviceIo.log; }

  TestDialogHost host;
  PortLink link{Comm()};

 private:
  IdleDialog idle_;
};

}  // namespace kestrava
