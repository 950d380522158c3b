// What an installation left in the system, read through the Win32 services, for the scripts
// that drive the program from outside; and the clean-up after them.
//
//   installation_state_probe printer NAME PORT          NAME is installed on PORT
//   installation_state_probe data NAME VALUE EXPECTED   printer data: a number or a text
//   installation_state_probe value KEY NAME EXPECTED    a registry value under HKLM
//   installation_state_probe key KEY                    a registry key under HKLM exists
//   installation_state_probe list                       every printer and its port
//   installation_state_probe drivers                    every driver and its environment
//   installation_state_probe foreign add|remove NAME    a printer NAME on LPT1: with a driver
//                                                       of stand-in files of its own ("NAME
//                                                       Driver"), or its removal
//   installation_state_probe cleanup                    removes the printers and drivers of the
//                                                       models, the COM ports' line settings and
//                                                       the TCP/IP ports the roads made
// Exits 0 when the state is as expected, 1 otherwise (saying what it
// found), 2 for a wrong command line.
#include <cstdio>
#include <string>
#include <vector>

#include "install/install_engine.h"
#include "install/printer_ports.h"
#include "install/printer_removal.h"
#include "platform/win32/print_spooler_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/win32.h"

namespace kestrava {
namespace {

const char16_t* const kModels[] = {u"RT-80C", u"RT-80", u"RT-58C", u"RT-58", u"RT-76C", u"RT-76"};

std::string Utf8(const WString& text) {
  return Utf16ToUtf8(text);
}

// A value as the scripts write it: a number in decimal, or the text.
std::string Shown(const RegistryValue& value) {
  if (value.type == kRegDword) return std::to_string(static_cast<int32_t>(value.Number()));
  return Utf8(value.Text());
}

int Compare(const std::string& what, const std::string& found, const std::string& expected) {
  if (found == expected) return 0;
  std::printf("FAIL: %s is \"%s\", expected \"%s\"\n", what.c_str(), found.c_str(),
              expected.c_str());
  return 1;
}

int Printer(const WString& name, const WString& port) {
  Win32PrintSpooler win32Spooler;
  PrintSpooler& spooler = win32Spooler;
  std::vector<InstalledPrinter> printers;
  if (!spooler.EnumeratePrinters(printers)) return Compare("the printer list", "none", "one");
  for (const InstalledPrinter& printer : printers) {
    if (printer.printerName == name)
      return Compare(Utf8(name) + "'s port", Utf8(printer.portName), Utf8(port));
  }
  return Compare("printer " + Utf8(name), "missing", "installed");
}

int Data(const WString& printer, const WString& name, const std::string& expected) {
  Win32PrintSpooler win32Spooler;
  PrintSpooler& spooler = win32Spooler;
  std::unique_ptr<SpoolerPrinter> opened = spooler.Open(printer);
  if (!opened) return Compare("printer " + Utf8(printer), "missing", "installed");
  RegistryValue value;
  if (!opened->GetData(name, value)) return Compare(Utf8(name), "missing", expected);
  return Compare(Utf8(printer) + " " + Utf8(name), Shown(value), expected);
}

int Value(const WString& key, const WString& name, const std::string& expected) {
  Win32Registry win32Registry;
  Registry& registry = win32Registry;
  std::unique_ptr<RegistryKey> opened = registry.OpenMachineKey(key, kRegistryRead);
  if (!opened) return Compare(Utf8(key), "missing", "a key");
  RegistryValue value;
  if (opened->QueryValue(name, 4096, value) != RegistryStatus::kOk) {
    return Compare(Utf8(name), "missing", expected);
  }
  return Compare(Utf8(key) + " " + Utf8(name), Shown(value), expected);
}

int Key(const WString& key) {
  Win32Registry win32Registry;
  Registry& registry = win32Registry;
  return registry.OpenMachineKey(key, kRegistryRead) ? 0 : Compare(Utf8(key), "missing", "a key");
}

int List() {
  Win32PrintSpooler win32Spooler;
  PrintSpooler& spooler = win32Spooler;
  std::vector<InstalledPrinter> printers;
  if (!spooler.EnumeratePrinters(printers)) return 1;
  for (const InstalledPrinter& printer : printers) {
    std::printf("  %s on %s\n", Utf8(printer.printerName).c_str(), Utf8(printer.portName).c_str());
  }
  return 0;
}

int Drivers() {
  Win32PrintSpooler win32Spooler;
  PrintSpooler& spooler = win32Spooler;
  for (const char16_t* environment : kDriverEnvironments) {
    std::vector<WString> drivers;
    if (!spooler.EnumerateDrivers(environment, drivers)) continue;
    for (const WString& driver : drivers) {
      std::printf("  %s (%s)\n", Utf8(driver).c_str(), Utf8(environment).c_str());
    }
  }
  return 0;
}

// A printer of another maker's driver: stand-in files in the x64 driver folder, its driver, and
// the printer on LPT1:.
int Foreign(const WString& action, const WString& name) {
  Win32PrintSpooler win32Spooler;
  PrintSpooler& spooler = win32Spooler;
  const WString environment = u"Windows x64";
  const WString driverName = name + u" Driver";
  if (action == u"remove") {
    const bool printer = spooler.DeletePrinter(name);
    const bool driver = spooler.DeleteDriver(environment, driverName);
    return printer && driver ? 0 : 1;
  }
  const WString folder = spooler.DriverDirectory(environment);
  DriverRecord driver;
  driver.name = driverName;
  driver.environment = environment;
  driver.driverFile = u"kestrava-foreign-drv.dll";
  driver.dataFile = u"kestrava-foreign.gpd";
  driver.configFile = u"kestrava-foreign-ui.dll";
  driver.defaultDataType = u"RAW";
  for (const WString& file : {driver.driverFile, driver.dataFile, driver.configFile}) {
    HANDLE made = CreateFileW(win32::Wide(folder + u"\\" + file), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made == INVALID_HANDLE_VALUE) return Compare(Utf8(file), "not made", "a stand-in");
    const char text[] = "stand-in driver file of the removal test\r\n";
    DWORD written = 0;
    WriteFile(made, text, sizeof text - 1, &written, nullptr);
    CloseHandle(made);
  }
  uint32_t error = 0;
  if (!spooler.AddDriver(driver, &error)) {
    return Compare("the foreign driver", "refused " + std::to_string(error), "added");
  }
  PrinterRecord printer;
  printer.printerName = name;
  printer.portName = u"LPT1:";
  printer.driverName = driverName;
  printer.printProcessor = u"WinPrint";
  printer.dataType = u"RAW";
  printer.attributes = kPrinterAttributeLocal;
  if (!spooler.CreatePrinter(printer, &error)) {
    return Compare("the foreign printer", "refused " + std::to_string(error), "added");
  }
  return 0;
}

int Cleanup() {
  Win32PrintSpooler win32Spooler;
  PrintSpooler& spooler = win32Spooler;
  std::vector<InstalledPrinter> printers;
  spooler.EnumeratePrinters(printers);
  for (const InstalledPrinter& printer : printers) {
    for (const char16_t* model : kModels) {
      if (printer.printerName.compare(0, WStringView(model).size(), model) == 0) {
        spooler.DeletePrinter(printer.printerName);
      }
    }
  }
  for (const char16_t* model : kModels) spooler.DeleteDriver(u"Windows x64", model);
  Win32Registry win32Registry;
  Registry& registry = win32Registry;
  if (auto ports = registry.OpenMachineKey(WString(kSerialPortsKey), kRegistryReadWrite)) {
    // Back to the line settings every prefix starts with.
    for (const char16_t* port : {u"COM3:", u"COM7:"}) {
      ports->SetValue(port, RegistryValue::String(u"9600,n,8,1"));
    }
  }
  for (const char16_t* address : {u"127.0.0.1", u"127.0.0.2", u"127.0.0.3"}) {
    registry.DeleteMachineKeyTree(WString(kTcpIpPortsKey) + u"\\" + address);
  }
  return 0;
}

}  // namespace
}  // namespace kestrava

int wmain(int argc, wchar_t** argv) {
  using kestrava::WString;
  std::vector<WString> args;
  for (int i = 1; i < argc; ++i) args.push_back(kestrava::win32::FromWide(argv[i]));
  const auto command = [&args](const char16_t* name, size_t count) {
    return args.size() == count && args[0] == name;
  };
  if (command(u"printer", 3)) return kestrava::Printer(args[1], args[2]);
  if (command(u"data", 4)) return kestrava::Data(args[1], args[2], kestrava::Utf16ToUtf8(args[3]));
  if (command(u"value", 4)) {
    return kestrava::Value(args[1], args[2], kestrava::Utf16ToUtf8(args[3]));
  }
  if (command(u"key", 2)) return kestrava::Key(args[1]);
  if (command(u"list", 1)) return kestrava::List();
  if (command(u"drivers", 1)) return kestrava::Drivers();
  if (command(u"foreign", 3)) return kestrava::Foreign(args[1], args[2]);
  if (command(u"cleanup", 1)) return kestrava::Cleanup();
  std::fprintf(stderr, "usage: see the file's header\n");
  return 2;
}
