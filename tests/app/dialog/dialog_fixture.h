// A dialog on the test host with fake services, opened the way the program opens it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/dialog/confing_dialog.h"
#include "tests/fakes/fake_services.h"
#include "tests/fakes/test_dialog_host.h"

namespace kestrava {

class DialogFixture : public ::testing::Test, protected FakeServices {
 protected:
  // Builds the dialog (the constructor reads the UI language) and runs its initialisation.
  ConfingDialog& Open() {
    dialog = std::make_unique<ConfingDialog>(With(host));
    host.RunModal(*dialog);
    return *dialog;
  }

  WString Text(int id) const { return host.Find(id)->text; }
  int Selection(int id) const { return host.Find(id)->selection; }
  std::vector<WString> Items(int id) const { return host.Find(id)->items; }

  TestDialogHost host;
  std::unique_ptr<ConfingDialog> dialog;
};

}  // namespace kestrava
