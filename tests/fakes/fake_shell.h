// A scriptable shell: every command and opened address is recorded in order; a program can be
// refused, given a behaviour and an exit code, and, when the fake is given a files service to
// look in, starts only when its file exists.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace kestrava {

class FakeFiles;

class FakeShell final : public Shell {
 public:
  std::optional<uint32_t> RunHiddenAndWait(const WString& program,
                                           const WString& parameters) override;
  bool OpenAddress(const WString& address) override;
  WString SystemFolder() override { return systemFolder; }

  // What a program does when it runs (by its path, case ignored); its answer is the exit
  // code. A program without one exits with 0.
  void Define(const WString& program, std::function<uint32_t(const WString& parameters)> run);
  // A program that cannot start (no handle, nothing to wait for).
  void Refuse(const WString& program);

  WString systemFolder = u"C:\\WINDOWS\\system32";
  FakeFiles* files = nullptr;  // when set, a program starts only when its file exists
  bool addressesOpen = true;
  // "run C:\WINDOWS\system32\net.exe stop spooler", "open https://...", UTF-8, in order;
  // a program that could not start is recorded as "refused ...".
  std::vector<std::string> calls;
  std::function<void(const std::string& call)> onCall;

 private:
  void Record(const std::string& call);
  bool Starts(const WString& program);

  std::map<WString, std::function<uint32_t(const WString&)>> programs_;  // by upper-cased path
  std::set<WString> refused_;
};

}  // namespace kestrava
