// The fixed folder that receives the unpacked payload, one subfolder per platform. Held as
// wide text for the folder operations and as 8-bit text for building per-record paths.
#pragma once

#include <string_view>

#include "platform/text.h"

namespace kestrava {

inline constexpr WStringView kWorkingFolder = u"C:\\Program Files (x86)\\Kestrava V8.11\\";
// The support log, at the top of the working folder; the unpacking keeps it.
inline constexpr WStringView kSupportLogName = u"setup.log";
inline constexpr std::string_view kWorkingFolderAnsi = "C:\\Program Files (x86)\\Kestrava V8.11\\";

}  // namespace kestrava
