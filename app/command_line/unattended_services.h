// The services of a run without the dialog: the real ones, but nothing may show a window.
// Message boxes become lines (UnattendedHost), an address the engine would open in the browser
// becomes a line, the traces that would go to the standard output, where the run's own lines
// go, go to the debugger output instead, and every system command the run starts is told to
// the support log with its exit code and what it wrote (QuietShell).
#pragma once

#include <functional>

#include "app/command_line/unattended_host.h"
#include "app/services.h"

namespace kestrava {

class QuietShell final : public Shell {
 public:
  QuietShell(Shell& shell, std::function<void(const WString&)> showLine,
             std::function<void(const WString&)> logLine)
      : shell_(shell), showLine_(std::move(showLine)), logLine_(std::move(logLine)) {}
  using Shell::RunHiddenAndWait;
  // "command: net.exe stop spooler /y: exit code 2", then one "output: " line for each line
  // the command wrote.
  std::optional<uint32_t> RunHiddenAndWait(const WString& program, const WString& parameters,
                                           uint32_t timeoutMs, WString* output) override;
  // Nothing is opened: the address is told instead.
  bool OpenAddress(const WString& address) override {
    showLine_(address);
    return false;
  }
  WString SystemFolder() override { return shell_.SystemFolder(); }
  WString ProgramFilesFolder(ProgramFiles which) override {
    return shell_.ProgramFilesFolder(which);
  }

 private:
  Shell& shell_;
  std::function<void(const WString&)> showLine_;
  std::function<void(const WString&)> logLine_;
};

class QuietProcess final : public Process {
 public:
  explicit QuietProcess(Process& process) : process_(process) {}
  WString ProgramFilePath() override { return process_.ProgramFilePath(); }
  std::vector<WString> Arguments() override { return process_.Arguments(); }
  bool IsElevated() override { return process_.IsElevated(); }
  SessionAccounts Accounts() override { return process_.Accounts(); }
  ElevatedStart StartElevatedCopy(const std::vector<WString>& arguments) override {
    return process_.StartElevatedCopy(arguments);
  }
  bool IsElevatedCopy() override { return process_.IsElevatedCopy(); }
  std::unique_ptr<InstanceMarker> CreateInstanceMarker(const WString& name,
                                                       bool& alreadyExisted) override {
    return process_.CreateInstanceMarker(name, alreadyExisted);
  }
  bool InitialiseCommonControls(uint32_t size, uint32_t classMask) override {
    return process_.InitialiseCommonControls(size, classMask);
  }
  bool StartSockets() override { return process_.StartSockets(); }
  bool RegisterForRestart() override { return process_.RegisterForRestart(); }
  void DebugOutput(std::string_view text) override { process_.DebugOutput(text); }
  void StandardOutput(std::string_view text) override { process_.DebugOutput(text); }

 private:
  Process& process_;
};

// The services with the three above in place of the host, the shell and the process.
struct UnattendedServices {
  UnattendedServices(const Services& real, const std::function<void(const WString&)>& showLine,
                     const std::function<void(const WString&)>& logLine)
      : host(real.dialog, showLine), shell(real.shell, showLine, logLine), process(real.process) {}

  Services Of(const Services& real) {
    return Services{host,
                    real.system,
                    real.files,
                    process,
                    real.clock,
                    real.registry,
                    real.udp,
                    real.icmp,
                    real.adapters,
                    real.spooler,
                    shell,
                    real.graphics,
                    real.deviceInterfaces,
                    real.deviceIo,
                    real.sockets,
                    real.arpTable,
                    real.screenGdi,
                    real.console,
                    real.security,
                    real.serviceManager};
  }

  UnattendedHost host;
  QuietShell shell;
  QuietProcess process;
};

}  // namespace kestrava
