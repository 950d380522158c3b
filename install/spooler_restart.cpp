#include "install/spooler_restart.h"

namespace kestrava {

namespace {

constexpr uint32_t kBetweenCommandsMs = 20;
// "/y" answers the question that net asks on its hidden console before it stops a service
// that others depend on (a fax service depends on the spooler); no one could answer it there.
constexpr const char16_t* kStopParameters = u"stop spooler /y";
// A net that does not know the switch (Wine's) refuses the whole line as a syntax error; the
// stop is then asked again without it.
constexpr uint32_t kNetSyntaxError = 1;
constexpr const char16_t* kPlainStopParameters = u"stop spooler";

ServiceStep StepOf(const std::optional<uint32_t>& exitCode) {
  ServiceStep step;
  step.carriedOut = exitCode.has_value();
  step.code = exitCode.value_or(0);
  return step;
}

}  // namespace

WString SystemNetCommand(Shell& shell) {
  // The program runs with administrator rights: a bare "net" would be looked for in the
  // program's own folder first, where a net.exe downloaded beside the installer would run
  // elevated. The system's own command is named by its full path instead. Without a system
  // folder there is no command to run.
  WString net = shell.SystemFolder();
  if (!net.empty() && net.back() != u'\\') net += u'\\';
  if (!net.empty()) net += u"net.exe";
  return net;
}

SpoolerRestart RestartSpoolerByCommand(Shell& shell, Clock& clock) {
  const WString net = SystemNetCommand(shell);

  SpoolerRestart restart;
  if (!net.empty()) {
    std::optional<uint32_t> stopped =
        shell.RunHiddenAndWait(net, kStopParameters, kSpoolerCommandLimitMs);
    if (stopped == std::optional<uint32_t>(kNetSyntaxError)) {
      stopped = shell.RunHiddenAndWait(net, kPlainStopParameters, kSpoolerCommandLimitMs);
    }
    restart.stop = StepOf(stopped);
  }
  clock.Sleep(kBetweenCommandsMs);
  if (!net.empty()) {
    restart.start =
        StepOf(shell.RunHiddenAndWait(net, kStartSpoolerParameters, kSpoolerCommandLimitMs));
  }
  return restart;
}

}  // namespace kestrava
