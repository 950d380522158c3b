// The name of the marker that keeps a second copy of the program from running beside the
// first, made by the dialog's start and by every command line run that changes the system.
#pragma once

namespace kestrava {

inline constexpr const char16_t* kInstanceMarkerName = u"Demo";

}  // namespace kestrava
