// The main window's journal display driven through the real TMainForm over a
// data module in a test folder.
#include <gtest/gtest.h>

#include <QDialog>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/DetailPanel.h"
#include "app/JournalGrid.h"
#include "app/JournalGridModel.h"
#include "app/Mainunit.h"
#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "store/JournalTable.h"
#include "store/Velm.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

const char* const kDivers[] = {"Carla", "Ann", "Bob", "Eve", "Dan"};

JournalRecord Dive(int id) {
  JournalRecord r;
  r.ID = id;
  r.Mode = 1;
  r.Date = *fmt::TryEncodeDate(2001, 1 + id % 12, 1 + id % 28);
  r.No = QString::number(id % 10);
  r.EntryTime = *fmt::TryEncodeTime(9, id % 60, 0);
  r.DiveTime = *fmt::TryEncodeTime(0, 40, 0);
  r.Diver = kDivers[id % 5];
  r.Buddy = kDivers[(id + 2) % 5];
  r.Site = QStringLiteral("Site %1").arg(id);
  r.MaxDepth = "20.5";
  r.Memo = QStringLiteral("memo %1").arg(id);
  return r;
}

class MainFormJournalTest : public test::TestFolders {
 protected:
  // A journal of 9999 records, written once for the whole program and
  // copied into the log-book folder of the tests that need it.
  static void SetUpTestSuite() {
    full_ = std::make_unique<QTemporaryDir>();
    db::Table t;
    t.SetDatabaseName(full_->path());
    t.SetTableName("LOG.DB");
    t.FieldDefs() = journal::FieldDefs();
    t.IndexDefs() = journal::IndexDefs();
    t.CreateTable();
    t.Open();
    for (int id = 1; id <= 9999; ++id) journal::AppendRecord(t, Dive(id));
    t.Close();
  }
  static void TearDownTestSuite() { full_.reset(); }

  void UseFullJournal() {
    QDir().mkpath(InProgram("LOG"));
    for (const QString& f : QDir(full_->path()).entryList(QDir::Files)) {
      ASSERT_TRUE(QFile::copy(full_->filePath(f), InProgram("LOG/" + f)));
    }
  }

  // Starts a data module and a shown main window over it.
  void Start(int records = 0) {
    dm_ = std::make_unique<TVelmDataModule>();
    ASSERT_EQ(dm_->VelmDataModuleCreate(), 0);
    for (int id = 1; id <= records; ++id) journal::AppendRecord(dm_->LogTable, Dive(id));
    form_ = std::make_unique<TMainForm>();
    form_->show();
  }
  void Restart() {
    dm_->VelmDataModuleDestroy();
    form_.reset();
    dm_.reset();
    Start();
  }
  void TearDown() override {
    form_.reset();
    dm_.reset();
    test::TestFolders::TearDown();
  }

