// Where the driver files may come from. The spooler loads what the installation copies into
// its driver folder as SYSTEM, so the folder they are copied from must be one that no one but
// the administrators and the system can have changed.
#pragma once

#include "platform/file_security.h"
#include "platform/files.h"

namespace kestrava {

// Whether `folder` itself and its platform folders ("Windows x64", "Windows NT x86",
// "Windows ARM64") with everything in them are changed by no one but the trusted identities
// (payload/trusted_folder.h). On false, `untrusted` (when given) names the first path that
// failed.
bool IsTrustedDriverSource(Files& files, FileSecurity& security, const WString& folder,
                           WString* untrusted = nullptr);

}  // namespace kestrava
