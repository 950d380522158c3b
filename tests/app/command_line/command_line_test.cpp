// The unattended command line's words: every option in its forms, and every kind of bad input,
// which must be refused before anything is touched.
#include "app/command_line/command_line.h"

#include <gtest/gtest.h>

namespace kestrava {
namespace {

using Words = std::vector<WString>;

TEST(CommandLine, NoWordsAtAllIsTheDialog) {
  EXPECT_EQ(Command::kDialog, ParseCommandLine({}).command);
}

TEST(CommandLine, HelpWinsAnywhere) {
  for (const Words& words :
       {Words{u"/?"}, Words{u"--help"}, Words{u"-?"}, Words{u"/HELP"}, Words{u"help"},
        Words{u"install", u"--model", u"RT-58C", u"/?"}, Words{u"printers", u"-h"}}) {
    const CommandLine line = ParseCommandLine(words);
    EXPECT_EQ(Command::kHelp, line.command) << Utf16ToUtf8(words.back());
    EXPECT_EQ(ArgumentFault::kNone, line.fault);
  }
}

TEST(CommandLine, EveryInstallOptionInEveryForm) {
  const CommandLine com = ParseCommandLine({u"install", u"--model", u"rt-58c", u"--interface",
                                            u"COM", u"--port", u"com3", u"--baud", u"115200"});
  ASSERT_EQ(ArgumentFault::kNone, com.fault) << Utf16ToUtf8(com.faultWord);
  EXPECT_EQ(Command::kInstall, com.command);
  EXPECT_EQ(2, com.model);
  EXPECT_EQ(1, com.interfaceKind);
  EXPECT_EQ(u"COM3", com.port);
  EXPECT_EQ(u"115200", com.baud);
  EXPECT_TRUE(com.portCheck);
  EXPECT_FALSE(com.setDefault || com.testPage || com.replace || com.osChoice || com.language);

  const CommandLine lan =
      ParseCommandLine({u"/INSTALL", u"/model:RT-80", u"/Interface=lan", u"--address=192.168.1.87",
                        u"/default", u"--test-page", u"/No-Port-Check", u"--replace",
                        u"/os:Windows XP", u"--language", u"ja", u"/log:C:\\logs\\tills.log"});
  ASSERT_EQ(ArgumentFault::kNone, lan.fault) << Utf16ToUtf8(lan.faultWord);
  EXPECT_EQ(1, lan.model);
  EXPECT_EQ(2, lan.interfaceKind);
  EXPECT_EQ(0xC0A80157u, lan.address.value_or(0));
  EXPECT_TRUE(lan.setDefault && lan.testPage && lan.replace);
  EXPECT_FALSE(lan.portCheck);
  EXPECT_EQ(3, lan.osChoice.value_or(-1)) << "the XP radio";
  EXPECT_EQ(1041, lan.language.value_or(0));
  EXPECT_EQ(u"C:\\logs\\tills.log", lan.logFile) << "the value keeps its own colon";

  const CommandLine usb = ParseCommandLine({u"install", u"--model=RT-76C", u"--interface=usb"});
  EXPECT_EQ(ArgumentFault::kNone, usb.fault);
  EXPECT_TRUE(usb.port.empty()) << "the first supported printer";
  EXPECT_TRUE(usb.baud.empty());

  const CommandLine ble = ParseCommandLine(
      {u"install", u"--model", u"RT-58", u"--interface", u"bluetooth", u"--port", u"COM7:"});
  EXPECT_EQ(ArgumentFault::kNone, ble.fault);
  EXPECT_EQ(3, ble.interfaceKind);
  EXPECT_EQ(u"COM7", ble.port) << "the spooler's colon is dropped";
  EXPECT_EQ(u"19200", ble.baud) << "the dialog's default rate";

  struct Release {
    const char16_t* word;
    int32_t radio;
  };
  for (const Release& row :
       {Release{u"10", 0}, Release{u"8", 1}, Release{u"8.1", 1}, Release{u"vista", 2},
        Release{u"XP", 3}, Release{u"2003", 4}, Release{u"7", 5}, Release{u"windows 11", 6}}) {
    const CommandLine line = ParseCommandLine(
        {u"install", u"--model", u"RT-80C", u"--interface", u"usb", u"--os", row.word});
    EXPECT_EQ(row.radio, line.osChoice.value_or(-1)) << Utf16ToUtf8(row.word);
  }
}

TEST(CommandLine, TheRemovalCommand) {
  const CommandLine model = ParseCommandLine({u"uninstall", u"--model", u"rt-58c"});
  EXPECT_EQ(Command::kUninstall, model.command);
  EXPECT_EQ(ArgumentFault::kNone, model.fault);
  EXPECT_EQ(2, model.model);
  const CommandLine all = ParseCommandLine({u"/UNINSTALL", u"/all", u"/dry-run", u"/log:x.log"});
  EXPECT_TRUE(all.all && all.dryRun);
  const CommandLine one = ParseCommandLine({u"uninstall", u"--printer", u"RT-58C (copy 1)"});
  EXPECT_EQ(u"RT-58C (copy 1)", one.printer);
}

TEST(CommandLine, TheListingCommands) {
  const CommandLine ports = ParseCommandLine({u"ports", u"--discover", u"5", u"--log", u"x.log"});
  EXPECT_EQ(Command::kPorts, ports.command);
  EXPECT_EQ(5u, ports.discoverSeconds);
  EXPECT_EQ(u"x.log", ports.logFile);
  const CommandLine printers = ParseCommandLine({u"/printers", u"/language:zh"});
  EXPECT_EQ(Command::kPrinters, printers.command);
  EXPECT_EQ(2052, printers.language.value_or(0));
}

struct BadRow {
  const char* what;
  Words words;
  ArgumentFault fault;
  const char16_t* word;  // what the refusal names
};

void PrintTo(const BadRow& row, std::ostream* os) {
  *os << row.what;
}

class BadCommandLine : public ::testing::TestWithParam<BadRow> {};

TEST_P(BadCommandLine, IsRefusedNamingTheWord) {
  const CommandLine line = ParseCommandLine(GetParam().words);
  EXPECT_EQ(GetParam().fault, line.fault);
  EXPECT_EQ(GetParam().word, line.faultWord);
}

Words Com(const char16_t* port) {
  return {u"install", u"--model", u"RT-58C", u"--interface", u"com", u"--port", port};
}
Words Lan(const char16_t* address) {
  return {u"install", u"--model", u"RT-80", u"--interface", u"lan", u"--address", address};
}

const BadRow kBadRows[] = {
    {"UnknownCommand", {u"remove"}, ArgumentFault::kUnknownCommand, u"remove"},
    {"UnknownOption",
     {u"install", u"--colour", u"red"},
     ArgumentFault::kUnknownOption,
     u"--colour"},
    {"StrayWord", {u"install", u"RT-58C"}, ArgumentFault::kUnknownOption, u"RT-58C"},
    {"FlagWithValue",
     {u"install", u"--default=yes"},
     ArgumentFault::kUnknownOption,
     u"--default=yes"},
    {"ValueMissingAtTheEnd", {u"install", u"--model"}, ArgumentFault::kMissingValue, u"--model"},
    {"ValueMissingBeforeAnOption",
     {u"install", u"--model", u"--interface", u"com"},
     ArgumentFault::kMissingValue,
     u"--model"},
    {"Repeated",
     {u"install", u"--model", u"RT-58C", u"/MODEL:RT-80"},
     ArgumentFault::kRepeated,
     u"/MODEL:RT-80"},
    {"InstallOptionOnPrinters",
     {u"printers", u"--model", u"RT-58C"},
     ArgumentFault::kNotForCommand,
     u"--model"},
    {"DiscoverOnInstall",
     {u"install", u"--discover", u"5"},
     ArgumentFault::kNotForCommand,
     u"--discover"},
    {"UnknownModel",
     {u"install", u"--model", u"RT-90", u"--interface", u"com"},
     ArgumentFault::kBadModel,
     u"RT-90"},
    {"UnknownInterface",
     {u"install", u"--model", u"RT-58C", u"--interface", u"wifi"},
     ArgumentFault::kBadInterface,
     u"wifi"},
    {"BaudOutsideTheList",
     {u"install", u"--model", u"RT-58C", u"--interface", u"com", u"--port", u"COM3", u"--baud",
      u"57600"},
     ArgumentFault::kBadBaud,
     u"57600"},
    {"AddressOfThreeParts", Lan(u"1.2.3"), ArgumentFault::kBadAddress, u"1.2.3"},
    {"AddressPartOver255", Lan(u"256.1.1.1"), ArgumentFault::kBadAddress, u"256.1.1.1"},
    {"AddressOfFiveParts", Lan(u"1.2.3.4.5"), ArgumentFault::kBadAddress, u"1.2.3.4.5"},
    {"AddressEmpty",
     {u"install", u"--model", u"RT-80", u"--interface", u"lan", u"--address="},
     ArgumentFault::kBadAddress,
     u""},
    {"AddressWithASpace", Lan(u" 1.2.3.4"), ArgumentFault::kBadAddress, u" 1.2.3.4"},
    {"AddressUnspecified", Lan(u"0.0.0.0"), ArgumentFault::kBadAddress, u"0.0.0.0"},
    {"AddressBroadcast", Lan(u"255.255.255.255"), ArgumentFault::kBadAddress, u"255.255.255.255"},
    {"AddressAsAName", Lan(u"printer.local"), ArgumentFault::kBadAddress, u"printer.local"},
    {"PortWithAParentFolder", Com(u"..\\COM3"), ArgumentFault::kBadPort, u"..\\COM3"},
    {"PortAsADevicePath", Com(u"\\\\.\\COM3"), ArgumentFault::kBadPort, u"\\\\.\\COM3"},
    {"PortWithAFolder", Com(u"COM3\\x"), ArgumentFault::kBadPort, u"COM3\\x"},
    {"PortOnADrive", Com(u"C:COM3"), ArgumentFault::kBadPort, u"C:COM3"},
    {"PortZero", Com(u"COM0"), ArgumentFault::kBadPort, u"COM0"},
    {"PortPastTheLast", Com(u"COM257"), ArgumentFault::kBadPort, u"COM257"},
    {"PortWithALetter", Com(u"COM3x"), ArgumentFault::kBadPort, u"COM3x"},
    {"PortOfAnotherKind", Com(u"LPT1"), ArgumentFault::kBadPort, u"LPT1"},
    {"UsbPortTooShort",
     {u"install", u"--model", u"RT-58C", u"--interface", u"usb", u"--port", u"USB1"},
     ArgumentFault::kBadPort,
     u"USB1"},
    {"SerialWithoutPort",
     {u"install", u"--model", u"RT-58C", u"--interface", u"ble"},
     ArgumentFault::kMissingPort,
     u""},
    {"LanWithoutAddress",
     {u"install", u"--model", u"RT-80", u"--interface", u"lan"},
     ArgumentFault::kMissingAddress,
     u""},
    {"NoModel", {u"install", u"--interface", u"com"}, ArgumentFault::kMissingModel, u""},
    {"NoInterface", {u"install", u"--model", u"RT-58C"}, ArgumentFault::kMissingInterface, u""},
    {"BaudForUsb",
     {u"install", u"--model", u"RT-58C", u"--interface", u"usb", u"--baud", u"9600"},
     ArgumentFault::kNotForInterface,
     u"--baud"},
    {"AddressForCom",
     {u"install", u"--model", u"RT-58C", u"--interface", u"com", u"--port", u"COM3", u"--address",
      u"10.0.0.9"},
     ArgumentFault::kNotForInterface,
     u"--address"},
    {"PortForLan",
     {u"install", u"--model", u"RT-80", u"--interface", u"lan", u"--address", u"10.0.0.9",
      u"--port", u"COM3"},
     ArgumentFault::kNotForInterface,
     u"--port"},
    {"UnknownRelease",
     {u"install", u"--model", u"RT-80", u"--interface", u"usb", u"--os", u"95"},
     ArgumentFault::kBadRelease,
     u"95"},
    {"UnknownLanguage", {u"printers", u"--language", u"de"}, ArgumentFault::kBadLanguage, u"de"},
    {"NoSeconds", {u"ports", u"--discover", u"0"}, ArgumentFault::kBadSeconds, u"0"},
    {"TooManySeconds", {u"ports", u"--discover", u"301"}, ArgumentFault::kBadSeconds, u"301"},
    {"SecondsNotANumber", {u"ports", u"--discover", u"5s"}, ArgumentFault::kBadSeconds, u"5s"},
    {"EmptyLogFile", {u"printers", u"--log="}, ArgumentFault::kMissingValue, u"--log="},
    {"Over32K", {u"install", WString(32767, u'x')}, ArgumentFault::kTooLong, u""},
    {"UninstallOfNothing", {u"uninstall"}, ArgumentFault::kMissingSelection, u""},
    {"UninstallOfTwoKinds",
     {u"uninstall", u"--all", u"--model", u"RT-80"},
     ArgumentFault::kTwoSelections,
     u""},
    {"UninstallOfAnEmptyName",
     {u"uninstall", u"--printer="},
     ArgumentFault::kMissingValue,
     u"--printer="},
    {"UninstallWithAnInterface",
     {u"uninstall", u"--all", u"--interface", u"com"},
     ArgumentFault::kNotForCommand,
     u"--interface"},
    {"DryRunOnInstall", {u"install", u"--dry-run"}, ArgumentFault::kNotForCommand, u"--dry-run"},
};

INSTANTIATE_TEST_SUITE_P(Rows, BadCommandLine, ::testing::ValuesIn(kBadRows),
                         [](const ::testing::TestParamInfo<BadRow>& row) {
                           return std::string(row.param.what);
                         });

// The promise of the README: COM1 to COM256 and USB001 to USB999, no number written otherwise.
TEST(CommandLine, PortNumbersFromTheFirstToTheLastAndNoFurther) {
  struct Row {
    const char16_t* interface;
    const char16_t* port;
    bool accepted;
  };
  const Row rows[] = {
      {u"com", u"COM1", true},    {u"com", u"COM256", true},   {u"ble", u"COM256", true},
      {u"usb", u"USB001", true},  {u"usb", u"USB999", true},   {u"com", u"COM0", false},
      {u"com", u"COM257", false}, {u"ble", u"COM257", false},  {u"usb", u"USB000", false},
      {u"com", u"COM03", false},  {u"usb", u"USB1000", false}, {u"com", u"COM1000", false},
  };
  for (const Row& row : rows) {
    const CommandLine line = ParseCommandLine(
        {u"install", u"--model", u"RT-58C", u"--interface", row.interface, u"--port", row.port});
    EXPECT_EQ(row.accepted ? ArgumentFault::kNone : ArgumentFault::kBadPort, line.fault)
        << Utf16ToUtf8(row.port);
    if (row.accepted) {
      EXPECT_EQ(row.port, line.port);
    }
  }
}

TEST(CommandLine, AWordThatIsRefusedIsShownShortened) {
  const CommandLine line = ParseCommandLine({u"install", u"--" + WString(5000, u'a')});
  EXPECT_EQ(ArgumentFault::kUnknownOption, line.fault);
  EXPECT_EQ(64u, line.faultWord.size());
}

}  // namespace
}  // namespace kestrava
