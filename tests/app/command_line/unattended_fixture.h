// The program with arguments on the fake services, as the command-line tests drive it: COM3
// and COM4 on the computer, the driver files beside the program, a printer emulator on COM3 and
// one on loopback, and the helpers that read what the run said.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "install/printer_ports.h"
#include "payload/trusted_folder.h"
#include "tests/install/engine_fixture.h"

namespace kestrava {

using Words = std::vector<WString>;

inline const WString kProgramFolder = u"C:\\Setup";
inline const char16_t* const kUsbPath =
    u"\\\\?\\usb#vid_0416&pid_5011#1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

inline Words Com(Words more = {}) {
  Words words = {u"install", u"--model", u"RT-58C", u"--interface", u"com",
                 u"--port",  u"COM3",    u"--baud", u"115200"};
  words.insert(words.end(), more.begin(), more.end());
  return words;
}

inline Words Lan(Words more = {}) {
  Words words = {u"install", u"--model",   u"RT-80",    u"--interface",
                 u"lan",     u"--address", u"127.0.0.1"};
  words.insert(words.end(), more.begin(), more.end());
  return words;
}

class Unattended : public ::testing::Test, public FakeServices {
 public:
  Unattended() {
    // COM3 and COM4 on the computer, the keys every system has, the driver files beside the
    // program (its file carries no payload here), a printer on COM3 and one on loopback.
    registry.AddKey(WString(kSerialDeviceMapKey));
    registry.SetValue(WString(kSerialDeviceMapKey), u"\\Device\\Serial2",
                      RegistryValue::String(u"COM3"));
    registry.SetValue(WString(kSerialDeviceMapKey), u"\\Device\\Serial3",
                      RegistryValue::String(u"COM4"));
    registry.AddKey(WString(kSerialPortsKey));
    registry.AddKey(WString(kTcpIpPortsKey));
    spooler.files = &files;
    graphics.spooler = &spooler;
    for (const auto& [environment, folder] : spooler.driverDirectories) files.AddFolder(folder);
    // A folder only administrators can change, as one under Program Files is.
    files.AddFolder(kProgramFolder);
    security.Protect(kProgramFolder, sid::kAdministrators, WorkingFolderRights());
    AddSamplePlatformFolder(files, kProgramFolder, u"Windows x64");
    com3 = &deviceIo.Add(u"COM3", true);
    sockets.SetPeer(0x7F000001, 9100, FakeTcpSockets::Peer::kAccepts);
  }

  int Run(const Words& words) {
    process.arguments = words;
    return CBrevantApp(With(host)).Run();
  }

  bool Said(const std::string& part) const {
    return std::any_of(console.lines.begin(), console.lines.end(), [&](const WString& line) {
      return Utf16ToUtf8(line).find(part) != std::string::npos;
    });
  }
  std::string Output() const {
    std::string all;
    for (const WString& line : console.lines) all += Utf16ToUtf8(line) + "\n";
    return all;
  }

  // Nothing of a window: no box, no timer, no wait cursor, no dialog, no address opened.
  void ExpectNoWindow() {
    EXPECT_TRUE(host.messages.empty()) << Output();
    EXPECT_TRUE(host.timerChanges.empty());
    EXPECT_EQ(0, host.waitCursorsShown);
    EXPECT_TRUE(host.title.empty());
    EXPECT_TRUE(std::none_of(shell.calls.begin(), shell.calls.end(),
                             [](const std::string& call) { return call.rfind("open ", 0) == 0; }));
  }

  // A paired Bluetooth printer on `port`, as the stack's enumeration tree lists it.
  void PairBluetoothPrinter(const WString& port) {
    const WString root = u"SYSTEM\\CurrentControlSet\\Enum\\BTHENUM\\";
    registry.SetValue(root +
                          u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002\\"
                          u"8&2a6b0c1d&0&001122AABBCC_C00000000\\Device Parameters",
                      u"PortName", RegistryValue::String(port));
    registry.SetValue(root + u"Dev_001122AABBCC\\7&2f2e3a1b&0&BluetoothDevice_001122AABBCC",
                      u"FriendlyName", RegistryValue::String(u"RT-58 Printer"));
  }

  TestDialogHost host;
  FakeDeviceIo::State* com3 = nullptr;
  std::unique_ptr<InstanceMarker> otherInstance;  // another run's, when a case holds one
};

}  // namespace kestrava
