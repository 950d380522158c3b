// A scriptable shell: every command and opened address is recorded in order; a program can be
// refused, given a behaviour, an exit code and an output, and, when the fake is given a files
// service to look in, starts only when its file exists. Its programs never share the console
// of the caller, as the Win32 shell starts them.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace kestrava {

class FakeClock;
class FakeFiles;

class FakeShell final : public Shell {
 public:
  using Shell::RunHiddenAndWait;
  std::optional<uint32_t> RunHiddenAndWait(const WString& program, const WString& parameters,
                                           uint32_t timeoutMs, WString* output) override;
  bool OpenAddress(const WString& address) override;
  WString SystemFolder() override { return systemFolder; }
  // Answers as Windows does for `programFiles` (a system with a 64-bit Windows and a 32-bit
  // process on C: unless the test sets another).
  WString ProgramFilesFolder(ProgramFiles which) override;

  // What a program does when it runs (by its path, case ignored); its answer is the exit
  // code. A program without one exits with 0. `runTime` (when given) tells how long it runs,
  // in milliseconds: one that would outlive its wait is ended before it does anything, and its
  // wait takes its time on `clock`.
  void Define(const WString& program, std::function<uint32_t(const WString& parameters)> run,
              std::function<uint32_t(const WString& parameters)> runTime = nullptr);
  // What a program writes to its standard output and error when it runs (by its path, case
  // ignored); nothing without it. Kept to kLongestCommandOutput units, as the system's pipe.
  void DefineOutput(const WString& program, std::function<WString(const WString& parameters)> say);
  // A program that cannot start (no handle, nothing to wait for).
  void Refuse(const WString& program);
  // A program that never ends by itself (a question on a console no one sees): its wait runs
  // out on `clock` and it is ended, recorded as "ended <program> <parameters>".
  void Hang(const WString& program);

  WString systemFolder = u"C:\\WINDOWS\\system32";
  struct ProgramFilesSystem {
    WChar drive = u'C';      // the drive Windows is on
    bool system64 = true;    // 64-bit Windows
    bool process64 = false;  // a 64-bit process
    bool named = true;       // false: the system names no program-files folder
  } programFiles;
  FakeFiles* files = nullptr;  // when set, a program starts only when its file exists
  FakeClock* clock = nullptr;  // when set, a hanging program's wait takes its time on it
  bool addressesOpen = true;
  // "run C:\WINDOWS\system32\net.exe stop spooler /y", "open https://...", UTF-8, in order;
  // a program that could not start is recorded as "refused ...".
  std::vector<std::string> calls;
  std::vector<uint32_t> waitLimits;  // of every program that started, in order
  std::function<void(const std::string& call)> onCall;

 private:
  void Record(const std::string& call);
  bool Starts(const WString& program);

  std::map<WString, std::function<uint32_t(const WString&)>> programs_;  // by upper-cased path
  std::set<WString> refused_;
  std::map<WString, std::function<uint32_t(const WString&)>> runTimes_;
  std::map<WString, std::function<WString(const WString&)>> outputs_;
};

}  // namespace kestrava
