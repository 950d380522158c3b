#pragma once

#include "platform/icmp.h"

namespace kestrava {

// IcmpCreateFile / IcmpSendEcho / IcmpCloseHandle of the IP helper (iphlpapi, which has them
// from Windows XP on; Windows 2000 has them in icmp.dll under the same names).
class Win32Icmp final : public Icmp {
 public:
  std::unique_ptr<IcmpFacility> Open() override;
};

}  // namespace kestrava
