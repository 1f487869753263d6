#include <gtest/gtest.h>

#include <QDir>

#include "store/Dataunit.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

class NumberingTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    dm.LogBookFolder = ProgramFolder();
  }
  void Take(int number) { test::WriteAll(dm.ProfilePath(number), "this is dummy log File."); }

  test::ScriptedUi ui;
  TVelmDataModule dm;
};

TEST_F(NumberingTest, FirstFreeNumberFromSerial) {
  struct Case {
    int serial;
    std::vector<int> taken;
    int expected, serialAfter;
  };
  const Case cases[] = {
      {1, {}, 1, 2},
      {5, {5, 6}, 7, 8},
      {9999, {9999}, 1, 2},  // wraps from 9999 to 1
      {10000, {1}, 2, 3},    // above 9999 starts at 1
      {0, {}, 1, 2},
  };
  for (const Case& c : cases) {
    QDir(ProgramFolder()).removeRecursively();
    QDir().mkpath(ProgramFolder());
    for (int n : c.taken) Take(n);
    dm.Serial = c.serial;
    EXPECT_EQ(dm.NextFreeProfileNumber(), c.expected) << c.serial;
    EXPECT_EQ(dm.Serial, c.serialAfter) << c.serial;
  }
  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_EQ(dm.ProfilePath(7), ProgramFolder() + "/VELM0007.LOG");
}

TEST_F(NumberingTest, AllNumbersTakenGives1992) {
  for (int n = 1; n <= 9999; ++n) Take(n);
  dm.Serial = 4321;
  EXPECT_EQ(dm.NextFreeProfileNumber(), -1);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1992}));
  EXPECT_EQ(ui.Messages()[0].icon, os::MsgIcon::Warning);
  EXPECT_EQ(dm.Serial, 4321);
}

}  // namespace
