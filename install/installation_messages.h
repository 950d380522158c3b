// What an installation tells the user, and the address it opens when the runtime library the
// driver needs is missing. Chinese for 2052; every other language reads English.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace kestrava {

// The driver's DLLs need the C and C++ runtime of their compiler; the vendor keeps the
// installer of each architecture's redistributable at a permanent address of this form.
inline constexpr WStringView kRuntimeDownloadPrefix = u"https://aka.ms/vs/17/release/vc_redist.";

// The driver files could not be copied. The short form for the OS choices "Windows 10",
// "Windows 8/8.1" and "Windows Vista" (0-2) or none (-1); the long one, which asks to run the
// program as administrator, for the older systems.
WString CopyFailureMessage(int32_t osIndex, int32_t languageId);
// The driver could not be registered (shown after the system's own text of the error).
WString DriverFailureMessage(int32_t languageId);
// The printer could not be added because the runtime library is missing.
WString MissingRuntimeMessage(int32_t languageId);
// The runtime installer for "x64", "x86", "ARM64", ...
WString RuntimeDownloadAddress(const WString& architectureName);

}  // namespace kestrava
