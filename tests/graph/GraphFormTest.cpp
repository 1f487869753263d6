#include "graph/Graphunit.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "graph/Modecheckunit.h"
#include "platform/chart/ChartRenderer.h"
#include "platform/chart/ChartWidget.h"
#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

// A profile of `depths` (sample lines) and `waters`.
QByteArray Profile(char unit, const std::vector<const char*>& depths,
                   const std::vector<const char*>& waters) {
  QByteArray text = QByteArray(1, unit) + ",2026,12,11,1,9,0,0,9,30,0,1,0,100,20,50,30\n\n";
  for (const char* d : depths) text += QByteArray(d) + '\n';
  text += '\n';
  for (const char* w : waters) text += QByteArray(w) + '\n';
  return text;
}

class GraphFormTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
    form = std::make_unique<TGraphForm>();
  }
  void TearDown() override {
    form.reset();
    TestFolders::TearDown();
  }
  db::Bookmark AddDive(int id, int mode, const QByteArray& text, int watchData = 1) {
    JournalRecord r;
    r.ID = id;
    r.Mode = mode;
    r.Date = fmt::TryEncodeDate(2026, 12, 11);
    r.No = QString::number(id);
    r.WatchData = watchData;
    journal::AppendRecord(dm.LogTable, r);
    test::WriteAll(dm.ProfilePath(id), text);
    dm.LogTable.FindKey({QString::number(id)});
    return dm.LogTable.GetBookmark();
  }
  QString Text(const char* name) { return form->findChild<QLabel*>(name)->text(); }

  test::ScriptedUi ui;
  TVelmDataModule dm;
  std::unique_ptr<TGraphForm> form;
};

TEST_F(GraphFormTest, NineRowsAreRefused) {
  std::vector<db::Bookmark> rows;
  for (int id = 1; id <= 9; ++id) rows.push_back(AddDive(id, 1, Profile('M', {"100"}, {"200"})));
  form->GraphSpdBtnClick(rows);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{1870});
  EXPECT_EQ(dm.GraphKind, 0);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->Lines[0].loaded);
}

TEST_F(GraphFormTest, MixedUnitsAskOnceAndConvertEveryDive) {
  std::vector<db::Bookmark> rows = {AddDive(1, 1, Profile('M', {"123"}, {"250"})),
                                    AddDive(2, 2, Profile('F', {"40"}, {"77"})),
                                    AddDive(3, 1, Profile('M', {"050"}, {"180"}))};
  dm.LogTable.GotoBookmark(rows[0]);
  ui.OnModal([](QDialog& d) {
    static_cast<TModeCheckDlg&>(d).FarhenheitBtn->click();
    return d.result();
  });
  form->GraphSpdBtnClick(rows);
  EXPECT_EQ(ui.ModalCount(), 1);
  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_EQ(dm.GraphKind, 2);
  EXPECT_TRUE(form->isVisible());
  for (int j = 0; j < 3; ++j) EXPECT_TRUE(form->Lines[j].loaded) << j;
  EXPECT_FALSE(form->Lines[3].loaded);
  EXPECT_EQ(form->Lines[0].depth.At(5), "40.3");  // 12.3 m in feet
  EXPECT_EQ(form->Lines[1].depth.At(5), "40");    // already feet
  EXPECT_EQ(form->Lines[2].water.At(300), "64.4");
  EXPECT_EQ(form->DBChart->model().left.title, "feet");
  EXPECT_EQ(dm.LogTable.GetBookmark(), rows[0]);  // the journal position is kept
  EXPECT_FALSE(Text("NoText3").isEmpty());
  EXPECT_FALSE(form->Lines[3].LinePanel->isVisibleTo(form.get()));
}

TEST_F(GraphFormTest, CancellingTheUnitQuestionDrawsNothing) {
  std::vector<db::Bookmark> rows = {AddDive(1, 1, Profile('M', {"123"}, {})),
                                    AddDive(2, 2, Profile('F', {"40"}, {}))};
  dm.LogTable.GotoBookmark(rows[0]);
  ui.OnModal([](QDialog& d) {
    static_cast<TModeCheckDlg&>(d).CancelButton->click();
    return d.result();
  });
  form->GraphSpdBtnClick(rows);
  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_EQ(dm.GraphKind, 0);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->Lines[0].loaded);
}

TEST_F(GraphFormTest, RowsWithoutProfileLeaveNoGapAndNoLegend) {
  std::vector<db::Bookmark> rows = {AddDive(1, 1, Profile('M', {"100"}, {})),
                                    AddDive(2, 1, "this is dummy log File.", 2),
                                    AddDive(3, 1, Profile('M', {"200"}, {})),
                                    AddDive(4, 1, Profile('M', {}, {"200"}))};
  form->GraphSpdBtnClick(rows);
  EXPECT_TRUE(form->Lines[1].loaded);
  EXPECT_EQ(Text("NoText2"), "3");
  EXPECT_FALSE(form->Lines[2].loaded);
  EXPECT_FALSE(form->Lines[2].LinePanel->isVisibleTo(form.get()));
  EXPECT_TRUE(form->DBChart->model().series[10].data.empty());
}

