// The dialog on the fake services, with what the check-port and self-test commands need: the
// interface radios, the port list as the refresh fills it, fake printers on every kind of port.
#pragma once

#include <string>

#include "comm/usb_printer_locator.h"
#include "tests/app/dialog/dialog_fixture.h"
#include "tests/comm/comm_fixture.h"
#include "tests/fakes/hex.h"

namespace kestrava {

using control::kInterfaceRadios;

class PortCommandFixture : public DialogFixture {
 protected:
  void SetUp() override { Open(); }

  // The interface radio and the port list the 500 ms refresh would show for it.
  void Choose(int interface, const std::vector<WString>& ports, const WString& placeholder) {
    ASSERT_TRUE(host.Click(kInterfaceRadios[interface]));
    dialog->ExchangeControlData(true);
    dialog->RefreshPortCombo(ports, placeholder);
    dialog->ExchangeControlData(false);
  }
  void ChooseBaud(const WString& rate) {
    for (int i = 0; i < host.ComboCount(1053); ++i) {
      if (host.ComboItem(1053, i) == rate) host.SetComboSelection(1053, i);
    }
  }

  FakeDeviceIo::State& AddUsbPrinter(const WString& path, uint32_t port, uint32_t linked = 1) {
    deviceInterfaces.Add(path);
    registry.SetValue(InterfaceValueKey(path, u"Control"), u"Linked", RegistryValue::Dword(linked));
    registry.SetValue(InterfaceValueKey(path, u"Device Parameters"), u"Port Number",
                      RegistryValue::Dword(port));
    return deviceIo.Add(path);
  }

  bool PressCheckPort() { return host.Click(1027); }
  bool PressSelfTest() { return host.Click(1047); }

  std::vector<WString> MessageTexts() const {
    std::vector<WString> texts;
    for (const auto& message : host.messages) texts.push_back(message.text);
    return texts;
  }
};

}  // namespace kestrava
