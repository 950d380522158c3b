// The security descriptors of the fake files service's files and folders, read and set by
// Windows' rules (platform/file_security.h), acting as the files service's token: reading
// needs READ_CONTROL, a new DACL WRITE_DAC, a new owner WRITE_OWNER and an identity the token
// may make the owner; the take-ownership and restore privileges grant what Windows grants
// with them. A protected DACL drops the inherited entries, and the inheritable ones reach what
// lies below as Windows propagates them. On a drive that keeps no security descriptors (FAT)
// an object reads as one without owner and DACL, and nothing can be set.
#pragma once

#include <ostream>

#include "platform/file_security.h"
#include "tests/fakes/fake_files.h"

namespace kestrava {

// For the tests' messages: "S-1-5-32-544 allow 001F01FF flags 03".
void PrintTo(const AccessEntry& entry, std::ostream* os);

class FakeFileSecurity final : public FileSecurity {
 public:
  explicit FakeFileSecurity(FakeFiles& files) : files_(files) {}

  bool Read(const WString& path, ObjectSecurity& out, uint32_t* error = nullptr) override;
  bool Protect(const WString& path, const WString& owner, const std::vector<AccessEntry>& entries,
               uint32_t* error = nullptr) override;
  WString CurrentUser() override { return files_.token.user; }
  bool VolumeKeepsSecurity(const WString& path) override { return files_.KeepsSecurity(path); }

  // Every Protect call, "<path> owner=<owner or unchanged>", in order.
  std::vector<WString> protectedPaths;

 private:
  // The object's entries inherited anew from `parent`, and the same below it.
  void Propagate(const WString& path, const ObjectSecurity& parent);

  FakeFiles& files_;
};

}  // namespace kestrava
