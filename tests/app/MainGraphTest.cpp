#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QToolButton>

#include "app/Mainunit.h"
#include "graph/Graphunit.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

class MainGraphTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  }
  test::ScriptedUi ui;
  TMainForm main;
  TVelmDataModule dm;
};

TEST_F(MainGraphTest, GraphCommandDrawsTheCurrentRecordAndLocksPrintAndHtml) {
  TGraphForm graph;
  main.AttachGraphForm(&graph);
  // Print is pretended to exist already, HTML not: each gets its own state back.
  main.Button("PrintSpdBtn")->setEnabled(true);
  main.Item("Print")->setEnabled(true);

  main.Button("GraphSpdBtn")->click();
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{1861});  // an empty journal

  JournalRecord r;
  r.ID = 5;
  r.No = "1";
  journal::AppendRecord(dm.LogTable, r);
  test::WriteAll(dm.ProfilePath(5), "M\n\n100\n120\n\n200\n");
  ui.Clear();
  main.Item("GraphDisp")->trigger();
  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_TRUE(graph.isVisible());
  EXPECT_EQ(dm.GraphKind, 1);
  EXPECT_TRUE(graph.Lines[0].loaded);
  for (const char* name : {"PrintSpdBtn", "HTMLSpdBtn"}) EXPECT_FALSE(main.Button(name)->isEnabled()) << name;
  for (const char* name : {"Print", "HTML"}) EXPECT_FALSE(main.Item(name)->isEnabled()) << name;

  graph.ExitSpdBtn->click();
  EXPECT_FALSE(graph.isVisible());
  EXPECT_EQ(dm.GraphKind, 0);
  EXPECT_TRUE(main.Button("PrintSpdBtn")->isEnabled());
  EXPECT_TRUE(main.Item("Print")->isEnabled());
  EXPECT_FALSE(main.Button("HTMLSpdBtn")->isEnabled());
  EXPECT_FALSE(main.Item("HTML")->isEnabled());
  EXPECT_EQ(dm.GraphPlacement.length, 44u);
}

}  // namespace
