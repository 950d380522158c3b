#include "app/command_line/run_output.h"

#include <string>

namespace kestrava {

RunOutput::RunOutput(Console& console, Files& files, const WString& logFile, SupportLog* support)
    : console_(console), support_(support) {
  if (logFile.empty()) return;
  log_ = files.Create(logFile, CreateMode::kAppend);
  logRefused_ = log_ == nullptr;
}

void RunOutput::Line(const WString& line) {
  Line(line, line);
}

void RunOutput::Line(const WString& line, const WString& supportLine) {
  console_.WriteLine(line);
  if (support_) support_->Line(supportLine);
  LogOnly(line);
}

void RunOutput::LogOnly(const WString& line) {
  if (!log_) return;
  const std::string bytes = Utf16ToUtf8(line) + "\r\n";
  log_->Write(bytes.data(), bytes.size());
}

}  // namespace kestrava
