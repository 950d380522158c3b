// The installation engine: the model catalogue, the names of the Windows releases, platform
// detection, and the installation of a printer with its driver files, its driver, its name,
// its printer data and its test page. The dialog owns one engine for its whole life; the
// tables are filled once, in the constructor.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/default_printer.h"
#include "install/engine_services.h"
#include "install/spooler_restart.h"
#include "payload/working_folder.h"
#include "platform/system_info.h"
#include "platform/text.h"

namespace kestrava {

inline constexpr int kCatalogueSize = 20;
inline constexpr int kModelCount = 6;
inline constexpr int kOsNameCount = 10;

// Driver components registered with the spooler, the same for every model.
inline constexpr WStringView kDriverFile = u"uniDRV.DLL";
inline constexpr WStringView kConfigFile = u"uniDRVUI.DLL";
inline constexpr WStringView kHelpFile = u"uniDRV.HLP";
inline constexpr WStringView kDefaultDataType = u"RAW";

// The release names in the order platform detection knows them; "Unknow" is not among them.
inline constexpr std::array<const char*, kOsNameCount> kOsNames = {
    "Windows 2000", "Windows XP",  "Windows 2003", "Windows Vista", "Windows 7",
    "Windows 8",    "Windows 8.1", "Windows 10",   "Windows 10.1",  "Windows 11"};
inline constexpr const char* kUnknownRelease = "Unknow";

// The catalogue position of the model named `name` (case ignored), -1 for a name outside the
// family; and the name at a position ("RT-80C" ... "RT-76"), empty outside it. A printer is one
// of the family when its driver's name is a model's.
int32_t ModelPosition(WStringView name);
WString ModelName(int32_t position);

// The spooler environments the family's drivers are installed for: x64, x86, ARM64.
inline constexpr const char16_t* kDriverEnvironments[] = {u"Windows x64", u"Windows NT x86",
                                                          u"Windows ARM64"};

// The step an installation failed at, with the system's code of the failure and, for the
// driver files, the file that could not be copied (or the folder that could not be listed).
enum class InstallStep { kDriverFiles, kDriver, kPrinter };
struct InstallFailure {
  InstallStep step = InstallStep::kDriverFiles;
  uint32_t error = 0;
  WString path;
};

class InstallEngine {
 public:
  // An engine for the catalogue and platform detection only: the installation operations
  // below then do nothing (and answer false, the test page true as always), and it has no
  // driverSourceFolder.
  explicit InstallEngine(SystemInfo& system);
  // An engine that installs; its driverSourceFolder starts as the working folder.
  explicit InstallEngine(const EngineServices& services);

  // Names the running release (an entry of `osNames`, or "Unknow") and the processor
  // architecture ("x86", "x64", "ARM64", ...). Returns false with both outputs untouched when
  // the version query fails.
  bool DetectPlatform(const char*& osName, const char*& architecture);

  // The spooler environment and payload platform name for an architecture text.
  static WString SpoolerEnvironment(std::string_view architecture);

  // Catalogue lookups by model position. Positions without a model (6-19, or outside the
  // tables) yield an empty file set, no paper name and cutter 0.
  std::vector<WString> DependentFiles(int position) const;
  std::optional<WString> PaperName(int position) const;
  uint32_t Cutter(int position) const;

  // Installs the model at `modelPosition` on `portName` (8-bit, exactly as the spooler knows
  // the port: "USB001", "COM3:", an IP address) from the platform folders in `sourceFolder`:
  // detects the platform, restarts the spooler, copies the driver files, registers the
  // driver, adds the printer under the first free name, stores its printer data and, with
  // `setAsDefault`, makes it the default printer. `osIndex` is the dialog's OS choice (-1
  // for none) and picks the form of the copy-failure message; `languageId` the language of
  // the messages and of the name suffix. Failures are told to the user here, except a
  // printer that cannot be added for another reason than a missing runtime. Leaves the name
  // given in `printerName` and the folder in `driverSourceFolder`. Blocks for the spooler's
  // restart and its fixed waits.
  bool InstallPrinter(int32_t osIndex, int32_t modelPosition, bool setAsDefault,
                      const std::string& portName, int32_t languageId, const WString& sourceFolder);

