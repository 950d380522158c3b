// The installation engine: the model catalogue, the names of the Windows releases, and
// platform detection. The dialog owns one engine for its whole life; the tables are filled
// once, in the constructor.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

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

class InstallEngine {
 public:
  explicit InstallEngine(SystemInfo& system);

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

  std::array<WString, kCatalogueSize> resourceDllNames;
  std::array<WString, kCatalogueSize> gpdNames;
  std::array<WString, kCatalogueSize> modelNames;
  WString printerName;
  std::array<const char*, kOsNameCount> osNames;
  int32_t portKind = 0;
  WString driverSourceFolder;

 private:
  SystemInfo& system_;
};

// Position of `name` in `osNames`, or -1 when it is not one of them.
int OsNamePosition(std::string_view name);

}  // namespace kestrava
