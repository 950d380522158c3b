// One unattended run: the parsed command line, its language, its services (nothing shows a
// window) and its output. The commands are in unattended_install.cpp and
// unattended_listing.cpp.
#pragma once

#include "app/command_line/command_line.h"
#include "app/command_line/run_output.h"
#include "app/command_line/unattended_services.h"
#include "install/default_printer.h"
#include "install/printer_ports.h"
#include "install/spooler_restart.h"
#include "platform/local_text.h"

namespace kestrava {

class UnattendedRun {
 public:
  // `release` and `architecture` are what the start-up detection named. A run without
  // administrator rights keeps no support log: it could not write one under the program
  // files, and must not make the working folder where it could (a 32-bit Windows has no
  // "Program Files (x86)" to protect it).
  UnattendedRun(const Services& real, CommandLine line, int32_t language, const char* release,
                const char* architecture, bool elevated);

  int Install();
  int Uninstall();
  int ListPorts();
  int ListPrinters();

  RunOutput& output() { return output_; }
  // A line into the support log, when the run keeps one.
  void Log(const WString& line);
  // "failed: exit code N", and N.
  int Fail(int exitCode);

 private:
  // A line of `text` with its values.
  void Say(const LocalText& text, std::initializer_list<FormatArg> values = {});
  // A step of the installation that fell short without stopping it: the run ends with the
  // first such code once the rest went through.
  void FellShort(int exitCode);
  // The line of a restart that did not restart the spooler (nothing for one that did).
  void TellRestart(const std::optional<SpoolerRestart>& restart);
  // How one command of a restart ended, for that line.
  WString Ended(const ServiceStep& step);
  WString PortSetUpFaultText(const PortSetUp& setUp);
  void TellDefaultPrinter(const DefaultPrinterOutcome& outcome, const WString& printer);
  // Whether the user has asked the run to stop (Ctrl+C); checked between the steps.
  bool Interrupted();
  // The end of an interrupted run: a spooler left stopped is started again, and the exit code
  // is kExitCancelled.
  int Cancel();
  // "error 5: Access is denied." parts of a failure: the code and the system's text.
  WString Code(uint32_t error) const;
  WString SystemText(uint32_t error);

  int shortfall_ = 0;
  // A folder of the user's own that the run takes files from: never in the support log.
  WString privateFolder_;
  CommandLine line_;
  int32_t language_;
  const char* release_;
  const char* architecture_;
  bool elevated_;
  SupportLog support_;
  RunOutput output_;
  UnattendedServices quiet_;
  Services services_;
};

}  // namespace kestrava
