// Security descriptors on a Linux host, for the native benchmark and host tools that unpack the
// payload there: the host's files have none, as a FAT volume has none on Windows.
#pragma once

#include "platform/file_security.h"
#include "platform/system_errors.h"

namespace kestrava {

class PosixFileSecurity final : public FileSecurity {
 public:
  bool Read(const WString&, ObjectSecurity&, uint32_t* error = nullptr) override {
    if (error) *error = kErrorNotSupported;
    return false;
  }
  bool Protect(const WString&, const WString&, const std::vector<AccessEntry>&,
               uint32_t* error = nullptr) override {
    if (error) *error = kErrorNotSupported;
    return false;
  }
  WString CurrentUser() override { return WString(); }
  bool VolumeKeepsSecurity(const WString&) override { return false; }
};

}  // namespace kestrava
