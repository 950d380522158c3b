// The exit codes of the unattended command line, fixed for the deployment scripts that read
// them. Windows' own codes where one says the same (the Windows Installer's for a bad command
// line and for another installation in progress, the system's for elevation, an unknown port,
// a printer that already exists and a device that is not connected); small numbers of the
// program's own for the installation's steps, which no system code names. The line of the
// failed step carries the system's own code and text.
#pragma once

namespace kestrava {

enum ExitCode : int {
  kExitDone = 0,
  kExitDriverFilesNotCopied = 10,
  kExitDriverNotRegistered = 11,
  kExitPrinterNotAdded = 12,
  kExitTestPageFailed = 13,
  kExitPrintersNotListed = 14,
  kExitSomethingLeft = 15,  // a removal left a printer (still printing) or a driver
  // The installation went through, but a step of its own fell short; the line of the step
  // tells which and what the system said.
  kExitPortsNotListed = 16,
  kExitPortNotSetUp = 17,
  kExitSpoolerNotRestarted = 18,
  kExitDefaultNotForUser = 19,
  // The installation went through, and the printer told of a fault in its status.
  kExitPaperEnd = 20,
  kExitCoverOpen = 21,
  kExitPrinterOffline = 22,
  kExitCutterError = 23,
  kExitUnrecoverableError = 24,
  kExitNotElevated = 740,       // ERROR_ELEVATION_REQUIRED
  kExitPortCheckFailed = 1167,  // ERROR_DEVICE_NOT_CONNECTED
  kExitCancelled = 1223,        // ERROR_CANCELLED: Ctrl+C, or the consent prompt declined
  kExitNoSuchPrinter = 1801,    // ERROR_INVALID_PRINTER_NAME
  kExitNoSuchPort = 1796,       // ERROR_UNKNOWN_PORT
  kExitPortInUse = 1802,        // ERROR_PRINTER_ALREADY_EXISTS
  kExitAnotherInstance = 1618,  // ERROR_INSTALL_ALREADY_RUNNING
  kExitBadArguments = 1639,     // ERROR_INVALID_COMMAND_LINE
};

// Every code with what it means, in the order of the README's table, which a test holds to
// this one.
struct ExitCodeMeaning {
  ExitCode code;
  const char* meaning;  // as the README words it
};

inline constexpr ExitCodeMeaning kExitCodeMeanings[] = {
    {kExitDone, "done"},
    {kExitDriverFilesNotCopied,
     "the driver files could not be copied (the line names the file and the system's error), or "
     "the payload could not be unpacked and the program's own folder is not one only "
     "administrators can change (nothing is copied; see \"The working folder\")"},
    {kExitDriverNotRegistered, "the driver could not be registered"},
    {kExitPrinterNotAdded, "the printer could not be added"},
    {kExitTestPageFailed, "the test page failed"},
    {kExitPrintersNotListed, "the printers could not be listed"},
    {kExitSomethingLeft,
     "a removal left something: a printer still printing, refused or only marked for deletion, "
     "a driver still in use"},
    {kExitPortsNotListed, "the serial ports could not be listed"},
    {kExitPortNotSetUp,
     "installed, but the port's settings or its Standard TCP/IP port could not be written"},
    {kExitSpoolerNotRestarted,
     "the spooler could not be restarted, or a service that depends on it did not start again (the "
     "line gives the service manager's codes)"},
    {kExitDefaultNotForUser,
     "installed, but not made the default printer of the user logged on: the spooler refused, or "
     "the program runs as another account"},
    {kExitPaperEnd, "installed, but the printer is out of paper"},
    {kExitCoverOpen, "installed, but the printer's cover is open"},
    {kExitPrinterOffline, "installed, but the printer is off line"},
    {kExitCutterError, "installed, but the printer's cutter has an error"},
    {kExitUnrecoverableError, "installed, but the printer has an unrecoverable error"},
    {kExitNotElevated,
     "`install` or `uninstall` (not `--dry-run`) without administrator rights: one line, "
     "nothing touched (`ERROR_ELEVATION_REQUIRED`)"},
    {kExitPortCheckFailed,
     "the port check failed: the printer did not take the port-information page "
     "(`ERROR_DEVICE_NOT_CONNECTED`)"},
    {kExitCancelled,
     "cancelled: Ctrl+C (or Ctrl+Break, or the console closed); the step in hand was finished "
     "and a stopped spooler started again (`ERROR_CANCELLED`)"},
    {kExitAnotherInstance,
     "another instance of the program (dialog or command line) is running "
     "(`ERROR_INSTALL_ALREADY_RUNNING`)"},
    {kExitBadArguments, "bad arguments (`ERROR_INVALID_COMMAND_LINE`)"},
    {kExitNoSuchPort, "no such port, or no supported USB printer (`ERROR_UNKNOWN_PORT`)"},
    {kExitNoSuchPrinter,
     "`uninstall --printer` named no printer of this family on this computer "
     "(`ERROR_INVALID_PRINTER_NAME`)"},
    {kExitPortInUse, "the port is in use by another printer (`ERROR_PRINTER_ALREADY_EXISTS`)"},
};

}  // namespace kestrava
