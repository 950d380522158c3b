// An installation engine over the fake services, with the payload's platform folders laid
// out as the sample driver tree holds them, and one journal of what the shell, the spooler,
// the graphics and the clock were asked, in order.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "install/install_engine.h"
#include "tests/fakes/fake_services.h"
#include "tests/fakes/test_dialog_host.h"

namespace kestrava {

// One restart of the spooler on the fake service manager, as the journal holds it: the
// dependents asked for, the stop, one poll until it is stopped, the pause, the start and one
// poll until it runs.
inline const std::vector<std::string> kRestartJournal = {
    "dependents Spooler", "stop Spooler", "Sleep 10", "Sleep 20", "start Spooler", "Sleep 10"};

// A platform folder under `root` as the payload unpacks it: the common files at the top,
// Font\BARCODE.TTF, and the GPD files and resource DLLs of every model in RES. Each file holds
// "<platform>\<relative path>".
void AddSamplePlatformFolder(FakeFiles& files, const WString& root, const WString& platform);
// The common files at the top of a platform folder.
std::vector<WString> SamplePlatformTopFiles();

class EngineFixture : public ::testing::Test, public FakeServices {
 protected:
  EngineFixture();

  // The services as the engine takes them.
  EngineServices Engine() { return EngineServicesOf(With(host)); }
  InstallEngine& MakeEngine();

  void AddPlatformFolder(const WString& root, const WString& platform) {
    AddSamplePlatformFolder(files, root, platform);
  }
  static std::vector<WString> TopFiles() { return SamplePlatformTopFiles(); }

  // The journal's entries that start with `prefix`.
  std::vector<std::string> Journal(const std::string& prefix) const;
  // The messages shown, in order.
  std::vector<WString> Messages() const;

  TestDialogHost host;
  std::unique_ptr<InstallEngine> engine;
  std::vector<std::string> journal;
};

}  // namespace kestrava
