// The support log: every run, with the dialog or without, appends what it did to one file at
// the top of the working folder (payload/working_folder.h), for whoever has to find out later
// what happened on a till. UTF-8, one line per event after the local date and time. It holds
// the program's version, the release it detected, the UI language and whether it ran elevated;
// each command with the values it used; each step with its outcome and, on a failure, the
// system's code and text; the printer's status answers in hex. Nothing the user typed beyond
// what the installation uses goes into it (no log file's path, no text of the user's own).
//
// It is kept to at most kSupportLogLimit bytes: a line that would pass that drops the older
// half first (from the first line that starts after the middle). The newer half is written to
// a file of its own beside the log, put on the disk and only then put in the log's place, so
// that a crash or a power cut at any moment leaves the old log or the new one, whole. When the
// log cannot be read back, or the new one cannot be written, the log stays as it is and the
// line is lost.
#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

namespace kestrava {

inline constexpr uint64_t kSupportLogLimit = 1024 * 1024;

class SupportLog {
 public:
  // The log at the top of `workingFolder` (payload/working_folder.h); an empty folder (the
  // system names no program-files folder) writes nothing.
  SupportLog(Files& files, Clock& clock, const WString& workingFolder);
  // For the tests: a log at `path`, held to `limit` bytes.
  SupportLog(Files& files, Clock& clock, WString path, uint64_t limit);

  // Appends the line; the working folder is made when it is missing. A log that cannot be
  // written loses the line and nothing else happens.
  void Line(const WString& text);

 private:
  // True when the older half is gone and the log can take the line.
  bool DropOlderHalf();

  Files& files_;
  Clock& clock_;
  WString path_;
  uint64_t limit_;
};

}  // namespace kestrava
