// Where the lines of an unattended run go: the console (or redirected standard output), and
// with --log the end of a log file, in UTF-8.
#pragma once

#include <memory>

#include "platform/console.h"
#include "platform/files.h"

namespace kestrava {

class RunOutput {
 public:
  // Opens `logFile` (when not empty) for appending, creating it when it is missing.
  RunOutput(Console& console, Files& files, const WString& logFile);

  void Line(const WString& line);
  // Whether the log file was asked for and could not be opened.
  bool logRefused() const { return logRefused_; }

 private:
  Console& console_;
  std::unique_ptr<FileHandle> log_;
  bool logRefused_ = false;
};

}  // namespace kestrava
