// What the unattended command line says, in the three UI languages: the usage, one line per
// step, and why a command line is refused. Formats take their values as arguments only; no
// text the user passes is ever a format.
#pragma once

#include <vector>

#include "app/command_line/command_line.h"
#include "install/printer_ports.h"
#include "platform/local_text.h"

namespace kestrava::cli {

// The lines of "/?".
std::vector<WString> Usage(int32_t language);
// "bad argument: ..." for a refused command line.
WString BadArgumentLine(const CommandLine& line, int32_t language);
// Why a port's configuration is not in the registry (install/printer_ports.h).
WString PortSetUpFaultText(PortSetUpFault fault, int32_t language);

// The step lines. "%s" stands for the values named in each comment, in that order.
extern const LocalText kAnotherInstance;
extern const LocalText kNotElevated;
extern const LocalText kLogNotWritten;       // log file
extern const LocalText kPayloadUnpacked;     // working folder
extern const LocalText kPayloadNotUnpacked;  // the folder the files are taken from
extern const LocalText kProgramFolder;       // that folder in the support log
extern const LocalText kPayloadUntrusted;    // the program's folder, the path that failed
extern const LocalText kSystem;              // release, architecture, release installed for
extern const LocalText kPort;                // port
extern const LocalText kNoSuchPort;          // port, the ports there are
extern const LocalText kNoUsbPrinter;
extern const LocalText kNoPorts;    // in place of the list of ports
extern const LocalText kPortInUse;  // port, printer
extern const LocalText kReusing;    // printer, port
extern const LocalText kPortCheckSkipped;
extern const LocalText kPortCheckPassed;
extern const LocalText kPortCheckFailed;
extern const LocalText kPrinterStatus;    // condition, requests and replies in hex
extern const LocalText kPrinterNoAnswer;  // requests and replies in hex
extern const LocalText kPrinterFault;     // exit code
extern const LocalText kSerialSetUp;      // port, line settings
extern const LocalText kSerialNotSetUp;   // port, why
extern const LocalText kTcpIpSetUp;       // address
extern const LocalText kTcpIpExisting;    // address
extern const LocalText kTcpIpNotSetUp;    // address, why
extern const LocalText kSerialPortsNotListed;
extern const LocalText kSpoolerNotRestarted;  // how the stop ended, how the start ended
extern const LocalText kServiceAnswered;      // the service manager's code, its text
extern const LocalText kServiceNotAsked;
extern const LocalText kServiceDone;
extern const LocalText kDependentsNotStarted;
extern const LocalText kInstalledBut;  // exit code
extern const LocalText kDriverFilesCopied;
extern const LocalText kDriverFilesFailed;            // file, code, system text
extern const LocalText kDriverRegistered;             // driver
extern const LocalText kDriverFailed;                 // code, system text
extern const LocalText kPrinterAdded;                 // printer, port
extern const LocalText kPrinterUpdated;               // printer, port
extern const LocalText kPrinterFailed;                // code, system text
extern const LocalText kDefaultPrinter;               // printer
extern const LocalText kDefaultPrinterFailed;         // printer, code, system text
extern const LocalText kDefaultPrinterOfAnother;      // printer, account, account logged on
extern const LocalText kDefaultPrinterNoOneLoggedOn;  // printer, account
extern const LocalText kTestPagePrinted;              // printer
extern const LocalText kTestPageFailed;               // code, system text
extern const LocalText kMessage;                      // a message the engine would have shown
extern const LocalText kDone;                         // printer, port
extern const LocalText kFailed;                       // exit code
extern const LocalText kPrintersNotListed;            // code, system text
// uninstall
extern const LocalText kPrinterRemoved;        // printer
extern const LocalText kPrinterWouldGo;        // printer
extern const LocalText kPrinterStillPrinting;  // printer, jobs
extern const LocalText kPrinterLeft;           // printer, code, system text
extern const LocalText kPrinterPending;        // printer
extern const LocalText kConnectionLeftAlone;   // printer
extern const LocalText kDriverRemoved;         // driver, environment
extern const LocalText kDriverWouldGo;         // driver, environment
extern const LocalText kDriverLeft;            // driver, environment, code, system text
extern const LocalText kTcpIpPortRemoved;      // address
extern const LocalText kTcpIpPortWouldGo;      // address
extern const LocalText kSerialSetBack;         // port, settings
extern const LocalText kSerialWouldBeSetBack;  // port, settings
extern const LocalText kPortLeft;              // port
extern const LocalText kSpoolerRestarted;
// Ctrl+C
extern const LocalText kCancelled;
extern const LocalText kSpoolerStartedAgain;
extern const LocalText kSpoolerStillStopped;
extern const LocalText kSpoolerStateUnknown;
extern const LocalText kNothingToRemove;
extern const LocalText kNoSuchPrinter;  // printer
extern const LocalText kNotOfFamily;    // printer
extern const LocalText kRemovalDone;
extern const LocalText kDryRunDone;

}  // namespace kestrava::cli
