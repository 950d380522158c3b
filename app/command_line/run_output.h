// Where the lines of an unattended run go: the console (or redirected standard output), and
// with --log the end of a log file, in UTF-8.
#pragma once

#include <memory>

#include "app/support_log.h"
#include "platform/console.h"
#include "platform/files.h"

namespace kestrava {

class RunOutput {
 public:
  // Opens `logFile` (when not empty) for appending, creating it when it is missing. With
  // `support`, every line goes to the support log as well.
  RunOutput(Console& console, Files& files, const WString& logFile, SupportLog* support = nullptr);

  void Line(const WString& line);
  // The line to the console and the log file, with `supportLine` in its place in the support
  // log (which keeps no folder of the user's own).
  void Line(const WString& line, const WString& supportLine);
  // The line into the log file only.
  void LogOnly(const WString& line);
  // Whether the log file was asked for and could not be opened.
  bool logRefused() const { return logRefused_; }

 private:
  Console& console_;
  SupportLog* support_;
  std::unique_ptr<FileHandle> log_;
  bool logRefused_ = false;
};

}  // namespace kestrava