  db::Table& Table() { return dm_->LogTable; }
  JournalGrid* Grid() { return form_->Grid(); }
  JournalGridModel* Model() { return Grid()->JournalModel(); }
  QString Total() { return form_->findChild<QLabel*>("TotalText")->text(); }
  QString Cell(int row, const QString& field) {
    for (int c = 0; c < Model()->columnCount(); ++c) {
      if (Model()->FieldName(c) == field) return Model()->index(row, c).data().toString();
    }
    return "<no column>";
  }
  int Column(const QString& field) {
    for (int c = 0; c < Model()->columnCount(); ++c) {
      if (Model()->FieldName(c) == field) return c;
    }
    return -1;
  }
  void ClickTitle(const QString& field) {
    QHeaderView* header = Grid()->horizontalHeader();
    const int c = Column(field);
    ASSERT_GE(c, 0) << field.toStdString();
    Grid()->scrollTo(Model()->index(0, c));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, header->height() / 2));
  }
  void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
    const QModelIndex index = Model()->index(row, 0);
    Grid()->scrollTo(index);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, modifiers, Grid()->visualRect(index).center());
  }
  std::vector<int> SelectedRows() {
    std::vector<int> rows;
    for (const QModelIndex& i : Grid()->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  int CurrentId() { return journal::ReadRecord(Table()).ID; }

  test::ScriptedUi ui_;
  std::unique_ptr<TVelmDataModule> dm_;
  std::unique_ptr<TMainForm> form_;
  static std::unique_ptr<QTemporaryDir> full_;
};

std::unique_ptr<QTemporaryDir> MainFormJournalTest::full_;

TEST_F(MainFormJournalTest, GridShowsTheVisibleFieldsInTableOrder) {
  Start(3);
  QStringList expected = journal_view::FieldNames();
  for (const char* hidden : {"ID", "Mode", "WatchData"}) expected.removeAll(hidden);
  const auto titles = [&] {
    QStringList out;
    for (int c = 0; c < Model()->columnCount(); ++c) {
      out << Model()->headerData(c, Qt::Horizontal).toString();
    }
    return out;
  };
  EXPECT_EQ(titles(), expected);
  EXPECT_EQ(Model()->rowCount(), 3);
  EXPECT_EQ(Cell(1, "Diver"), "Bob");
  EXPECT_EQ(Cell(1, "Date"), "2001/03/03");
  EXPECT_EQ(Cell(1, "Entry Time"), "09:02:00");
  // Reopening the journal (a switch of log book) hides the control fields again.
  Table().Close();
  EXPECT_EQ(Model()->columnCount(), 0);
  dm_->OpenJournalTable();
  EXPECT_EQ(titles(), expected);
  EXPECT_EQ(Model()->rowCount(), 3);
}

TEST_F(MainFormJournalTest, TitleClicksSortWithTheDescendingTogglePerField) {
  Start(5);  // divers of IDs 1 to 5: Ann, Bob, Eve, Dan, Carla
  struct Case {
    std::vector<const char*> clicks;
    const char* index;
    const char* firstDiver;  // nullptr: not checked
  };
  const std::vector<Case> cases = {
      {{"Diver"}, "Diver", "Ann"},
      {{"Diver", "Diver"}, "REV_DIVER", "Eve"},
      {{"Diver", "Diver", "Diver"}, "Diver", "Ann"},
      {{"Date"}, "DATE", nullptr},
      {{"Date", "Date"}, "REV_DATE", nullptr},
      {{"Diver", "Buddy", "Diver"}, "Diver", "Ann"},
      {{"Buddy", "Buddy"}, "REV_BUDDY", nullptr},
  };
  for (const Case& c : cases) {
    form_ = std::make_unique<TMainForm>();  // a fresh sort state
    form_->show();
    for (const char* field : c.clicks) ClickTitle(field);
    EXPECT_EQ(Table().IndexName(), c.index) << c.clicks.size() << " clicks on " << c.clicks[0];
    if (c.firstDiver != nullptr) {
      EXPECT_EQ(Cell(0, "Diver"), c.firstDiver) << c.index;
    }
    EXPECT_EQ(Grid()->currentIndex().column(), Column(c.clicks.back()));
    EXPECT_EQ(Grid()->currentIndex().row(), 0);
  }
  // Date order: date, then the dive number of the day.
  ClickTitle("Date");
  EXPECT_EQ(Table().IndexName(), "DATE");
  QStringList dates;
  for (int row = 0; row < Model()->rowCount(); ++row) dates << Cell(row, "Date");
  QStringList sorted = dates;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(dates, sorted);
}

TEST_F(MainFormJournalTest, SortSwitchesWithTheViewsQuiet) {
  Start(5);
  QSignalSpy scrolled(&dm_->LogDataSource, &db::DataSource::RecordScrolled);
  QSignalSpy changed(&dm_->LogDataSource, &db::DataSource::DataChanged);
  ClickTitle("Diver");
  EXPECT_EQ(scrolled.count(), 0);
  EXPECT_EQ(changed.count(), 1);
  // The detail panel follows the new first record.
  EXPECT_EQ(form_->Detail()->Text("DiverText"), "Ann");
}

TEST_F(MainFormJournalTest, RecordCountAndCreatingCommands) {
  Start();
  EXPECT_EQ(Total(), "0000");
  for (const char* name : {"NewSpdBtn", "RecvSpdBtn", "NewEdit", "DataRecv", "Import", "Ver1", "Dos"}) {
    form_->CreatingCommandBuilt(name);
  }
  const auto enabled = [&] {
    std::vector<bool> out;
    for (const char* b : journal_view::kCreatingButtons) out.push_back(form_->Button(b)->isEnabled());
    for (const char* i : journal_view::kCreatingItems) out.push_back(form_->Item(i)->isEnabled());
    return out;
  };
  EXPECT_EQ(enabled(), std::vector<bool>(7, true));
  // Edit creates nothing: the count does not decide it.
  EXPECT_TRUE(form_->Item("Edit")->isEnabled());

  dm_->SearchMode = 1;
  form_->RefreshRecordCount();
  EXPECT_EQ(enabled(), std::vector<bool>(7, false));
  dm_->SearchMode = 0;
  form_->RefreshRecordCount();
  EXPECT_EQ(enabled(), std::vector<bool>(7, true));
}

TEST_F(MainFormJournalTest, NewAndEditOpenTheEntryForm) {
  Start();
  std::vector<QString> shown;
  ui_.OnModal([&](QDialog& d) {
    shown.push_back(d.objectName() + " " + d.windowTitle());
    return static_cast<int>(QDialog::Rejected);
  });
  form_->EditSpdBtnClick();  // an empty journal has nothing to edit
  EXPECT_EQ(ui_.MessageIds(), std::vector<int>({1861}));
  EXPECT_EQ(ui_.Messages()[0].icon, os::MsgIcon::Information);
  EXPECT_TRUE(shown.empty());

  form_->Button("NewSpdBtn")->click();
  journal::AppendRecord(Table(), Dive(1));
  form_->Item("Edit")->trigger();
  EXPECT_EQ(shown, std::vector<QString>({"DiaryEditForm New edit", "DiaryEditForm Edit"}));
}

TEST_F(MainFormJournalTest, AFullJournalDisablesTheCreatingCommandsUntilARecordGoes) {
  UseFullJournal();
  Start();
  form_->CreatingCommandBuilt("NewSpdBtn");
  form_->CreatingCommandBuilt("DataRecv");
  EXPECT_EQ(Total(), "9999");
  EXPECT_EQ(Model()->rowCount(), 9999);
  EXPECT_FALSE(form_->Button("NewSpdBtn")->isEnabled());
  EXPECT_FALSE(form_->Item("DataRecv")->isEnabled());
  form_->LastSpdBtnClick();
  Table().Delete();
  form_->RefreshRecordCount();
  EXPECT_EQ(Total(), "9998");
  EXPECT_EQ(Model()->rowCount(), 9998);
  EXPECT_TRUE(form_->Button("NewSpdBtn")->isEnabled());
  EXPECT_TRUE(form_->Item("DataRecv")->isEnabled());
}

TEST_F(MainFormJournalTest, DetailPanelFollowsTheCurrentRecord) {
  dm_ = std::make_unique<TVelmDataModule>();
  ASSERT_EQ(dm_->VelmDataModuleCreate(), 0);
  dm_->PressureUnit = "bar";
  dm_->CapacityUnit = "l";
  dm_->WeightUnit = "kg";
  JournalRecord zero = Dive(1);
  zero.Date = 0.0;
  zero.Mode = 2;
  journal::AppendRecord(Table(), zero);
  journal::AppendRecord(Table(), Dive(2));
  form_ = std::make_unique<TMainForm>();
  DetailPanel* panel = form_->Detail();
  EXPECT_EQ(panel->Text("DiverText"), "");  // cleared until the first show
  form_->show();

  form_->TopSpdBtnClick();
  EXPECT_EQ(panel->Text("DateText"), "");
  EXPECT_EQ(panel->Text("WeekText"), "[    ]");
  EXPECT_EQ(panel->Text("LengthUnitLabel1"), "ft");
  EXPECT_EQ(panel->Picture("TmpImage3"), "FAHR_BITMAP");
  EXPECT_EQ(panel->Text("DBMemo"), "memo 1");
  EXPECT_EQ(panel->Text("SiteText"), "Site 1");
  for (const auto& [label, unit] : std::vector<std::pair<const char*, const char*>>{
           {"CapaUnitLabel1", "l"}, {"PreUnitLabel1", "bar"}, {"PreUnitLabel2", "bar"},
           {"CapaUnitLabel2", "bar"}, {"WeightUnitLabel", "kg"}}) {
    EXPECT_EQ(panel->Text(label), unit) << label;
  }

  form_->NextSpdBtnClick();
  EXPECT_EQ(panel->Text("DateText"), "2001/03/03");
  EXPECT_EQ(panel->Text("WeekText"), "[Sat]");
  EXPECT_EQ(panel->Text("LengthUnitLabel3"), "m");
  EXPECT_EQ(panel->Picture("TmpImage1"), "CENTI_BITMAP");
  EXPECT_EQ(panel->Text("EntryText"), "09:02:00");
  EXPECT_TRUE(form_->findChild<QWidget*>("DBMemo")->property("readOnly").toBool());

  // A record edited elsewhere shows at once.
  Table().Edit();
  Table().FieldByName("Diver").SetAsString("Zoe");
  Table().Post();
  EXPECT_EQ(panel->Text("DiverText"), "Zoe");
  EXPECT_EQ(Cell(1, "Diver"), "Zoe");

  dm_->WeightUnit = "lb";
  form_->RefreshUnitLabels();
  EXPECT_EQ(panel->Text("WeightUnitLabel"), "lb");

  Table().EmptyTable();
  EXPECT_EQ(panel->Text("DiverText"), "");
  EXPECT_EQ(panel->Text("WeekText"), "[    ]");
}

TEST_F(MainFormJournalTest, NavigationButtonsSelectOnlyTheNewRow) {
  Start(6);
  form_->Button("LastSpdBtn")->click();
  EXPECT_EQ(CurrentId(), 6);
  EXPECT_EQ(SelectedRows(), std::vector<int>({5}));
  form_->Button("PrevSpdBtn")->click();
  EXPECT_EQ(CurrentId(), 5);
  EXPECT_EQ(SelectedRows(), std::vector<int>({4}));
  form_->Button("TopSpdBtn")->click();
  EXPECT_EQ(SelectedRows(), std::vector<int>({0}));
  form_->Button("PrevSpdBtn")->click();  // already on the first: stays
  EXPECT_EQ(CurrentId(), 1);
  EXPECT_EQ(SelectedRows(), std::vector<int>({0}));
  form_->Button("NextSpdBtn")->click();
  EXPECT_EQ(CurrentId(), 2);
  EXPECT_EQ(SelectedRows(), std::vector<int>({1}));
  EXPECT_EQ(Model()->headerData(1, Qt::Vertical).toString(), QString(QChar(0x25B6)));
  EXPECT_EQ(Model()->headerData(0, Qt::Vertical).toString(), "");
}

TEST_F(MainFormJournalTest, ClickingRowsMovesTheJournalAndSelectsSeveral) {
  Start(8);
  QSignalSpy clicked(form_.get(), &TMainForm::CurrentRecordClicked);
  ClickRow(3);
  EXPECT_EQ(CurrentId(), 4);
  EXPECT_EQ(form_->Detail()->Text("SiteText"), "Site 4");
  EXPECT_EQ(clicked.count(), 1);
  ClickRow(6, Qt::ControlModifier);
  EXPECT_EQ(CurrentId(), 7);
  EXPECT_EQ(SelectedRows(), std::vector<int>({3, 6}));
  EXPECT_EQ(Grid()->SelectedRowCount(), 2);
  ClickRow(1);
  EXPECT_EQ(SelectedRows(), std::vector<int>({1}));
  EXPECT_EQ(clicked.count(), 3);
}

TEST_F(MainFormJournalTest, ColumnWidthsSurviveAReset) {
  Start(3);
  const int c = Column("Loc./Site");
  ASSERT_GE(c, 0);
  Grid()->setColumnWidth(c, 177);
  ClickTitle("Diver");
  EXPECT_EQ(Grid()->columnWidth(Column("Loc./Site")), 177);
}

TEST_F(MainFormJournalTest, ARestartAppliesTheStoredSort) {
  Start(5);
  ClickTitle("Diver");
  ClickTitle("Diver");
  ASSERT_EQ(Table().IndexName(), "REV_DIVER");
  Restart();
  EXPECT_EQ(Table().IndexName(), "REV_DIVER");
  EXPECT_EQ(Cell(0, "Diver"), "Eve");
  EXPECT_EQ(Model()->CurrentRow(), 0);
  // The toggle is not stored: the first click sorts ascending.
  ClickTitle("Diver");
  EXPECT_EQ(Table().IndexName(), "Diver");
}

TEST_F(MainFormJournalTest, AStoredSortTheJournalLacksKeepsThePrimaryOrder) {
  Start(3);
  velmq::SetUconfString("Default", "Sort Field", "NO_SUCH_INDEX");
  Restart();
  EXPECT_EQ(Table().IndexName(), "");
  EXPECT_TRUE(ui_.Messages().empty());
}

}  // namespace
