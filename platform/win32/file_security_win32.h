#pragma once

#include "platform/file_security.h"

namespace kestrava {

// The security descriptors of files and folders through a handle of their own, opened with
// FILE_FLAG_OPEN_REPARSE_POINT (a link is refused, never followed) and backup semantics:
// GetSecurityInfo and SetSecurityInfo, the SIDs in their text form (ConvertSidToStringSidW).
// Protect enables the take-ownership and restore privileges the process token holds for the
// call and puts their state back afterwards. The volume's flags come from
// GetVolumeInformationW (FILE_PERSISTENT_ACLS).
class Win32FileSecurity final : public FileSecurity {
 public:
  bool Read(const WString& path, ObjectSecurity& out, uint32_t* error = nullptr) override;
  bool Protect(const WString& path, const WString& owner, const std::vector<AccessEntry>& entries,
               uint32_t* error = nullptr) override;
  WString CurrentUser() override;
  bool VolumeKeepsSecurity(const WString& path) override;
};

}  // namespace kestrava
