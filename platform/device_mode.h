// A printer's device mode as the spooler and GDI exchange it: the bytes of a wide device mode
// record (DEVMODEW), its public part of 220 bytes followed by the driver's private part. Kept
// as bytes so that the record the driver returns travels unchanged, private part included; the
// fields the program sets are reached through their fixed offsets, which the Win32 code checks
// against the system's own structure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrava {

// dmFields bits of the paper fields the test page sets.
enum : uint32_t {
  kDeviceModeOrientation = 0x1,  // DM_ORIENTATION
  kDeviceModePaperSize = 0x2,    // DM_PAPERSIZE
  kDeviceModePaperLength = 0x4,  // DM_PAPERLENGTH
  kDeviceModePaperWidth = 0x8,   // DM_PAPERWIDTH
};

inline constexpr int16_t kPortrait = 1;         // DMORIENT_PORTRAIT
inline constexpr int16_t kUserPaperSize = 256;  // DMPAPER_USER

struct DeviceMode {
  static constexpr size_t kPublicSize = 220;  // sizeof(DEVMODEW)
  static constexpr size_t kSizeOffset = 68;   // dmSize, 16 bits
  static constexpr size_t kDriverExtraOffset = 70;
  static constexpr size_t kFieldsOffset = 72;  // 32 bits
  static constexpr size_t kOrientationOffset = 76;
  static constexpr size_t kPaperSizeOffset = 78;
  static constexpr size_t kPaperLengthOffset = 80;
  static constexpr size_t kPaperWidthOffset = 82;
  // The record must reach past dmPaperWidth for the paper fields to be set.
  static constexpr size_t kPaperFieldsEnd = 84;

  // A zeroed public record whose size field says 220.
  static DeviceMode ZeroedPublic();

  bool HasPaperFields() const { return bytes.size() >= kPaperFieldsEnd; }

  // Little-endian fields; reading outside the record gives 0, writing outside it does nothing.
  uint16_t Word(size_t offset) const;
  uint32_t Dword(size_t offset) const;
  void SetWord(size_t offset, uint16_t value);
  void SetDword(size_t offset, uint32_t value);

  uint16_t size() const { return Word(kSizeOffset); }
  uint16_t driverExtra() const { return Word(kDriverExtraOffset); }
  uint32_t fields() const { return Dword(kFieldsOffset); }
  int16_t orientation() const { return static_cast<int16_t>(Word(kOrientationOffset)); }
  int16_t paperSize() const { return static_cast<int16_t>(Word(kPaperSizeOffset)); }
  int16_t paperLength() const { return static_cast<int16_t>(Word(kPaperLengthOffset)); }
  int16_t paperWidth() const { return static_cast<int16_t>(Word(kPaperWidthOffset)); }

  std::string bytes;
};

}  // namespace kestrava
