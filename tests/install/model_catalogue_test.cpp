#include <gtest/gtest.h>

#include "install/install_engine.h"
#include "tests/fakes/fake_services.h"
#include "tests/fakes/fake_system_info.h"
#include "tests/fakes/test_dialog_host.h"

namespace kestrava {
namespace {

struct CatalogueRow {
  int position;
  const char16_t* model;
  const char16_t* gpd;
  const char16_t* resourceDll;
  const char16_t* setLast;  // the dependent-file set's last name
  const char16_t* paper;    // nullptr: no "PaperName" value
  uint32_t cutter;
};

constexpr CatalogueRow kRows[] = {
    {0, u"RT-80C", u"P80C.GPD", u"P80.DLL", u"P80.dll", nullptr, 2},
    {1, u"RT-80", u"P80.GPD", u"P80.DLL", u"P80.dll", nullptr, 0},
    {2, u"RT-58C", u"P58C.GPD", u"P58.DLL", u"P58.dll", u"RECEIPT(48mm x 297mm)", 2},
    {3, u"RT-58", u"P58.GPD", u"P58.DLL", u"P58.dll", u"RECEIPT(48mm x 297mm)", 0},
    {4, u"RT-76C", u"P76C.GPD", u"P76.DLL", u"P76.dll", nullptr, 2},
    {5, u"RT-76", u"P76.GPD", u"P76.DLL", u"P76.dll", nullptr, 0},
};

TEST(ModelCatalogue, EveryPositionLooksUpItsOwnModel) {
  FakeSystemInfo system;
  InstallEngine engine(system);
  const std::vector<WString> commonFiles = {u"Receipt.ini",   u"ReceiptDrv.dll", u"ReceiptUI.dll",
                                            u"QXCHISMPL.DLL", u"QXCHITRAD.DLL",  u"QXENGLISH.DLL",
                                            u"TTFSUB.GPD",    u"STDNAMES.GPD",   u"UNIRES.DLL"};
  for (const CatalogueRow& row : kRows) {
    SCOPED_TRACE(row.position);
    const auto at = static_cast<size_t>(row.position);
    EXPECT_EQ(row.model, engine.modelNames[at]);
    EXPECT_EQ(row.gpd, engine.gpdNames[at]);
    EXPECT_EQ(row.resourceDll, engine.resourceDllNames[at]);

    std::vector<WString> expectedSet = commonFiles;
    expectedSet.push_back(row.setLast);
    EXPECT_EQ(expectedSet, engine.DependentFiles(row.position));

    if (row.paper) {
      EXPECT_EQ(std::optional<WString>(row.paper), engine.PaperName(row.position));
    } else {
      EXPECT_EQ(std::nullopt, engine.PaperName(row.position));
    }
    EXPECT_EQ(row.cutter, engine.Cutter(row.position));
  }
}

TEST(ModelCatalogue, PositionsWithoutAModelAreEmptyAndSafe) {
  FakeSystemInfo system;
  InstallEngine engine(system);
  for (int position = kModelCount; position < kCatalogueSize; ++position) {
    const auto at = static_cast<size_t>(position);
    EXPECT_TRUE(engine.modelNames[at].empty());
    EXPECT_TRUE(engine.gpdNames[at].empty());
    EXPECT_TRUE(engine.resourceDllNames[at].empty());
  }
  for (int position : {-1, 6, 10, 19, 20, 1000}) {
    EXPECT_TRUE(engine.DependentFiles(position).empty()) << position;
    EXPECT_EQ(std::nullopt, engine.PaperName(position)) << position;
    EXPECT_EQ(0u, engine.Cutter(position)) << position;
  }
}

TEST(ModelCatalogue, ConstructionStateAndReleaseNames) {
  FakeSystemInfo system;
  InstallEngine engine(system);
  EXPECT_TRUE(engine.printerName.empty());
  EXPECT_EQ(0, engine.portKind);
  EXPECT_TRUE(engine.driverSourceFolder.empty()) << "an engine that installs nothing";
  // One that installs starts from the working folder the system names.
  FakeServices services;
  TestDialogHost host;
  services.shell.programFiles.drive = u'E';
  const InstallEngine installing(EngineServicesOf(services.With(host)));
  EXPECT_EQ(u"E:\\Program Files (x86)\\Kestrava V8.11\\", installing.driverSourceFolder);
  const char* expected[] = {"Windows 2000", "Windows XP", "Windows 2003", "Windows Vista",
                            "Windows 7",    "Windows 8",  "Windows 8.1",  "Windows 10",
                            "Windows 10.1", "Windows 11"};
  for (int i = 0; i < kOsNameCount; ++i) {
    EXPECT_STREQ(expected[i], engine.osNames[static_cast<size_t>(i)]);
    EXPECT_EQ(i, OsNamePosition(expected[i]));
  }
  EXPECT_EQ(-1, OsNamePosition("Unknow"));
  EXPECT_EQ(-1, OsNamePosition("windows 10"));
}

}  // namespace
}  // namespace kestrava
