// The service manager against the strict fake (natively) and the Win32 implementation (under
// Wine): the print spooler's state is told by its key name in any case, and every name that is
// no service's is refused with the system's own code.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/fakes/fake_service_manager.h"
#include "tests/platform/implementations.h"
#ifdef _WIN32
#include "platform/win32/service_manager_win32.h"
#endif

namespace kestrava {
namespace {

std::vector<Implementation<ServiceManager>> ServiceManagerImplementations() {
  std::vector<Implementation<ServiceManager>> all = {
      {"Fake", [] { return std::make_unique<FakeServiceManager>(); }}};
#ifdef _WIN32
  all.push_back({"Win32", [] { return std::make_unique<Win32ServiceManager>(); }});
#endif
  return all;
}

class ServiceManagerContract : public ::testing::TestWithParam<Implementation<ServiceManager>> {
 protected:
  void SetUp() override { manager = GetParam().make(); }
  std::unique_ptr<ServiceManager> manager;
};

TEST_P(ServiceManagerContract, TheSpoolersStateIsToldByItsKeyNameInAnyCase) {
  uint32_t error = 0;
  const std::optional<ServiceState> state = manager->StateOf(kSpoolerService, error);
  ASSERT_TRUE(state) << "error " << error;
  EXPECT_GE(static_cast<uint32_t>(*state), 1u);
  EXPECT_LE(static_cast<uint32_t>(*state), 7u);
  EXPECT_EQ(state, manager->StateOf(u"SPOOLER", error));
  EXPECT_EQ(state, manager->StateOf(u"spooler", error));
}

TEST_P(ServiceManagerContract, ANameThatIsNoServicesIsRefusedWithTheSystemsCode) {
  struct Row {
    const char* what;
    WString name;
    uint32_t error;
  };
  const Row rows[] = {
      {"a display name", u"Print Spooler", 1060},
      {"no such service", u"KestravaNoSuchService", 1060},
      {"a backslash", u"Spooler\\x", 123},
      {"a slash", u"Spool/er", 123},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    uint32_t error = 0;
    EXPECT_FALSE(manager->StateOf(row.name, error));
    EXPECT_EQ(row.error, error);
  }
}

TEST_P(ServiceManagerContract, NoSuchServiceIsNeitherStoppedNorStartedNorListed) {
  uint32_t error = 0;
  EXPECT_FALSE(manager->Stop(u"KestravaNoSuchService", error));
  EXPECT_EQ(1060u, error);
  error = 0;
  EXPECT_FALSE(manager->Start(u"KestravaNoSuchService", error));
  EXPECT_EQ(1060u, error);
  error = 0;
  std::vector<WString> dependents = {u"kept"};
  EXPECT_FALSE(manager->ActiveDependents(u"KestravaNoSuchService", dependents, error));
  EXPECT_EQ(1060u, error);
  EXPECT_EQ(std::vector<WString>{u"kept"}, dependents) << "left as it was";
}

TEST_P(ServiceManagerContract, ARunningSpoolerIsNotStartedTwiceAndItsDependentsAreListed) {
  uint32_t error = 0;
  std::optional<ServiceState> state = manager->StateOf(kSpoolerService, error);
  if (state == ServiceState::kStopped) manager->Start(kSpoolerService, error);
  // A start takes the service manager a moment: asked again for ten seconds at most.
  for (int i = 0; i < 1000 && state != ServiceState::kRunning; ++i) {
    state = manager->StateOf(kSpoolerService, error);
    if (state != ServiceState::kRunning) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(std::optional<ServiceState>(ServiceState::kRunning), state) << "error " << error;
  EXPECT_FALSE(manager->Start(kSpoolerService, error));
  EXPECT_EQ(1056u, error) << "ERROR_SERVICE_ALREADY_RUNNING";
  std::vector<WString> dependents = {u"replaced"};
  EXPECT_TRUE(manager->ActiveDependents(kSpoolerService, dependents, error)) << error;
  for (const WString& dependent : dependents) {
    EXPECT_NE(u"replaced", dependent);
    EXPECT_NE(std::optional<ServiceState>(ServiceState::kStopped),
              manager->StateOf(dependent, error))
        << Utf16ToUtf8(dependent);
  }
}

INSTANTIATE_TEST_SUITE_P(All, ServiceManagerContract,
                         ::testing::ValuesIn(ServiceManagerImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
