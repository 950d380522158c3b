#include "install/default_printer.h"

namespace kestrava {

DefaultPrinterOutcome MakeDefaultPrinter(PrintSpooler& spooler, Process& process,
                                         SystemInfo& system, const WString& printer) {
  DefaultPrinterOutcome outcome;
  outcome.set = spooler.MakeDefault(printer, &outcome.error);
  outcome.accounts = process.Accounts();
  const SessionAccounts& accounts = outcome.accounts;
  outcome.forAnotherAccount =
      outcome.set && !accounts.process.empty() &&
      (accounts.loggedOn.empty() || !system.SameName(accounts.process, accounts.loggedOn));
  return outcome;
}

}  // namespace kestrava
