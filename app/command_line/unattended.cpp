#include "app/command_line/unattended.h"

#include "app/command_line/exit_codes.h"
#include "app/command_line/unattended_run.h"
#include "app/command_line/unattended_texts.h"
#include "app/instance_marker.h"
#include "app/language.h"
#include "app/log_privacy.h"
#include "install/install_engine.h"
#include "install/spooler_recovery.h"
#include "payload/working_folder.h"

namespace kestrava {

namespace {

// The commands that change the system; the others (the listings, the usage, a dry run) need
// no rights of their own.
bool ChangesTheSystem(const CommandLine& line) {
  return line.command == Command::kInstall || (line.command == Command::kUninstall && !line.dryRun);
}

}  // namespace

UnattendedRun::UnattendedRun(const Services& real, CommandLine line, int32_t language,
                             const char* release, const char* architecture, bool elevated)
    : line_(std::move(line)),
      language_(language),
      release_(release),
      architecture_(architecture),
      elevated_(elevated),
      support_(real.files, real.clock, WorkingFolder(real.system, real.shell)),
      output_(real.console, real.files, line_.logFile, elevated ? &support_ : nullptr),
      quiet_(
          real, [this](const WString& message) { Say(cli::kMessage, {message}); },
          [this](const WString& logged) { Log(logged); }),
      services_(quiet_.Of(real)) {}

void UnattendedRun::Log(const WString& line) {
  if (elevated_) {
    support_.Line(WithFolderNamed(line, privateFolder_, cli::kProgramFolder.For(language_)));
  }
}

bool UnattendedRun::Interrupted() {
  return services_.console.InterruptionRequested();
}

int UnattendedRun::Cancel() {
  Say(cli::kCancelled);
  switch (StartSpoolerIfStopped(services_.serviceManager, services_.clock)) {
    case SpoolerRecovery::kRunning:
      break;
    case SpoolerRecovery::kStarted:
      Say(cli::kSpoolerStartedAgain);
      break;
    case SpoolerRecovery::kStillStopped:
      Say(cli::kSpoolerStillStopped);
      break;
    case SpoolerRecovery::kUnknown:
      Say(cli::kSpoolerStateUnknown);
      break;
  }
  return kExitCancelled;
}

void UnattendedRun::Say(const LocalText& text, std::initializer_list<FormatArg> values) {
  const WString line = FormatText(text.For(language_), values);
  output_.Line(line, WithFolderNamed(line, privateFolder_, cli::kProgramFolder.For(language_)));
}

int UnattendedRun::Fail(int exitCode) {
  Say(cli::kFailed, {WidenAscii(std::to_string(exitCode))});
  return exitCode;
}

void UnattendedRun::FellShort(int exitCode) {
  if (shortfall_ == 0) shortfall_ = exitCode;
}

WString UnattendedRun::Ended(const ServiceStep& step) {
  if (!step.carriedOut) return cli::kServiceNotAsked.For(language_);
  if (step.code == 0) return cli::kServiceDone.For(language_);
  return FormatText(cli::kServiceAnswered.For(language_), {Code(step.code), SystemText(step.code)});
}

WString UnattendedRun::PortSetUpFaultText(const PortSetUp& setUp) {
  const WString text = cli::PortSetUpFaultText(setUp.fault, language_);
  if (setUp.fault != PortSetUpFault::kMonitorRefused) return text;
  return text + u": " + Code(setUp.error) + u" " + SystemText(setUp.error);
}

void UnattendedRun::TellRestart(const std::optional<SpoolerRestart>& restart) {
  if (!restart) return;
  if (!restart->Restarted()) {
    Say(cli::kSpoolerNotRestarted, {Ended(restart->stop), Ended(restart->start)});
    FellShort(kExitSpoolerNotRestarted);
  } else if (!restart->dependentsNotStarted.empty()) {
    Say(cli::kDependentsNotStarted, {Joined(restart->dependentsNotStarted)});
    FellShort(kExitSpoolerNotRestarted);
  }
}

void UnattendedRun::TellDefaultPrinter(const DefaultPrinterOutcome& outcome,
                                       const WString& printer) {
  if (outcome.Done()) {
    Say(cli::kDefaultPrinter, {printer});
    return;
  }
  if (!outcome.set) {
    Say(cli::kDefaultPrinterFailed, {printer, Code(outcome.error), SystemText(outcome.error)});
  } else if (outcome.accounts.loggedOn.empty()) {
    Say(cli::kDefaultPrinterNoOneLoggedOn, {printer, outcome.accounts.process});
  } else {
    Say(cli::kDefaultPrinterOfAnother,
        {printer, outcome.accounts.process, outcome.accounts.loggedOn});
  }
  FellShort(kExitDefaultNotForUser);
}

WString UnattendedRun::Code(uint32_t error) const {
  return WidenAscii(std::to_string(error));
}

WString UnattendedRun::SystemText(uint32_t error) {
  return WithoutTrailingSpace(services_.system.ErrorMessage(error));
}

int RunUnattended(const Services& services, const std::vector<WString>& arguments) {
  // Ctrl+C is heard from here on, not only from the first line.
  services.console.Connect();
  CommandLine line = ParseCommandLine(arguments);
  const int32_t language =
      line.language.value_or(StartupLanguage(services.system.UserDefaultUiLanguage()));
  // The start and the command, for whoever reads the support log later.
  InstallEngine detection(services.system);
  const char* release = kUnknownRelease;
  const char* architecture = "Unknown";
  detection.DetectPlatform(release, architecture);
  const bool elevated = services.process.IsElevated();
  UnattendedRun run(services, line, language, release, architecture, elevated);
  run.Log(FormatText(
      u"start: KestravaSetup %s without its dialog, %s %s, language %d, elevated",
      {WidenAscii(KESTRAVA_VERSION), WidenAscii(release), WidenAscii(architecture), language}));
  run.Log(u"command: " +
          (line.fault == ArgumentFault::kNone ? DescribeCommand(line) : WString(u"refused")));
  if (run.output().logRefused()) {
    // To the console only: the support log keeps nothing the installation does not use.
    services.console.WriteLine(FormatText(cli::kLogNotWritten.For(language), {line.logFile}));
  }
  if (line.fault != ArgumentFault::kNone) {
    // The refused word is the user's own and used by nothing: the console and the run's own
    // log have it, the support log only that the command line was refused.
    const WString refusal = cli::BadArgumentLine(line, language);
    services.console.WriteLine(refusal);
    run.output().LogOnly(refusal);
    return run.Fail(kExitBadArguments);
  }
  if (line.command == Command::kHelp) {
    for (const WString& usage : cli::Usage(language)) run.output().Line(usage);
    return kExitDone;
  }
  // Without the rights a change needs, nothing is touched: one line, and the system's code
  // for it.
  if (ChangesTheSystem(line) && !elevated) {
    run.output().Line(cli::kNotElevated.For(language));
    return kExitNotElevated;
  }
  // One instance at a time, dialog or not, as the dialog's start-up has it.
  bool alreadyExisted = false;
  const std::unique_ptr<InstanceMarker> marker =
      services.process.CreateInstanceMarker(kInstanceMarkerName, alreadyExisted);
  if (alreadyExisted) {
    run.output().Line(cli::kAnotherInstance.For(language));
    return run.Fail(kExitAnotherInstance);
  }
  services.process.StartSockets();
  switch (line.command) {
    case Command::kInstall:
      return run.Install();
    case Command::kUninstall:
      return run.Uninstall();
    case Command::kPorts:
      return run.ListPorts();
    case Command::kPrinters:
      return run.ListPrinters();
    default:
      return kExitDone;
  }
}

}  // namespace kestrava
