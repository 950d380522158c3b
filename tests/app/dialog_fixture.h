// A dialog on the test host with fake services, opened the way the program opens it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/confing_dialog.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_system_info.h"
#include "tests/fakes/test_dialog_host.h"

namespace kestrava {

class DialogFixture : public ::testing::Test {
 protected:
  // Builds the dialog (the constructor reads the UI language) and runs its initialisation.
  ConfingDialog& Open() {
    dialog = std::make_unique<ConfingDialog>(Services{host, system, files, process});
    host.RunModal(*dialog);
    return *dialog;
  }

  WString Text(int id) const { return host.Find(id)->text; }
  int Selection(int id) const { return host.Find(id)->selection; }
  std::vector<WString> Items(int id) const { return host.Find(id)->items; }

  TestDialogHost host;
  FakeSystemInfo system;
  FakeFiles files;
  FakeProcess process;
  std::unique_ptr<ConfingDialog> dialog;
};

}  // namespace kestrava
