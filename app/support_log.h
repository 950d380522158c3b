// The support log: every run, with the dialog or without, appends what it did to one file at
// the top of the working folder (payload/working_folder.h), for whoever has to find out later
// what happened on a till. UTF-8, one line per event after the local date and time. It holds
// the program's version, the release it detected, the UI language and whether it ran elevated;
// each command with the values it used; each step with its outcome and, on a failure, the
// system's code and text; the printer's status answers in hex. Nothing the user typed beyond
// what the installation uses goes into it (no log file's path, no text of the user's own).
//
// It is kept to at most kSupportLogLimit bytes: a line that would pass that drops the older
// half first (from the first line that starts after the middle).
#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

namespace kestrava {

inline constexpr uint64_t kSupportLogLimit = 1024 * 1024;

class SupportLog {
 public:
  SupportLog(Files& files, Clock& clock);
  // For the tests: a log at `path`, held to `limit` bytes.
  SupportLog(Files& files, Clock& clock, WString path, uint64_t limit);

  // Appends the line; the working folder is made when it is missing. A log that cannot be
  // written loses the line and nothing else happens.
  void Line(const WString& text);

 private:
  void DropOlderHalf();

  Files& files_;
  Clock& clock_;
  WString path_;
  uint64_t limit_;
};

}  // namespace kestrava
