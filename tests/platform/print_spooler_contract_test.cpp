// The print spooler service against the fake (natively) and the Win32 implementation (under
// Wine), with drivers and printers of the test's own that it removes, and stand-in driver files
// that it deletes again.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "tests/platform/implementations.h"
#ifdef _WIN32
#include "platform/win32/print_spooler_win32.h"
#endif
#include "tests/platform/stand_in_printers.h"

namespace kestrava {
namespace {

WString Lower(WString text) {
  for (WChar& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<WChar>(c + 32);
  }
  return text;
}

class SpoolerContract : public ::testing::TestWithParam<Implementation<SpoolerUnderTest>> {
 protected:
  void SetUp() override {
    subject = GetParam().make();
    ASSERT_TRUE(subject);
    spooler = subject->spooler.get();
    made = std::make_unique<StandInPrinters>(*subject);
    ASSERT_FALSE(made->directory().empty());
  }
  void TearDown() override { made.reset(); }

  WString Name(const WString& suffix) const { return made->Name(suffix); }
  DriverRecord Driver(const WString& suffix) const { return made->Driver(suffix); }
  bool Place(const WString& file) { return made->Place(file); }
  bool Register(const DriverRecord& driver) { return made->Register(driver); }
  std::unique_ptr<SpoolerPrinter> Add(const WString& name, const WString& driver,
                                      uint32_t* error = nullptr) {
    return made->Add(name, driver, error);
  }

  std::vector<InstalledPrinter> Listed() {
    std::vector<InstalledPrinter> all;
    EXPECT_TRUE(spooler->EnumeratePrinters(all));
    return all;
  }

