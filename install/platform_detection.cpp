// Which Windows release and processor architecture the program runs on.
#include "install/install_engine.h"

namespace kestrava {

namespace {

// Windows 11 still reports major version 10; only its build number tells it apart.
constexpr uint32_t kFirstWindows11Build = 22000;

const char* ReleaseName(const std::array<const char*, kOsNameCount>& names,
                        const VersionInfo& version) {
  switch (version.major) {
    case 5:
      if (version.minor <= 2) return names[version.minor];  // 2000, XP, 2003
      return kUnknownRelease;
    case 6:
      if (version.minor <= 2) return names[3 + version.minor];  // Vista, 7, 8
      return names[6];                                          // 8.1
    case 10:
      if (version.build >= kFirstWindows11Build) return names[9];
      return version.minor == 0 ? names[7] : names[8];
    default:
      return kUnknownRelease;
  }
}

struct ArchitectureRow {
  uint16_t code;
  const char* name;
};

constexpr ArchitectureRow kArchitectures[] = {
    {kArchitectureIntel, "x86"},
    {kArchitectureArm, "ARM"},
    {kArchitectureIa64, "Intel Itanium-based"},
    {kArchitectureAmd64, "x64"},
    {kArchitectureArm64, "ARM64"},
    {kArchitectureUnknown, "Unknown architecture"},
};

const char* ArchitectureName(uint16_t code) {
  for (const ArchitectureRow& row : kArchitectures) {
    if (row.code == code) return row.name;
  }
  return "Unknown";
}

}  // namespace

bool InstallEngine::DetectPlatform(const char*& osName, const char*& architecture) {
  system_.EmulatedArchitecture();  // asked as the system is asked; the native view decides
  const uint16_t nativeCode = system_.NativeArchitecture();
  VersionInfo version;
  if (!system_.QueryVersion(version)) return false;

  osName = ReleaseName(osNames, version);
  architecture = ArchitectureName(nativeCode);
  if (const std::optional<uint16_t> machine = system_.NativeMachine()) {
    if (*machine == kMachineArm64) architecture = "ARM64";
    if (*machine == kMachineArmNt) architecture = "ARM";
  }
  return true;
}

WString InstallEngine::SpoolerEnvironment(std::string_view architecture) {
  if (architecture == "ARM64") return kDriverEnvironments[2];
  if (architecture == "x86") return kDriverEnvironments[1];
  return kDriverEnvironments[0];
}

}  // namespace kestrava
