#include "app/application.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/fakes/fake_services.h"
#include "tests/fakes/test_dialog_host.h"

namespace kestrava {
namespace {

struct Instance : FakeServices {
  explicit Instance(std::shared_ptr<FakeProcess::NamedObjects> objects) {
    process = FakeProcess(std::move(objects));
  }
  bool Start() { return CBrevantApp(With(host)).InitApplicationInstance(); }

  TestDialogHost host;
};

TEST(Application, FirstInstancePreparesTheLibrariesAndRunsTheDialog) {
  Instance first(std::make_shared<FakeProcess::NamedObjects>());
  EXPECT_FALSE(first.Start());
  EXPECT_EQ((std::vector<std::pair<uint32_t, uint32_t>>{{8u, 255u}}), first.process.commonControls);
  EXPECT_EQ(1, first.process.socketStarts);
  EXPECT_EQ(1, first.process.restartRegistrations);
  EXPECT_EQ(u"Install Receipt Printer Driver", first.host.title) << "the dialog ran";
  EXPECT_TRUE(first.host.messages.empty());
  EXPECT_EQ(0, first.process.OpenHandles(u"Demo")) << "released when the program ends";
}

TEST(Application, EndsOnlyWhenItsWorkersHaveEndedSoTheServicesMayGo) {
  // The host outlives the services, as the entry point's objects do: whatever still runs once
  // the application has returned meets services that are gone (ASan reports it in the asan
  // preset; the count below in every preset).
  TestDialogHost host;
  auto services = std::make_unique<FakeServices>();
  CBrevantApp(services->With(host)).InitApplicationInstance();
  EXPECT_EQ(1, host.workersStarted) << "the payload worker";
  EXPECT_EQ(1, host.workerWaits);
  services.reset();
  EXPECT_EQ(0, host.RunWorkers()) << "a worker outlived the application";
}

TEST(Application, SecondInstanceShowsTheMessageAndEndsWithoutADialog) {
  auto objects = std::make_shared<FakeProcess::NamedObjects>();
  FakeProcess running(objects);
  bool existed = false;
  auto marker = running.CreateInstanceMarker(u"Demo", existed);

  for (uint16_t language : {1033, 2052, 1041, 1028}) {
    Instance second(objects);
    second.system.uiLanguage = language;
    EXPECT_FALSE(second.Start());
    ASSERT_EQ(1u, second.host.messages.size()) << language;
    EXPECT_EQ(WString(SecondInstanceMessage(language)), second.host.messages[0].text);
    EXPECT_EQ(MessageKind::kWarning, second.host.messages[0].kind);
    EXPECT_FALSE(second.host.messages[0].ownedByDialog);
    EXPECT_TRUE(second.host.title.empty()) << "no dialog";
    EXPECT_TRUE(second.process.commonControls.empty());
    EXPECT_EQ(0, second.process.restartRegistrations);
    EXPECT_EQ(1, running.OpenHandles(u"Demo")) << "its own handle is closed again";
  }
}

TEST(Application, AMarkerThatCannotBeMadeCountsAsTheFirstInstance) {
  Instance only(std::make_shared<FakeProcess::NamedObjects>());
  only.process.markerCreationFails = true;
  only.Start();
  EXPECT_TRUE(only.host.messages.empty());
  EXPECT_FALSE(only.host.title.empty());
}

}  // namespace
}  // namespace kestrava
