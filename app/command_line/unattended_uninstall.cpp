// The uninstall command: what installations made is taken back (install/printer_removal.h),
// one line per step, and the exit code says whether everything asked for went.
#include "app/command_line/exit_codes.h"
#include "app/command_line/unattended_run.h"
#include "app/command_line/unattended_texts.h"
#include "install/printer_removal.h"

namespace kestrava {

int UnattendedRun::Uninstall() {
  RemovalRequest request;
  request.dryRun = line_.dryRun;
  if (line_.all) {
    request.selection = RemovalSelection::kAll;
  } else if (!line_.printer.empty()) {
    request.selection = RemovalSelection::kPrinter;
    request.printer = line_.printer;
  } else {
    request.selection = RemovalSelection::kModel;
    request.model = line_.model;
  }
  const bool dry = line_.dryRun;
  const auto report = [this, dry](const RemovalStep& step) {
    switch (step.item) {
      case RemovalItem::kPrinter:
        if (step.done) {
          Say(dry ? cli::kPrinterWouldGo : cli::kPrinterRemoved, {step.name});
        } else if (step.pendingDeletion) {
          Say(cli::kPrinterPending, {step.name});
        } else if (step.jobs > 0) {
          Say(cli::kPrinterStillPrinting, {step.name, Code(step.jobs)});
        } else {
          Say(cli::kPrinterLeft, {step.name, Code(step.error), SystemText(step.error)});
        }
        break;
      case RemovalItem::kConnection:
        Say(cli::kConnectionLeftAlone, {step.name});
        break;
      case RemovalItem::kDriver:
        if (step.done) {
          Say(dry ? cli::kDriverWouldGo : cli::kDriverRemoved, {step.name, step.environment});
        } else {
          Say(cli::kDriverLeft,
              {step.name, step.environment, Code(step.error), SystemText(step.error)});
        }
        break;
      case RemovalItem::kTcpIpPort:
        if (step.done) {
          Say(dry ? cli::kTcpIpPortWouldGo : cli::kTcpIpPortRemoved, {step.name});
        } else {
          Say(cli::kPortLeft, {step.name});
        }
        break;
      case RemovalItem::kSerialPort:
        if (step.done) {
          Say(dry ? cli::kSerialWouldBeSetBack : cli::kSerialSetBack,
              {step.name, kSystemSerialSettings});
        } else {
          Say(cli::kPortLeft, {step.name});
        }
        break;
      case RemovalItem::kSpooler:
        if (step.done) Say(cli::kSpoolerRestarted);
        break;
    }
  };
  const RemovalOutcome outcome = RemovePrinters(EngineServicesOf(services_), request, report);
  if (!outcome.listed) {
    Say(cli::kPrintersNotListed, {Code(outcome.error), SystemText(outcome.error)});
    return Fail(kExitPrintersNotListed);
  }
  // A connection that was named has its own line already.
  if (outcome.noSuchPrinter || outcome.notOfFamily) {
    Say(outcome.notOfFamily ? cli::kNotOfFamily : cli::kNoSuchPrinter, {line_.printer});
  }
  if (outcome.noSuchPrinter || outcome.notOfFamily || outcome.connection) {
    return Fail(kExitNoSuchPrinter);
  }
  if (outcome.steps.empty()) Say(cli::kNothingToRemove);
  TellRestart(outcome.restart);
  if (!outcome.Complete()) return Fail(kExitSomethingLeft);
  if (shortfall_ != 0) return Fail(shortfall_);
  Say(dry ? cli::kDryRunDone : cli::kRemovalDone);
  return kExitDone;
}

}  // namespace kestrava
