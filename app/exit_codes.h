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

}  // namespace kestrava
