#include "tests/platform/stand_in_printers.h"

#include <gtest/gtest.h>

namespace kestrava {

StandInPrinters::StandInPrinters(SpoolerUnderTest& subject)
    : subject_(subject),
      directory_(subject.spooler->DriverDirectory(subject.environment)),
      previousDefault_(subject.spooler->DefaultPrinter()) {}

StandInPrinters::~StandInPrinters() {
  PrintSpooler& spooler = *subject_.spooler;
  for (const WString& printer : printers_) spooler.DeletePrinter(printer);
  for (const WString& driver : drivers_) spooler.DeleteDriver(subject_.environment, driver);
  // The spooler copies a registered driver's files into the folder of the driver version (3)
  // and leaves them there when the driver is deleted.
  for (const WString& file : placed_) {
    subject_.files->RemoveFile(directory_ + u"\\" + file);
    subject_.files->RemoveFile(directory_ + u"\\3\\" + file);
  }
  if (!previousDefault_.empty()) spooler.MakeDefault(previousDefault_);
}

DriverRecord StandInPrinters::Driver(const WString& suffix) const {
  DriverRecord driver;
  driver.name = Name(suffix);
  driver.environment = subject_.environment;
  driver.driverFile = subject_.prefix + u"-drv.dll";
  driver.dataFile = subject_.prefix + u".gpd";
  driver.configFile = subject_.prefix + u"-ui.dll";
  driver.helpFile = subject_.prefix + u".hlp";
  driver.dependentFiles = {subject_.prefix + u".ini"};
  driver.defaultDataType = u"RAW";
  return driver;
}

bool StandInPrinters::Place(const WString& file) {
  if (directory_.empty()) return false;
  auto handle = subject_.files->Create(directory_ + u"\\" + file, CreateMode::kTruncate);
  if (!handle) return false;
  placed_.push_back(file);
  const char text[] = "stand-in driver file of a contract test\r\n";
  return handle->Write(text, sizeof text - 1) == static_cast<int64_t>(sizeof text - 1);
}

bool StandInPrinters::Register(const DriverRecord& driver) {
  for (const WString& file :
       {driver.driverFile, driver.dataFile, driver.configFile, driver.helpFile}) {
    if (!Place(file)) return false;
  }
  for (const WString& file : driver.dependentFiles) {
    if (!Place(file)) return false;
  }
  uint32_t error = 99;
  if (!subject_.spooler->AddDriver(driver, &error)) {
    ADD_FAILURE() << "AddDriver refused with " << error;
    return false;
  }
  EXPECT_EQ(0u, error);
  drivers_.push_back(driver.name);
  return true;
}

std::unique_ptr<SpoolerPrinter> StandInPrinters::Add(const WString& name, const WString& driver,
                                                     uint32_t* error) {
  PrinterRecord record{name, u"LPT1:", driver, u"WinPrint", u"RAW", kPrinterAttributeLocal};
  auto printer = subject_.spooler->CreatePrinter(record, error);
  if (printer) printers_.push_back(name);
  return printer;
}

WString StandInPrinters::Install(const WString& suffix) {
  const DriverRecord driver = Driver(suffix);
  if (!Register(driver) || !Add(Name(suffix), driver.name)) return WString();
  return Name(suffix);
}

}  // namespace kestrava