  std::unique_ptr<SpoolerUnderTest> subject;
  PrintSpooler* spooler = nullptr;
  std::unique_ptr<StandInPrinters> made;
};

TEST_P(SpoolerContract, EachPlatformHasItsDriverDirectoryAndAnUnknownOneNone) {
  const std::pair<const char16_t*, const char16_t*> rows[] = {
      {u"Windows x64", u"\\spool\\drivers\\x64"},
      {u"Windows NT x86", u"\\spool\\drivers\\w32x86"},
      {u"Windows ARM64", u"\\spool\\drivers\\arm64"},
  };
  for (const auto& [environment, ending] : rows) {
    uint32_t error = 99;
    const WString folder = Lower(spooler->DriverDirectory(environment, &error));
    EXPECT_EQ(0u, error);
    const WString expected = ending;
    ASSERT_GT(folder.size(), expected.size()) << Utf16ToUtf8(environment);
    EXPECT_EQ(expected, folder.substr(folder.size() - expected.size()));
    EXPECT_EQ(u":\\", folder.substr(1, 2)) << "an absolute path";
  }
  uint32_t error = 0;
  EXPECT_EQ(u"", spooler->DriverDirectory(u"Windows 3.1 on a toaster", &error));
  EXPECT_NE(0u, error);
}

TEST_P(SpoolerContract, ADriverRegistersOnlyWithItsFilesInTheDriverDirectory) {
  DriverRecord driver = Driver(u"files");
  if (subject->checksLikeWindows) {
    ASSERT_TRUE(Place(driver.driverFile));
    uint32_t error = 0;
    EXPECT_FALSE(spooler->AddDriver(driver, &error)) << "the data file is missing";
    EXPECT_EQ(kErrorFileNotFound, error);
  }
  ASSERT_TRUE(Register(driver));
}

TEST_P(SpoolerContract, AnAddedPrinterIsListedWithItsPortAndDriverAndOpensByName) {
  const DriverRecord driver = Driver(u"listed");
  ASSERT_TRUE(Register(driver));
  uint32_t error = 99;
  auto added = Add(Name(u"printer"), driver.name, &error);
  ASSERT_TRUE(added) << error;
  EXPECT_EQ(0u, error);
  added.reset();

  const std::vector<InstalledPrinter> all = Listed();
  auto it = std::find_if(all.begin(), all.end(), [&](const InstalledPrinter& printer) {
    return printer.printerName == Name(u"printer");
  });
  ASSERT_NE(all.end(), it);
  EXPECT_EQ(u"LPT1:", it->portName);
  EXPECT_EQ(driver.name, it->driverName);
  EXPECT_TRUE(spooler->Open(Name(u"printer")));
}

TEST_P(SpoolerContract, PrinterDataKeepsTypeAndExactSizeAndIsReplacedByName) {
  const DriverRecord driver = Driver(u"data");
  ASSERT_TRUE(Register(driver));
  auto printer = Add(Name(u"data"), driver.name);
  ASSERT_TRUE(printer);
  uint32_t error = 99;
  EXPECT_TRUE(printer->SetData(u"PortType", RegistryValue::Dword(0xFFFFFFFF), &error));
  EXPECT_EQ(0u, error);
  EXPECT_TRUE(printer->SetData(u"PortName", RegistryValue::String(u"COM3:")));
  EXPECT_TRUE(printer->SetData(u"Beeper", RegistryValue::Dword(1)));
  EXPECT_TRUE(printer->SetData(u"Beeper", RegistryValue::Dword(4)));
  printer.reset();

  auto reopened = spooler->Open(Name(u"data"));
  ASSERT_TRUE(reopened);
  RegistryValue value;
  ASSERT_TRUE(reopened->GetData(u"PortType", value));
  EXPECT_EQ(kRegDword, value.type);
  EXPECT_EQ(0xFFFFFFFFu, value.Number()) << "-1 keeps all 32 bits";
  ASSERT_TRUE(reopened->GetData(u"PortName", value));
  EXPECT_EQ(kRegSz, value.type);
  EXPECT_EQ(12u, value.data.size()) << "five characters and the terminator, in bytes";
  EXPECT_EQ(u"COM3:", value.Text());
  ASSERT_TRUE(reopened->GetData(u"Beeper", value));
  EXPECT_EQ(4u, value.Number());
  value = RegistryValue::Dword(7);
  error = 0;
  EXPECT_FALSE(reopened->GetData(u"Absent", value, &error));
  EXPECT_NE(0u, error);
  EXPECT_EQ(7u, value.Number()) << "a missing value leaves the output alone";
}

TEST_P(SpoolerContract, APrinterNeedsARegisteredDriverAndAnOpenNeedsAPrinter) {
  uint32_t error = 0;
  EXPECT_FALSE(Add(Name(u"orphan"), Name(u"no such driver"), &error));
  EXPECT_NE(0u, error);
  error = 0;
  EXPECT_FALSE(spooler->Open(Name(u"nowhere"), &error));
  EXPECT_NE(0u, error);
}

TEST_P(SpoolerContract, ASecondPrinterOfATakenNameIsRefusedWhereTheSpoolerSaysSo) {
  if (!subject->checksLikeWindows) GTEST_SKIP() << "this spooler accepts duplicate names";
  const DriverRecord driver = Driver(u"twice");
  ASSERT_TRUE(Register(driver));
  ASSERT_TRUE(Add(Name(u"twice"), driver.name));
  uint32_t error = 0;
  EXPECT_FALSE(Add(Name(u"twice"), driver.name, &error));
  EXPECT_EQ(kErrorPrinterAlreadyExists, error);
}

TEST_P(SpoolerContract, TheDefaultPrinterIsTheOneLastSet) {
  const DriverRecord driver = Driver(u"default");
  ASSERT_TRUE(Register(driver));
  ASSERT_TRUE(Add(Name(u"first"), driver.name));
  ASSERT_TRUE(Add(Name(u"second"), driver.name));
  uint32_t error = 99;
  EXPECT_TRUE(spooler->MakeDefault(Name(u"second"), &error));
  EXPECT_EQ(0u, error);
  EXPECT_EQ(Name(u"second"), spooler->DefaultPrinter());
  EXPECT_TRUE(spooler->MakeDefault(Name(u"first")));
  EXPECT_EQ(Name(u"first"), spooler->DefaultPrinter());
}

TEST_P(SpoolerContract, DeletedPrintersAndDriversAreGone) {
  const DriverRecord driver = Driver(u"gone");
  ASSERT_TRUE(Register(driver));
  ASSERT_TRUE(Add(Name(u"gone"), driver.name));
  EXPECT_TRUE(spooler->DeletePrinter(Name(u"gone")));
  const std::vector<InstalledPrinter> all = Listed();
  EXPECT_TRUE(std::none_of(all.begin(), all.end(), [&](const InstalledPrinter& printer) {
    return printer.printerName == Name(u"gone");
  }));
  uint32_t error = 0;
  EXPECT_FALSE(spooler->DeletePrinter(Name(u"gone"), &error));
  EXPECT_NE(0u, error);
  EXPECT_TRUE(spooler->DeleteDriver(subject->environment, driver.name));
  EXPECT_FALSE(spooler->DeleteDriver(subject->environment, driver.name));
}

// The listings as the removal reads them: a printer of this computer is in the local listing
// and in the listing of both, marked local, and never among the connections.
TEST_P(SpoolerContract, ALocalPrinterIsListedAsLocalAndNeverAsAConnection) {
  const WString name = made->Install(u"local");
  ASSERT_FALSE(name.empty());
  const auto find = [&](PrinterListing listing) -> std::optional<InstalledPrinter> {
    std::vector<InstalledPrinter> all;
    EXPECT_TRUE(spooler->ListPrinters(listing, all));
    for (const InstalledPrinter& printer : all) {
      if (printer.printerName == name) return printer;
    }
    return std::nullopt;
  };
  for (PrinterListing listing : {PrinterListing::kLocal, PrinterListing::kLocalAndConnections}) {
    const std::optional<InstalledPrinter> listed = find(listing);
    ASSERT_TRUE(listed);
    EXPECT_TRUE(listed->attributes & kPrinterAttributeLocal) << listed->attributes;
    EXPECT_FALSE(listed->IsConnection());
    EXPECT_FALSE(listed->PendingDeletion());
  }
  EXPECT_FALSE(find(PrinterListing::kConnections));
}

// The spooler compares printer and driver names ordinally without case: a name in other
// letters opens, deletes and is taken.
TEST_P(SpoolerContract, PrinterAndDriverNamesIgnoreCase) {
  const DriverRecord driver = Driver(u"Case");
  ASSERT_TRUE(Register(driver));
  ASSERT_TRUE(Add(Name(u"Case"), driver.name));
  const WString upper = UpperAscii(Name(u"Case"));
  ASSERT_NE(upper, Name(u"Case"));
  EXPECT_TRUE(spooler->Open(upper));
  EXPECT_TRUE(spooler->Open(Lower(Name(u"Case"))));
  if (subject->checksLikeWindows) {
    uint32_t error = 0;
    EXPECT_FALSE(Add(upper, driver.name, &error)) << "the name is taken";
    EXPECT_EQ(kErrorPrinterAlreadyExists, error);
  }
  EXPECT_TRUE(spooler->DeletePrinter(upper));
  EXPECT_FALSE(spooler->Open(Name(u"Case")));
  EXPECT_TRUE(spooler->DeleteDriver(subject->environment, Lower(driver.name)));
}

// While a handle is open on it a deleted printer is only marked: Windows lists it with its
// pending deletion until the handle closes. Wine's spooler deletes it at once.
TEST_P(SpoolerContract, ADeletedPrinterWithAHandleOpenGoesWhenTheHandleCloses) {
  const WString name = made->Install(u"pending");
  ASSERT_FALSE(name.empty());
  const auto listed = [&]() -> std::optional<InstalledPrinter> {
    std::vector<InstalledPrinter> all;
    EXPECT_TRUE(spooler->ListPrinters(PrinterListing::kLocal, all));
    for (const InstalledPrinter& printer : all) {
      if (printer.printerName == name) return printer;
    }
    return std::nullopt;
  };
  std::unique_ptr<SpoolerPrinter> open = spooler->Open(name);
  ASSERT_TRUE(open);
  uint32_t error = 99;
  EXPECT_TRUE(spooler->DeletePrinter(name, &error)) << "the spooler answers success";
  EXPECT_EQ(0u, error);
  const std::optional<InstalledPrinter> meanwhile = listed();
  if (subject->pendsDeletion) {
    ASSERT_TRUE(meanwhile) << "still there while the handle is open";
    EXPECT_TRUE(meanwhile->PendingDeletion()) << meanwhile->status;
  } else {
    EXPECT_FALSE(meanwhile) << "this spooler deletes at once";
  }
  open.reset();
  EXPECT_FALSE(listed()) << "gone once the last handle closed";
}

TEST_P(SpoolerContract, ADeviceModeIsWholeOrAbsentWithAnError) {
  const DriverRecord driver = Driver(u"mode");
  ASSERT_TRUE(Register(driver));
  auto printer = Add(Name(u"mode"), driver.name);
  ASSERT_TRUE(printer);
  uint32_t error = 0;
  const std::optional<DeviceMode> mode = printer->CurrentDeviceMode(&error);
  if (mode) {
    EXPECT_EQ(0u, error);
    EXPECT_GE(mode->size(), DeviceMode::kPaperFieldsEnd);
    EXPECT_EQ(mode->bytes.size(), size_t{mode->size()} + mode->driverExtra());
  } else {
    EXPECT_NE(0u, error);
  }
}

TEST_P(SpoolerContract, AMonitorTheSpoolerDoesNotHaveDoesNotOpen) {
  uint32_t error = 0;
  EXPECT_FALSE(spooler->OpenPortMonitor(u"Kestrava No Such Monitor", &error));
  EXPECT_NE(0u, error);
}

#ifdef _WIN32
// The system's own monitor of local ports answers through the same conversation as the TCP/IP
// monitor: a port name it takes as valid.
TEST(Win32PortMonitor, TheLocalPortMonitorAnswersThroughXcvData) {
  Win32PrintSpooler spooler;
  uint32_t error = 0;
  std::unique_ptr<PortMonitorSession> monitor = spooler.OpenPortMonitor(u"Local Port", &error);
  ASSERT_TRUE(monitor) << "error " << error;
  const WString port = u"COM1:";
  std::vector<uint8_t> name;
  for (char16_t c : port + WString(1, u'\0')) {
    name.push_back(static_cast<uint8_t>(c & 0xFF));
    name.push_back(static_cast<uint8_t>(c >> 8));
  }
  uint32_t status = 1;
  ASSERT_TRUE(monitor->Data(u"PortIsValid", name, status, &error)) << "error " << error;
  EXPECT_EQ(0u, status);
}
#endif

INSTANTIATE_TEST_SUITE_P(All, SpoolerContract, ::testing::ValuesIn(SpoolerImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
