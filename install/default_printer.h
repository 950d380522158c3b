// Making a printer the default printer, and for whom. Windows keeps the default printer per
// user account, and SetDefaultPrinter writes the calling account's: an installation run with
// another administrator's credentials (typed at the elevation prompt) or by a deployment tool
// as SYSTEM makes the printer that account's default, not the default of the user at the till.
#pragma once

#include <cstdint>

#include "platform/print_spooler.h"
#include "platform/process.h"
#include "platform/system_info.h"

namespace kestrava {

struct DefaultPrinterOutcome {
  bool set = false;    // the spooler made it the default printer
  uint32_t error = 0;  // the system's code when it did not
  SessionAccounts accounts;
  // Set for an account that is not the one logged on (or for one while no one is). Where the
  // system does not name the process's account this cannot be told and is not claimed.
  bool forAnotherAccount = false;
  // Set, and for the user logged on.
  bool Done() const { return set && !forAnotherAccount; }
};

DefaultPrinterOutcome MakeDefaultPrinter(PrintSpooler& spooler, Process& process,
                                         SystemInfo& system, const WString& printer);

}  // namespace kestrava
