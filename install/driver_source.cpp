#include "install/driver_source.h"

#include <iterator>

#include "install/install_engine.h"
#include "payload/trusted_folder.h"

namespace kestrava {

bool IsTrustedDriverSource(Files& files, FileSecurity& security, const WString& folder,
                           WString* untrusted) {
  const std::vector<WString> platforms(std::begin(kDriverEnvironments),
                                       std::end(kDriverEnvironments));
  return IsTrustedSource(files, security, folder, platforms, untrusted);
}

}  // namespace kestrava