  // The part of the installation after the restart, for the architecture of `architectureName`
  // ("x86", "x64", "ARM64"; anything else installs the x64 platform).
  bool AddDriverAndPrinter(int32_t osIndex, const WString& architectureName, int32_t modelPosition,
                           const std::string& portName, int32_t languageId);

  // Copies the model's resource DLL and GPD file from `driverSourceFolder`\`environment`\RES
  // into `driverDirectory`, replacing files there; both copies are tried. True when both
  // succeeded.
  bool CopyModelFiles(const WString& driverDirectory, const WString& environment,
                      int32_t modelPosition);

  // Copies the files at the top of `sourceFolder` (not its subfolders) that the driver of the
  // model at `modelPosition` needs (DriverFileNames, but for the model's own resource DLL and
  // GPD file, which come from RES) into `destinationFolder`, replacing files there; whatever
  // else lies there is not copied, and a needed file that is not there is left to the
  // driver's registration to miss. False when the folder cannot be listed, or at
  // the first copy that fails (the rest are not copied).
  bool CopyPlatformFolder(const WString& destinationFolder, const WString& sourceFolder,
                          int32_t modelPosition);

  // The files the driver of the model at `modelPosition` loads from the driver folder: the
  // driver, configuration and help files, the model's dependent files, and the plug-ins that
  // the [OEMFiles] section of `platformFolder`\Receipt.ini names (plain file names only).
  std::vector<WString> DriverFileNames(int32_t modelPosition, const WString& platformFolder);

  // Prints one page through the printer's driver: `pageText`, `picture`, the printer's name
  // and the local date and time, on 72 mm x 80 mm paper. Always true; failures go to the
  // debugger output only. Blocks for a second before it prints.
  bool PrintTestPage(const WString& printerName, const Picture& picture, const WString& pageText);

  std::array<WString, kCatalogueSize> resourceDllNames;
  std::array<WString, kCatalogueSize> gpdNames;
  std::array<WString, kCatalogueSize> modelNames;
  WString printerName;
  // Why the last InstallPrinter (or AddDriverAndPrinter) failed; nothing after one that did
  // not. The dialog's road does not read it; the unattended command line reports it.
  std::optional<InstallFailure> lastFailure;
  // What the last InstallPrinter's spooler restart came to, and, when it was asked to make the
  // printer the default printer, how that went (nothing otherwise). Neither changes its
  // answer, as the dialog's road has it; the unattended command line reports them.
  std::optional<SpoolerRestart> restart;
  std::optional<DefaultPrinterOutcome> defaultPrinter;
  // Whether InstallPrinter restarts the spooler before it copies the driver's files, as the
  // dialog's road has it; the unattended command line leaves it out where no port change of its
  // run needs it (a port the TCP/IP monitor took).
  bool restartSpooler = true;
  // When not empty, the installation brings this printer (of the model, on the port) up to
  // date instead of adding one under a free name: the driver is registered again and the
  // printer's data are written anew. The unattended command line's --replace sets it.
  WString reusedPrinter;
  // The system's code of the last test page's failure (the printer could not be opened for
  // drawing, or refused the document), 0 when it took the page. PrintTestPage still answers
  // true, as the dialog expects.
  uint32_t testPageError = 0;
  std::array<const char*, kOsNameCount> osNames;
  int32_t portKind = 0;
  WString driverSourceFolder;

 private:
  // The model table's entry at a position; empty outside the tables.
  WString At(const std::array<WString, kCatalogueSize>& table, int32_t position) const;
  void ChoosePrinterName(int32_t languageId);
  // The reused printer opened and its data written; false when it cannot be opened.
  bool UpdatePrinter(int32_t modelPosition, const std::string& portName, int32_t languageId);
  // `port` is `portName` in wide text, as the printer record already holds it.
  void WritePrinterData(SpoolerPrinter& printer, int32_t modelPosition, const std::string& portName,
                        const WString& port, int32_t languageId);
  void Trace(WStringView text);
  void NoteCopyFailure(const WString& path, uint32_t error);

  SystemInfo& system_;
  std::optional<EngineServices> services_;
};

// Position of `name` in `osNames`, or -1 when it is not one of them.
int OsNamePosition(std::string_view name);

}  // namespace kestrava
