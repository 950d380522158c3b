// What the program asks of the running system: processor architecture, release version,
// the user's UI language, the ANSI code page conversion of 8-bit text, and how it compares
// names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/text.h"

namespace kestrava {

// Processor architecture codes as the system information reports them.
enum : uint16_t {
  kArchitectureIntel = 0,
  kArchitectureArm = 5,
  kArchitectureIa64 = 6,
  kArchitectureAmd64 = 9,
  kArchitectureArm64 = 12,
  kArchitectureUnknown = 0xFFFF,
};

// Machine codes as IsWow64Process2 reports the native machine.
enum : uint16_t {
  kMachineArm64 = 0xAA64,
  kMachineArmNt = 0x01C0,
  kMachineAmd64 = 0x8664,
  kMachineI386 = 0x014C,
};

struct VersionInfo {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  // Processor architecture code of the emulated view (what a 32-bit process on 64-bit
  // Windows is shown) and of the native view.
  virtual uint16_t EmulatedArchitecture() = 0;
  virtual uint16_t NativeArchitecture() = 0;

  // The version query on a zeroed basic wide version record (276 bytes). Returns false and
  // leaves `out` untouched when the query fails. Tells the truth on Windows 8.1 and later only
  // for a program whose manifest declares them.
  virtual bool QueryVersion(VersionInfo& out) = 0;

  // Looks IsWow64Process2 up by name in kernel32 at run time and asks it for the current
  // process. Returns the native machine code, or nothing when the function is absent or fails.
  virtual std::optional<uint16_t> NativeMachine() = 0;

  // The user's default UI language identifier, raw (no folding of regional variants).
  virtual uint16_t UserDefaultUiLanguage() = 0;

  // Conversions between the thread's ANSI code page and UTF-16. Bytes that do not map become
  // the code page's default character.
  virtual WString AnsiToWide(std::string_view text) = 0;
  virtual std::string WideToAnsi(WStringView text) = 0;

  // Whether two names (of printers, drivers, ports, accounts) are one name to the system:
  // ordinal with case ignored, as the spooler compares them (CompareStringOrdinal with its case
  // flag; where the system lacks it, Windows XP, both names upper-cased by the system's own
  // table and compared unit by unit).
  virtual bool SameName(WStringView a, WStringView b) = 0;

  // The system's message text for a last-error code in the user's default language, as the
  // system words it (usually ending in a line break); empty when the system has none.
  virtual WString ErrorMessage(uint32_t code) = 0;
};

}  // namespace kestrava
