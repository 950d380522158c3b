// The application: one instance at a time, the system libraries prepared, the dialog run
// modally, then the end of the program.
#pragma once

#include "app/instance_marker.h"
#include "app/services.h"

namespace kestrava {

// Structure size and class mask of the classic common controls.
inline constexpr uint32_t kCommonControlsSize = 8;
inline constexpr uint32_t kCommonControlsClasses = 0xFF;

class CBrevantApp {
 public:
  explicit CBrevantApp(const Services& services) : services_(services) {}

  // The program: with arguments the unattended command line (app/unattended.h), without them
  // the dialog. Returns the process's exit code (0 after the dialog).
  //
  // Started without arguments and without administrator rights (a double-click under UAC),
  // the program starts itself again with them and ends (0) before it makes its instance
  // marker, which the elevated copy must be the first to make; a declined consent ends it
  // without a word (1223). A copy that still has no rights, or a start the shell cannot make,
  // runs the dialog as it is.
  int Run();

  // Refuses a second instance (with a message in the user's raw UI language), otherwise runs
  // the dialog until it ends and then waits for every worker it started (the payload may still
  // be unpacking). Always returns false: the program ends afterwards.
  bool InitApplicationInstance();

 private:
  Services services_;
};

// The second-instance message for a raw user UI language: 1041 Japanese, 2052 Chinese, any
// other identifier (Chinese variants included) English.
const char16_t* SecondInstanceMessage(uint16_t userUiLanguage);

}  // namespace kestrava
