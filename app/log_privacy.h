// What the support log keeps of a folder of the user's own. A program that could not unpack
// its payload takes the driver files from its own folder, which is the user's (Downloads, the
// desktop, a share with the user's name in it): the log names that folder by what it is, in
// every line, and never by its path.
#pragma once

#include "platform/text.h"

namespace kestrava {

// `line` with every occurrence of `folder` (when not empty) replaced by `name`.
WString WithFolderNamed(WStringView line, WStringView folder, WStringView name);

}  // namespace kestrava
