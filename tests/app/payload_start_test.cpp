#include <gtest/gtest.h>

#include "tests/app/dialog/dialog_fixture.h"
#include "tests/payload/container_builder.h"
#include "tests/payload/zip_builder.h"

namespace kestrava {
namespace {

TEST_F(DialogFixture, PayloadWorkerUnpacksEveryPlatformAndSetsTheFlag) {
  testing::Container container;
  for (const char* platform : {"Windows ARM64", "Windows NT x86", "Windows x64"}) {
    container.records.push_back(
        {platform, testing::BuildZip({{"Receipt.ini", "[OEMFiles]"}, {"RES/", ""}})});
  }
  files.AddFile(process.programFilePath, container.Build());
  ConfingDialog& d = Open();
  EXPECT_FALSE(*d.payloadExtracted) << "not before the worker ran";
  EXPECT_EQ(1, host.RunWorkers());
  EXPECT_TRUE(*d.payloadExtracted);
  const std::set<WString> tree = files.Tree(u"C:\\Program Files (x86)\\Kestrava V8.11");
  for (const char16_t* folder : {u"Windows ARM64\\", u"Windows NT x86\\", u"Windows x64\\"}) {
    EXPECT_TRUE(tree.count(folder)) << Utf16ToUtf8(folder);
  }
}

TEST_F(DialogFixture, PayloadWorkerFailingTwiceLeavesTheFlagFalse) {
  ConfingDialog& d = Open();  // the program file holds no container
  host.RunWorkers();
  EXPECT_FALSE(*d.payloadExtracted);
}

TEST_F(DialogFixture, PayloadWorkerOutlivingTheDialogTouchesNothingOfIt) {
  Open();
  std::shared_ptr<std::atomic<bool>> flag = dialog->payloadExtracted;
  dialog.reset();
  host.RunWorkers();  // would write into the destroyed dialog if it held it
  EXPECT_FALSE(*flag);
}

}  // namespace
}  // namespace kestrava
