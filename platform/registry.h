// The registry as the program uses it: keys of HKEY_LOCAL_MACHINE opened with the access the
// caller names, values read into buffers of a fixed capacity the way the Windows calls take
// them, and enumeration by index. A key is closed when its object is destroyed.
//
// Names of keys and values compare without regard to case. Subkeys enumerate in the order of
// their names (case ignored), values in the order they were first written.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/text.h"

namespace kestrava {

// Access masks as the calls take them.
enum : uint32_t {
  kRegistryRead = 0x20019,       // KEY_READ
  kRegistryReadWrite = 0x2001F,  // KEY_READ | KEY_WRITE
};

// Value types.
enum : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

enum class RegistryStatus {
  kOk,
  kNotFound,     // no such key or value
  kMoreData,     // the value or name does not fit the capacity; nothing is returned
  kNoMoreItems,  // the index is past the last value or subkey
  kFailed,       // any other refusal (access denied, a key deleted meanwhile)
};

struct RegistryValue {
  uint32_t type = kRegNone;
  std::string data;  // the stored bytes, exactly as many as the value holds

  // A REG_SZ value: the UTF-16 text and its terminating zero, little-endian.
  static RegistryValue String(WStringView text);
  static RegistryValue Dword(uint32_t number);

  // The text up to the first zero unit (a value without one: all of it; an odd last byte is
  // dropped).
  WString Text() const;
  // The first four bytes, little-endian; 0 for shorter data.
  uint32_t Number() const;
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // Creates the subkey `name` (several levels with "\") or opens it when it exists;
  // non-volatile. Nothing when the system refuses.
  virtual std::unique_ptr<RegistryKey> CreateSubkey(const WString& name, uint32_t access) = 0;

  // Opens the subkey `name` (several levels with "\"). Nothing when it is missing or refused.
  virtual std::unique_ptr<RegistryKey> OpenSubkey(const WString& name, uint32_t access) = 0;

  // Writes a value, replacing one of the same name. `size` bytes of `data` are stored.
  virtual bool SetValue(const WString& name, uint32_t type, const void* data, uint32_t size) = 0;
  bool SetValue(const WString& name, const RegistryValue& value) {
    return SetValue(name, value.type, value.data.data(), static_cast<uint32_t>(value.data.size()));
  }

  // Removes the value `name`; false when it is missing or the system refuses. For cleaning up
  // after a test; the program itself deletes nothing.
  virtual bool DeleteValue(const WString& name) = 0;

  // Reads the value `name` (empty: the key's default value) with a buffer of `capacity` bytes.
  // Leaves `out` untouched unless the answer is kOk.
  virtual RegistryStatus QueryValue(const WString& name, uint32_t capacity, RegistryValue& out) = 0;

  // The value at `index`: its name into a buffer of `nameCapacity` characters (the terminator
  // included, so a name of nameCapacity - 1 characters fits) and its data into one of
  // `dataCapacity` bytes. Leaves the outputs untouched unless the answer is kOk.
  virtual RegistryStatus EnumValue(uint32_t index, uint32_t nameCapacity, uint32_t dataCapacity,
                                   WString& name, RegistryValue& value) = 0;

  // The name of the subkey at `index`, into a buffer of `nameCapacity` characters.
  virtual RegistryStatus EnumSubkey(uint32_t index, uint32_t nameCapacity, WString& name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens `path` under HKEY_LOCAL_MACHINE. Nothing when it is missing or refused; `status`
  // (when given) tells which.
  virtual std::unique_ptr<RegistryKey> OpenMachineKey(const WString& path, uint32_t access,
                                                      RegistryStatus* status = nullptr) = 0;

  // Creates `path` under HKEY_LOCAL_MACHINE with every missing parent, or opens it.
  virtual std::unique_ptr<RegistryKey> CreateMachineKey(const WString& path, uint32_t access) = 0;

  // Removes `path` and every key below it. For cleaning up after a test or by hand; the
  // program itself deletes nothing.
  virtual bool DeleteMachineKeyTree(const WString& path) = 0;
};

// The access mask for a key of HKEY_LOCAL_MACHINE. A 32-bit process on 64-bit Windows (WOW64)
// is shown the 32-bit view of the registry, where HKLM\SOFTWARE is redirected to
// SOFTWARE\Wow6432Node; the spooler and the port monitors are 64-bit and read the 64-bit view,
// so such a process asks for it explicitly (KEY_WOW64_64KEY). Elsewhere the flag is left out:
// Windows 2000 refuses masks it does not know, and a 64-bit or a 32-bit-only system has one
// view.
uint32_t MachineKeyAccess(uint32_t access, bool processIsWow64);

}  // namespace kestrava
