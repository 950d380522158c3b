// Drivers and printers of a contract test's own, made of stand-in driver files in the driver
// directory of the environment the spooler's printers use, and removed again with their files
// when the test ends.
#pragma once

#include "tests/platform/implementations.h"

namespace kestrava {

class StandInPrinters {
 public:
  explicit StandInPrinters(SpoolerUnderTest& subject);
  // Deletes the printers, the drivers and the files made, and gives the default printer back.
  ~StandInPrinters();
  StandInPrinters(const StandInPrinters&) = delete;
  StandInPrinters& operator=(const StandInPrinters&) = delete;

  // `suffix` after the subject's prefix.
  WString Name(const WString& suffix) const { return subject_.prefix + u"-" + suffix; }
  // A driver record of stand-in files named after the prefix; not yet placed.
  DriverRecord Driver(const WString& suffix) const;
  // Writes a stand-in file into the driver directory.
  bool Place(const WString& file);
  // Places the record's files and registers it.
  bool Register(const DriverRecord& driver);
  // A local printer on LPT1: with `driver`.
  std::unique_ptr<SpoolerPrinter> Add(const WString& name, const WString& driver,
                                      uint32_t* error = nullptr);
  // Registers a driver and adds a printer with it; the printer's name, empty on failure.
  WString Install(const WString& suffix);

  const WString& directory() const { return directory_; }

 private:
  SpoolerUnderTest& subject_;
  WString directory_;
  WString previousDefault_;
  std::vector<WString> printers_;
  std::vector<WString> drivers_;
  std::vector<WString> placed_;
};

}  // namespace kestrava
