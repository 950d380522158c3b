// Taking back what installations made, and nothing else: printers of the family (whose driver
// is one of the six models), then each of the family's drivers that no printer uses any more,
// with its files that no other driver uses, in every environment it is registered for; then
// each Standard TCP/IP port that a removed printer was on, that no printer uses any more and
// that is one an installation writes (named by its address, raw on port 9100); then the line
// settings of a serial port that a removed printer was on and no printer uses any more, set
// back to the system's own "9600,n,8,1" (the port stays listed: Windows lists its serial
// ports from that key). A TCP/IP port is deleted through its monitor where the monitor
// answers, at once; elsewhere its registry key goes. The spooler is restarted once at the end
// when a port's registry values were changed.
//
// Only printers of this computer are removed (its local listing, and of that only printers that
// are no network printers and are not named "\\server\queue"): a connection to a printer of
// another computer is the server's queue, which deleting it would delete for everyone. A
// connection of the family is told as such and left alone.
//
// A printer that still has jobs in its queue, or that the spooler refuses to delete, is left
// (with the system's code), and so is a driver still in use; the rest goes on. A printer is
// read again after it was deleted: one the spooler only marked for deletion (a handle open on
// it elsewhere, a job that came meanwhile) is still listed, and counts as left, with its
// driver and its ports, until its jobs end. A dry run reports the same steps and changes
// nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "install/engine_services.h"
#include "install/spooler_restart.h"
#include "platform/text.h"

namespace kestrava {

enum class RemovalSelection { kPrinter, kModel, kAll };

struct RemovalRequest {
  RemovalSelection selection = RemovalSelection::kAll;
  WString printer;     // kPrinter: its name (case ignored)
  int32_t model = -1;  // kModel: the catalogue position
  bool dryRun = false;
};

// kConnection: a connection of the family, left alone; kSpooler: the restart at the end.
enum class RemovalItem { kPrinter, kConnection, kDriver, kTcpIpPort, kSerialPort, kSpooler };

struct RemovalStep {
  RemovalItem item = RemovalItem::kPrinter;
  WString name;                  // the printer, the driver, the address, the serial port ("COM3:")
  WString environment;           // a driver's
  bool done = false;             // taken back (in a dry run: would be); the spooler: restarted
  uint32_t error = 0;            // the system's code when it was left
  uint32_t jobs = 0;             // a printer left because its queue still holds jobs
  bool pendingDeletion = false;  // a printer the spooler only marked for deletion
};

struct RemovalOutcome {
  // The spooler could not list its printers (`error` says why): nothing was done.
  bool listed = true;
  uint32_t error = 0;
  // kPrinter: the name is no printer at all, one of another driver, or a connection to a
  // printer of another computer (each left alone).
  bool noSuchPrinter = false;
  bool notOfFamily = false;
  bool connection = false;
  std::vector<RemovalStep> steps;
  // The restart at the end, when a port's registry values were changed.
  std::optional<SpoolerRestart> restart;

  // Whether every printer, driver and port asked for was taken back (connections are never
  // asked for; the restart is told apart).
  bool Complete() const;
};

// What Windows sets a serial port to, and what a removal sets it back to.
inline constexpr const char16_t* kSystemSerialSettings = u"9600,n,8,1";

// Removes what `request` selects, telling each step to `report` as it is taken (or, in a dry
// run, found). Blocks for the spooler's restart.
RemovalOutcome RemovePrinters(const EngineServices& services, const RemovalRequest& request,
                              const std::function<void(const RemovalStep&)>& report);

}  // namespace kestrava
