#include "tests/fakes/fake_shell.h"

#include <cstdint>

#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_files.h"

namespace kestrava {

void FakeShell::Define(const WString& program,
                       std::function<uint32_t(const WString& parameters)> run,
                       std::function<uint32_t(const WString& parameters)> runTime) {
  programs_[UpperAscii(program)] = std::move(run);
  if (runTime) runTimes_[UpperAscii(program)] = std::move(runTime);
}

void FakeShell::Refuse(const WString& program) {
  refused_.insert(UpperAscii(program));
}

void FakeShell::Hang(const WString& program) {
  runTimes_[UpperAscii(program)] = [](const WString&) { return UINT32_MAX; };
}

void FakeShell::Record(const std::string& call) {
  calls.push_back(call);
  if (onCall) onCall(call);
}

bool FakeShell::Starts(const WString& program) {
  if (refused_.count(UpperAscii(program))) return false;
  return !files || files->Exists(program);
}

void FakeShell::DefineOutput(const WString& program,
                             std::function<WString(const WString& parameters)> say) {
  outputs_[UpperAscii(program)] = std::move(say);
}

std::optional<uint32_t> FakeShell::RunHiddenAndWait(const WString& program,
                                                    const WString& parameters, uint32_t timeoutMs,
                                                    WString* output) {
  if (output) output->clear();
  const std::string line = Utf16ToUtf8(program) + " " + Utf16ToUtf8(parameters);
  if (!Starts(program)) {
    Record("refused " + line);
    return std::nullopt;
  }
  Record("run " + line);
  waitLimits.push_back(timeoutMs);
  auto runTime = runTimes_.find(UpperAscii(program));
  if (runTime != runTimes_.end()) {
    const uint32_t takes = runTime->second(parameters);
    if (takes > timeoutMs) {
      if (clock) clock->Advance(timeoutMs);
      Record("ended " + line);
      return std::nullopt;
    }
    if (clock) clock->Advance(takes);
  }
  auto said = outputs_.find(UpperAscii(program));
  if (output && said != outputs_.end()) {
    *output = said->second(parameters).substr(0, kLongestCommandOutput);
  }
  auto it = programs_.find(UpperAscii(program));
  return it == programs_.end() ? 0 : it->second(parameters);
}

bool FakeShell::OpenAddress(const WString& address) {
  Record("open " + Utf16ToUtf8(address));
  if (!addressesOpen) return false;
  // Opening a program runs it, as the shell does.
  auto it = programs_.find(UpperAscii(address));
  if (it != programs_.end()) it->second(WString());
  return true;
}

WString FakeShell::ProgramFilesFolder(ProgramFiles which) {
  if (!programFiles.named) return WString();
  const WString root = WString(1, programFiles.drive) + u":\\";
  if (!programFiles.system64) return root + u"Program Files";
  const bool x86 = which == ProgramFiles::kX86 || !programFiles.process64;
  return root + (x86 ? u"Program Files (x86)" : u"Program Files");
}

}  // namespace kestrava
