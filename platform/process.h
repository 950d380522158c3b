// The running process: its program file, the single-instance marker, the start-up
// initialisation of the system libraries it uses, and its diagnostic output.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace kestrava {

// Who the process runs as, and who is logged on where it runs: in its own session, or, for a
// process of session 0 (where services and deployment tools run as SYSTEM since Windows Vista),
// in the session at the console. Each "DOMAIN\name"; empty where no one is logged on there, or
// where the system does not tell.
struct SessionAccounts {
  WString process;
  WString loggedOn;
};

// How a start of this program again, with administrator rights, went.
enum class ElevatedStart {
  kStarted,  // the copy runs; this process may end
  kRefused,  // the user declined the consent prompt (ERROR_CANCELLED)
  kFailed,   // the shell could not start it
};

// A named object that marks a running instance; released when destroyed.
class InstanceMarker {
 public:
  virtual ~InstanceMarker() = default;
};

// `arguments` as one command line that the C runtime (and CommandLineToArgvW) splits into the
// same words again, one space between them: a word that is empty or holds a space, a tab or a
// quote goes in quotes, each quote in it after a backslash, and the backslashes before a quote
// or before the closing quote doubled.
WString QuotedArguments(const std::vector<WString>& arguments);

class Process {
 public:
  virtual ~Process() = default;

  // Full path of the running program file.
  virtual WString ProgramFilePath() = 0;

  // The words of the command line after the program's own name, split as the C runtime
  // splits them (quotes group, backslashes before a quote escape it).
  virtual std::vector<WString> Arguments() = 0;

  // Whether the process runs with administrator rights: its token holds the Administrators
  // group enabled (elevated where the system has elevation).
  virtual bool IsElevated() = 0;

  // The accounts above. A user's own settings (the default printer among them) are written for
  // the process's account: another administrator's whose credentials were typed at the
  // elevation prompt, or SYSTEM's, is not the user at the till.
  virtual SessionAccounts Accounts() = 0;

  // Starts this program file again with administrator rights (the shell's "runas" verb: the
  // consent prompt, on Windows XP the "Run As" dialog), in this process's current folder, with
  // `arguments` quoted so that the copy's Arguments are the same words, and returns once it is
  // started, without waiting for it.
  virtual ElevatedStart StartElevatedCopy(const std::vector<WString>& arguments) = 0;

  // Whether this process is such a copy. One that still runs without administrator rights
  // (a standard user where the consent prompt is off, the current user chosen in Windows XP's
  // "Run As" dialog) must not ask again, or it would ask for ever.
  virtual bool IsElevatedCopy() = 0;

  // Creates the named mutex (no security descriptor, not owned). `alreadyExisted` tells whether
  // another instance made it first. A creation that fails for another reason yields a marker
  // that holds nothing and counts as the first instance.
  virtual std::unique_ptr<InstanceMarker> CreateInstanceMarker(const WString& name,
                                                               bool& alreadyExisted) = 0;

  // The common controls library, for the classes in `classMask` (structure size `size`).
  virtual bool InitialiseCommonControls(uint32_t size, uint32_t classMask) = 0;

  // Windows sockets, version 2.2.
  virtual bool StartSockets() = 0;

  // Registers with the restart manager (restart only; absent before Windows Vista).
  virtual bool RegisterForRestart() = 0;

  // Diagnostic traces: the debugger output and the standard output. 8-bit text.
  virtual void DebugOutput(std::string_view text) = 0;
  virtual void StandardOutput(std::string_view text) = 0;
};

}  // namespace kestrava
