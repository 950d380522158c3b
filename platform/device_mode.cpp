#include "platform/device_mode.h"

namespace kestrava {

DeviceMode DeviceMode::ZeroedPublic() {
  DeviceMode mode;
  mode.bytes.assign(kPublicSize, '\0');
  mode.SetWord(kSizeOffset, static_cast<uint16_t>(kPublicSize));
  return mode;
}

uint16_t DeviceMode::Word(size_t offset) const {
  if (offset + 2 > bytes.size()) return 0;
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                               static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

uint32_t DeviceMode::Dword(size_t offset) const {
  if (offset + 4 > bytes.size()) return 0;
  return static_cast<uint32_t>(Word(offset)) | static_cast<uint32_t>(Word(offset + 2)) << 16;
}

void DeviceMode::SetWord(size_t offset, uint16_t value) {
  if (offset + 2 > bytes.size()) return;
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

void DeviceMode::SetDword(size_t offset, uint32_t value) {
  if (offset + 4 > bytes.size()) return;
  SetWord(offset, static_cast<uint16_t>(value & 0xFFFF));
  SetWord(offset + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace kestrava