TEST_F(GraphFormTest, CursorKeysAndValues) {
  AddDive(1, 1, Profile('M', {"000", "005", "123"}, {"182"}));
  form->GraphSpdBtnClick({dm.LogTable.GetBookmark()});
  ASSERT_TRUE(form->Lines[0].loaded);
  ASSERT_EQ(form->TimeSpan, 600);
  EXPECT_EQ(form->CursorTime, 0);

  struct Step {
    int key;
    Qt::KeyboardModifiers mods;
    int time;
    const char* depth;
    const char* water;
  };
  const Step steps[] = {
      {Qt::Key_Left, Qt::NoModifier, 0, "", ""},          // at the minimum it stays
      {Qt::Key_Right, Qt::NoModifier, 5, "", ""},         // depth 0 shows empty
      {Qt::Key_Right, Qt::NoModifier, 10, ".5", ""},
      {Qt::Key_Right, Qt::NoModifier, 15, "12.3", ""},
      {Qt::Key_Right, Qt::ShiftModifier, 315, "", ""},
      {Qt::Key_Left, Qt::NoModifier, 310, "", ""},
      {Qt::Key_Right, Qt::ControlModifier, 600, "", ""},
      {Qt::Key_Right, Qt::NoModifier, 600, "", ""},       // at the maximum it stays
      {Qt::Key_Left, Qt::ControlModifier, 0, "", ""},
      {Qt::Key_Right, Qt::ShiftModifier, 300, "", "18.2"},
  };
  for (const Step& s : steps) {
    form->FormKeyDown(s.key, s.mods);
    EXPECT_EQ(form->CursorTime, s.time) << s.time;
    EXPECT_EQ(Text("DepthText1"), s.depth) << s.time;
    EXPECT_EQ(Text("WaterText1"), s.water) << s.time;
    EXPECT_EQ(Text("PTimeText"), graph::CursorTimeText(s.time));
  }
  form->FormKeyDown(Qt::Key_Escape, Qt::NoModifier);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(dm.GraphKind, 0);
  EXPECT_FALSE(dm.DepthTable[1].Active());
  EXPECT_FALSE(form->Lines[0].loaded);
}

TEST_F(GraphFormTest, GraphAgainOnTheSameSingleRecordDoesNotReload) {
  const db::Bookmark only = AddDive(1, 1, Profile('M', {"100", "120"}, {"200"}));
  form->GraphSpdBtnClick({only});
  ASSERT_TRUE(form->Lines[0].loaded);
  ASSERT_EQ(dm.GraphKind, 1);
  // Were it read again, the missing file would give "No graph data found".
  QFile::remove(dm.ProfilePath(1));
  form->GraphSpdBtnClick({only});
  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_TRUE(form->Lines[0].loaded);
  EXPECT_TRUE(form->Lines[0].LinePanel->isVisibleTo(form.get()));
  EXPECT_EQ(form->LoadGraph({only}), 0);
}

TEST_F(GraphFormTest, NoProfileShowsNoGraphData) {
  const db::Bookmark hand = AddDive(1, 1, "this is dummy log File.", 2);
  form->GraphSpdBtnClick({hand});
  EXPECT_EQ(ui.MessageIds(), std::vector<int>{1860});
  EXPECT_EQ(dm.GraphKind, 0);
  EXPECT_FALSE(form->isVisible());
}

// The chart as the window draws it: each loaded dive's line in its colour,
// depth growing downward, and the cursor line at the cursor time.
TEST_F(GraphFormTest, ChartShowsEverySeriesDownwardDepthAndTheCursor) {
  dm.GraphLines[0].Color = 0x0000FF;  // red
  dm.GraphLines[1].Color = 0xFF0000;  // blue
  dm.Graph.CursorColor = 0x00FF00;    // green
  dm.Graph.Flags = GraphConf::View2D | GraphConf::GridHidden | GraphConf::PlainColor;
  form->ApplyGraphConf();
  std::vector<const char*> shallow(120, "020"), deep(120, "180");
  std::vector<db::Bookmark> rows = {AddDive(1, 1, Profile('M', shallow, {"200"})),
                                    AddDive(2, 1, Profile('M', deep, {"220"}))};
  form->GraphSpdBtnClick(rows);
  form->MoveCursorTo(300);
  const chart::Chart& c = form->DBChart->model();
  const QRectF area(0, 0, 640, 400);
  QImage image(area.size().toSize(), QImage::Format_RGB32);
  {
    QPainter painter(&image);
    chart::Render(c, painter, area);
  }
  const chart::Layout layout(c, area);
  const auto near = [&](double x, double y, QColor color) {
    for (int dx = -2; dx <= 2; ++dx) {
      for (int dy = -2; dy <= 2; ++dy) {
        if (image.pixelColor(int(x) + dx, int(y) + dy) == color) return true;
      }
    }
    return false;
  };
  const double x = layout.ValueToX(200 / 86400.0);
  const double yShallow = layout.ValueToY(chart::AxisSide::Left, 2.0);
  const double yDeep = layout.ValueToY(chart::AxisSide::Left, 18.0);
  EXPECT_GT(yDeep, yShallow + 100);  // deeper is lower on the picture
  EXPECT_TRUE(near(x, yShallow, QColor(255, 0, 0)));
  EXPECT_TRUE(near(x, yDeep, QColor(0, 0, 255)));
  const double cursorX = layout.ValueToX(300 / 86400.0);
  const double middle = (layout.back().top() + layout.back().bottom()) / 2;
  EXPECT_TRUE(near(cursorX, middle, QColor(0, 255, 0)));
  EXPECT_FALSE(near(cursorX + 20, middle, QColor(0, 255, 0)));
  // The widget paints the same picture.
  form->resize(640 + 192, 432);
  const QImage shown = form->DBChart->grab().toImage();
  EXPECT_FALSE(shown.isNull());
}

}  // namespace
