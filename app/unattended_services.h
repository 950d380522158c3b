// The services of a run without the dialog: the real ones, but nothing may show a window.
// Message boxes become lines (UnattendedHost), an address the engine would open in the browser
// becomes a line, and the traces that would go to the standard output, where the run's own
// lines go, go to the debugger output instead.
#pragma once

#include <functional>

#include "app/services.h"
#include "app/unattended_host.h"

namespace kestrava {

class QuietShell final : public Shell {
 public:
  QuietShell(Shell& shell, std::function<void(const WString&)> showLine)
      : shell_(shell), showLine_(std::move(showLine)) {}
  std::optional<uint32_t> RunHiddenAndWait(const WString& program, const WString& parameters,
                                           uint32_t timeoutMs) override {
    return shell_.RunHiddenAndWait(program, parameters, timeoutMs);
  }
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
};

class QuietProcess final : public Process {
 public:
  explicit QuietProcess(Process& process) : process_(process) {}
  WString ProgramFilePath() override { return process_.ProgramFilePath(); }
  std::vector<WString> Arguments() override { return process_.Arguments(); }
  bool IsElevated() override { return process_.IsElevated(); }
  SessionAccounts Accounts() override { return process_.Accounts(); }
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
  UnattendedServices(const Services& real, const std::function<void(const WString&)>& showLine)
      : host(real.dialog, showLine), shell(real.shell, showLine), process(real.process) {}

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
                    real.security};
  }

  UnattendedHost host;
  QuietShell shell;
  QuietProcess process;
};

}  // namespace kestrava
