// Who owns a file or folder and who may do what with it, as Windows keeps it in the object's
// security descriptor: the owner and the discretionary access control list (DACL). The
// program reads them to decide whether a folder is one that only the administrators and the
// system can change, and sets them on the folder it unpacks the driver files into, which the
// spooler later loads as SYSTEM. Identities are security identifiers in their text form
// ("S-1-5-32-544").
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace kestrava {

// Well-known identities.
namespace sid {
inline constexpr const char16_t* kAdministrators = u"S-1-5-32-544";
inline constexpr const char16_t* kSystem = u"S-1-5-18";
inline constexpr const char16_t* kUsers = u"S-1-5-32-545";
inline constexpr const char16_t* kAuthenticatedUsers = u"S-1-5-11";
inline constexpr const char16_t* kEveryone = u"S-1-1-0";
inline constexpr const char16_t* kCreatorOwner = u"S-1-3-0";
// The system's installer service, which owns Windows' own folders.
inline constexpr const char16_t* kTrustedInstaller =
    u"S-1-5-80-956008885-3425701886-2223409590-1433208166-1464473779";
}  // namespace sid

// Access rights of files and folders, as an entry's mask holds them.
enum : uint32_t {
  kReadData = 0x00000001,         // FILE_READ_DATA, FILE_LIST_DIRECTORY
  kWriteData = 0x00000002,        // FILE_WRITE_DATA, FILE_ADD_FILE
  kAppendData = 0x00000004,       // FILE_APPEND_DATA, FILE_ADD_SUBDIRECTORY
  kWriteEa = 0x00000010,          // FILE_WRITE_EA
  kDeleteChild = 0x00000040,      // FILE_DELETE_CHILD
  kWriteAttributes = 0x00000100,  // FILE_WRITE_ATTRIBUTES
  kDelete = 0x00010000,           // DELETE
  kReadControl = 0x00020000,      // READ_CONTROL
  kWriteDac = 0x00040000,         // WRITE_DAC
  kWriteOwner = 0x00080000,       // WRITE_OWNER
  kGenericAll = 0x10000000,
  kGenericExecute = 0x20000000,
  kGenericWrite = 0x40000000,
  kGenericRead = 0x80000000,
  kFullControl = 0x001F01FF,     // FILE_ALL_ACCESS
  kReadAndExecute = 0x001200A9,  // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE
  kModify = 0x001301BF,          // read & execute, write, delete
  // Every right that changes the object, its content, its entries or who may do so.
  kAnyWrite = kWriteData | kAppendData | kWriteEa | kDeleteChild | kWriteAttributes | kDelete |
              kWriteDac | kWriteOwner | kGenericAll | kGenericWrite,
};

// How an entry is passed on to what a folder holds (ACE flags).
enum : uint8_t {
  kObjectInherit = 0x01,     // files below get it
  kContainerInherit = 0x02,  // folders below get it
  kNoPropagate = 0x04,       // only the folder's own children get it
  kInheritOnly = 0x08,       // it is for what lies below, not for the folder itself
  kInherited = 0x10,         // it came from the parent
};

struct AccessEntry {
  WString sid;
  uint32_t mask = 0;
  uint8_t flags = 0;
  bool deny = false;  // a denying entry; allowing when false

  bool operator==(const AccessEntry& other) const {
    return sid == other.sid && mask == other.mask && flags == other.flags && deny == other.deny;
  }
};

struct ObjectSecurity {
  WString owner;
  bool hasDacl = true;         // false: no DACL at all, which lets everyone do everything
  bool daclProtected = false;  // the parent's inheritable entries do not reach it
  std::vector<AccessEntry> dacl;
};

class FileSecurity {
 public:
  virtual ~FileSecurity() = default;

  // The owner and the DACL of the file or folder at `path`, never of a link's target: a link
  // (a reparse point) fails with kErrorReparsePointEncountered. Needs READ_CONTROL, which the
  // owner always has. False with `error` set (when given) when they cannot be read.
  virtual bool Read(const WString& path, ObjectSecurity& out, uint32_t* error = nullptr) = 0;

  // Replaces the DACL of the file or folder at `path` with `entries`, protected from
  // inheritance (the entries inherited from its parent are dropped), and, unless `owner` is
  // empty, makes `owner` its owner, both in one change. The inheritable entries reach
  // everything below, as Windows propagates them: what has inherited entries gets the new
  // ones in their place; what is protected keeps its own. A link fails as for Read.
  //
  // Windows' rules: changing the DACL needs WRITE_DAC, which the owner always has; changing
  // the owner needs WRITE_OWNER, and the new owner must be the caller's own user or one of
  // its groups that may own objects (Administrators, in an administrator's elevated token),
  // else the change fails with kErrorInvalidOwner. A caller that holds the take-ownership
  // privilege has WRITE_OWNER on every object; one that holds the restore privilege has both
  // rights on every object and may make anyone the owner. The call enables the privileges
  // the caller holds for its own duration.
  virtual bool Protect(const WString& path, const WString& owner,
                       const std::vector<AccessEntry>& entries, uint32_t* error = nullptr) = 0;

  // The caller's own user, as the system names it in its token.
  virtual WString CurrentUser() = 0;

  // Whether the volume that holds `path` keeps security descriptors at all (NTFS does, FAT
  // does not: on such a volume every user may change every file).
  virtual bool VolumeKeepsSecurity(const WString& path) = 0;
};

}  // namespace kestrava
