// Benchmark: what one tick of the dialog's 500 ms port poll costs with the Win32 services and
// the real dialog, for USB (Wine has no USB printer, so an empty enumeration), COM with three
// serial ports and BLE with two paired printers; the median and the worst of N ticks each. The
// ports are written into the prefix's registry for the run and removed afterwards. A timing
// program of its own, as Google Benchmark is only there for the native build.
//
//   scripts/with-xvfb scripts/wine-exec build/win64/wineprefix-gui
//       build/win64/tests/bench/port_poll_bench.exe [N]   (one command line)
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/dialog/confing_dialog.h"
#include "install/printer_ports.h"
#include "net/bluetooth_ports.h"
#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/win32_services.h"
#include "tests/bench/bench_timing_win32.h"

namespace kestrava {
namespace {

constexpr unsigned kStartTimer = 99;
const WString kSerialMap = u"HARDWARE\\DEVICEMAP\\SERIALCOMM";
const WString kBthEnum = u"SYSTEM\\CurrentControlSet\\Enum\\BTHENUM";
const WString kService = u"{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002";
const WString kBenchDevices[] = {u"\\Device\\KestravaBench0", u"\\Device\\KestravaBench1",
                                 u"\\Device\\KestravaBench2"};

// The dialog as the program runs it, with the measurement started from its first timer.
class Bench final : public DialogEvents {
 public:
  Bench(Win32DialogHost& host, Win32Services& win32, int ticks)
      : host_(host), win32_(win32), dialog_(win32.With(host)), ticks_(ticks) {}

  bool OnInitDialog() override {
    dialog_.OnInitDialog();
    host_.StartTimer(kStartTimer, 10);
    return true;
  }
  void OnCommand(int, int) override {}
  void OnTimer(unsigned timerId) override {
    if (timerId != kStartTimer) return;  // the dialog's own timers wait for the run
    host_.StopTimer(kStartTimer);
    result = Run();
    host_.EndDialog(0);
  }
  void OnUserMessage(uintptr_t, intptr_t) override {}
  void OnOk() override {}
  void OnCancel() override {}

  int result = 1;

 private:
  int Run() {
    Registry& registry = win32_.registry;
    if (registry.OpenMachineKey(kBthEnum, kRegistryRead)) {
      std::fprintf(stderr, "the prefix has a Bluetooth tree of its own: not touched\n");
      return 1;
    }
    PreparePorts(registry);
    // Each interface's enumeration alone, to tell it from the dialog's own part of the tick.
    const auto usb = [this] {
      std::vector<WString> ports;
      dialog_.portLink().usb().ListUsbPrinterPorts(ports);
    };
    const auto serial = [&registry] {
      std::vector<WString> ports;
      ListSerialPorts(registry, ports);
    };
    const auto bluetooth = [&registry] {
      std::vector<WString> ports;
      std::vector<WString> names;
      FindBluetoothPorts(registry, ports, names);
    };
    const struct {
      const char* what;
      int32_t kind;
      int expectedPorts;
      std::function<void()> enumerate;
    } rows[] = {{"USB (none attached)", kUsbInterface, 1, usb},
                {"COM (three ports)", kComInterface, 3, serial},
                {"BLE (two ports)", kBluetoothInterface, 2, bluetooth}};
    int failures = 0;
    for (const auto& row : rows) {
      host_.SetRadioGroupPosition(control::kInterfaceFirst, row.kind);
      dialog_.OnInterfaceChosen();
      dialog_.OnTimer(kPortPollTimer);  // the first tick fills the list
      std::vector<double> times;
      for (int i = 0; i < ticks_; ++i) {
        const double start = bench::NowMs();
        dialog_.OnTimer(kPortPollTimer);
        times.push_back(bench::NowMs() - start);
      }
      std::vector<double> enumerations;
      for (int i = 0; i < ticks_; ++i) {
        const double start = bench::NowMs();
        row.enumerate();
        enumerations.push_back(bench::NowMs() - start);
      }
      const int listed = host_.ComboCount(control::kPortList);
      std::printf(
          "%-20s %d ticks: median %.3f ms, worst %.3f ms (the enumeration alone: median %.3f ms); "
          "%d in the list\n",
          row.what, ticks_, bench::Median(times), bench::Worst(times), bench::Median(enumerations),
          listed);
      // COM may list the prefix's own serial ports as well.
      if (listed < row.expectedPorts) ++failures;
    }
    RemovePorts(registry);
    return failures == 0 ? 0 : 1;
  }

  static void PreparePorts(Registry& registry) {
    if (auto map = registry.CreateMachineKey(kSerialMap, kRegistryReadWrite)) {
      for (int i = 0; i < 3; ++i) {
        map->SetValue(kBenchDevices[i],
                      RegistryValue::String(u"COM" + WidenAscii(std::to_string(20 + i))));
      }
    }
    const WString addresses[] = {u"001122AABBCC", u"00A0B1C2D3E4"};
    for (int i = 0; i < 2; ++i) {
      const WString instance = kBthEnum + u"\\" + kService + u"\\7&1a2b3c&0&" + addresses[i] +
                               u"_C00000000\\Device Parameters";
      if (auto key = registry.CreateMachineKey(instance, kRegistryReadWrite)) {
        key->SetValue(u"PortName",
                      RegistryValue::String(u"COM" + WidenAscii(std::to_string(30 + i))));
      }
      const WString device =
          kBthEnum + u"\\Dev_" + addresses[i] + u"\\7&2f2e3a1b&0&BluetoothDevice_" + addresses[i];
      if (auto key = registry.CreateMachineKey(device, kRegistryReadWrite)) {
        key->SetValue(u"FriendlyName", RegistryValue::String(u"RT-58 Printer"));
      }
    }
  }

  static void RemovePorts(Registry& registry) {
    // The device map is the system's: only the bench's own values go.
    if (auto map = registry.OpenMachineKey(kSerialMap, kRegistryReadWrite)) {
      for (const WString& device : kBenchDevices) map->DeleteValue(device);
    }
    registry.DeleteMachineKeyTree(kBthEnum);
  }

  Win32DialogHost& host_;
  Win32Services& win32_;
  ConfingDialog dialog_;
  int ticks_;
};

}  // namespace
}  // namespace kestrava

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::atoi(argv[1]) : 200;
  kestrava::Win32DialogHost host;
  kestrava::Win32Services win32;
  kestrava::Bench bench(host, win32, ticks > 0 ? ticks : 200);
  if (host.RunModal(bench) < 0) {
    std::fprintf(stderr, "the dialog could not be made\n");
    return 1;
  }
  return bench.result;
}
