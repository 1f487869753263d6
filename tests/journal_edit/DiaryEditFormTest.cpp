#include "journal_edit/Diaryeditunit.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "store/Velm.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

class DiaryEditFormTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  }
  template <typename T = QLineEdit>
  static T* Find(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  // Types a text into an edit and leaves it towards the OK button.
  static void Type(TDiaryEditForm& f, const char* name, const QString& text) {
    QLineEdit* e = Find(f, name);
    e->setText(text);
    QWidget* next = Find<QPushButton>(f, "OkButton");
    const QString n = QLatin1String(name);
    if (n == "YearEdit" || n == "MonthEdit" || n == "DateEdit") f.DateEditExit(e, next);
    else if (n.endsWith("HEdit")) f.RestTimeHEditExit(e);
    else if (n.endsWith("MEdit") || n.endsWith("SEdit")) f.RestTimeMEditExit(e);
    else f.NoEditExit(e, next);
  }
  static void FillRequired(TDiaryEditForm& f, const QString& no = "1") {
    Type(f, "YearEdit", "2001");
    Type(f, "MonthEdit", "5");
    Type(f, "DateEdit", "12");
    Type(f, "NoEdit", no);
  }
  JournalRecord Current() { return journal::ReadRecord(dm.LogTable); }

  test::ScriptedUi ui;
  TVelmDataModule dm;
};

TEST_F(DiaryEditFormTest, ANewRecordByHandGetsAPlaceholderProfile) {
  TDiaryEditForm f;
  f.SetMode(2);
  EXPECT_EQ(f.windowTitle(), "New edit");
  EXPECT_TRUE(Find<QPushButton>(f, "PrevButton")->isHidden());
  FillRequired(f, "0");  // stored as "-"
  Type(f, "EntryTimeHEdit", "9");
  Type(f, "EntryTimeSEdit", "30");  // the empty minute is saved as "00"
  Find<QPlainTextEdit>(f, "Memo")->setPlainText("first line\nsecond line");
  f.MemoExit(nullptr);
  ui.QueueAnswer(os::IdNo);  // no further record
  f.OkButtonClick();
  EXPECT_EQ(f.result(), QDialog::Accepted);

  ASSERT_EQ(dm.LogTable.RecordCount(), 1);
  dm.LogTable.First();
  const JournalRecord r = Current();
  EXPECT_EQ(r.ID, 1);
  EXPECT_EQ(r.WatchData, 2);
  EXPECT_EQ(r.No, "-");
  EXPECT_EQ(fmt::DateToStr(*r.Date), "2001/05/12");
  EXPECT_EQ(fmt::TimeToStr(*r.EntryTime), "09:00:30");
  EXPECT_EQ(r.Memo, "first linesecond line");
  EXPECT_EQ(test::ReadAll(dm.ProfilePath(1)), "this is dummy log File.");
  EXPECT_EQ(QFile(dm.CsvPath()).size(), 545);  // the mirror follows
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({228}));
  EXPECT_EQ(ui.Messages()[0].captionId, 37);
  EXPECT_EQ(ui.Messages()[0].buttons, os::MsgButtons::YesNo);
}

// A new record starts with the stored default articles: the name before the
// comma of "User Item" (none without a comma) and the whole 20-character
// default content.
TEST_F(DiaryEditFormTest, ANewRecordStartsWithTheDefaultArticles) {
  ASSERT_TRUE(QDir(ProgramFolder()).mkpath("USERCONF"));
  velmq::SetUconfIndexData("User Item", 1, "Camera,USER0001.LST");
  velmq::SetUconfIndexData("User Entry", 1, "Nikonos V with flash");  // 20 characters
  velmq::SetUconfIndexData("User Item", 2, "No comma here");
  velmq::SetUconfIndexData("User Entry", 2, "kept");
  TDiaryEditForm f;
  f.SetMode(2);
  EXPECT_EQ(Find<QComboBox>(f, "UentComboBox1")->currentText(), "Camera");
  EXPECT_EQ(Find<QComboBox>(f, "UvComboBox1")->currentText(), "Nikonos V with flash");
  EXPECT_EQ(Find<QComboBox>(f, "UentComboBox2")->currentText(), "");
  EXPECT_EQ(Find<QComboBox>(f, "UvComboBox2")->currentText(), "kept");
  EXPECT_EQ(Find<QComboBox>(f, "UentComboBox3")->currentText(), "");
}

TEST_F(DiaryEditFormTest, ContinueRegistrationMakesAFurtherRecordOnlyAfterAChange) {
  TDiaryEditForm f;
  f.SetMode(2);
  FillRequired(f);
  ui.QueueAnswer(os::IdYes);
  f.OkButtonClick();  // saves record 1 and stays open
  EXPECT_EQ(dm.LogTable.RecordCount(), 1);
  ui.QueueAnswer(os::IdYes);
  f.OkButtonClick();  // nothing changed: nothing saved
  EXPECT_EQ(dm.LogTable.RecordCount(), 1);
  Type(f, "NoEdit", "2");
  ui.QueueAnswer(os::IdNo);
  f.OkButtonClick();
  EXPECT_EQ(dm.LogTable.RecordCount(), 2);
  EXPECT_TRUE(QFile::exists(dm.ProfilePath(2)));
}

TEST_F(DiaryEditFormTest, FieldChecksShowTheirMessages) {
  TDiaryEditForm f;
  f.SetMode(2);
  struct Case {
    const char* edit;
    const char* text;
    int message;
  };
  const Case cases[] = {
      {"TmpEdit", "2x", 1891},       {"TmpEdit", "25.5", 0},      {"NoEdit", "-", 0},
      {"NoEdit", "a", 1891},         {"EntryTimeHEdit", "24", 1910}, {"EntryTimeHEdit", "23", 0},
      {"DiveTimeSEdit", "60", 1920}, {"DiveTimeMEdit", "59", 0},
  };
  for (const Case& c : cases) {
    ui.Clear();
    Type(f, c.edit, c.text);
    EXPECT_EQ(ui.MessageIds(), c.message ? std::vector<int>({c.message}) : std::vector<int>())
        << c.edit << " " << c.text;
  }
  ui.Clear();
  Type(f, "YearEdit", "2001");
  Type(f, "MonthEdit", "2");
  Type(f, "DateEdit", "29");
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1891}));
  ASSERT_FALSE(ui.Messages().empty());
  EXPECT_EQ(ui.Messages()[0].captionId, 37);
  EXPECT_EQ(ui.Messages()[0].icon, os::MsgIcon::Information);

  // Leaving towards Cancel checks nothing, except the times.
  ui.Clear();
  QLineEdit* temp = Find(f, "TmpEdit");
  temp->setText("zz");
  f.NoEditExit(temp, Find<QPushButton>(f, "CancelButton"));
  EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(DiaryEditFormTest, RequiredFieldsGuardOk) {
  TDiaryEditForm f;
  f.SetMode(2);
  f.OkButtonClick();
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1900}));
  ui.Clear();
  FillRequired(f, "x");  // neither "-" nor a digit: a message, not a failure
  f.OkButtonClick();
  // Leaving No shows 1891; OK then refuses with 1890.
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1891, 1890}));
  EXPECT_EQ(dm.LogTable.RecordCount(), 0);
}

TEST_F(DiaryEditFormTest, AirConsumption) {
  TDiaryEditForm f;
  f.SetMode(2);
  Type(f, "StartPreEdit", "200");
  Type(f, "FinishPreEdit", "50");
  Type(f, "AveDEdit", "12.0");
  Type(f, "DiveTimeHEdit", "0");
  Type(f, "DiveTimeMEdit", "45");
  Type(f, "DiveTimeSEdit", "30");
  f.Modified = false;
  f.ConsButtonClick();
  EXPECT_EQ(Find(f, "ConsumptionEdit")->text(), "1.47");
  EXPECT_TRUE(f.Modified);

  Type(f, "DiveTimeMEdit", "0");
  Type(f, "DiveTimeSEdit", "29");
  ui.Clear();
  f.ConsButtonClick();
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1925}));
  EXPECT_EQ(ui.Messages()[0].captionId, 225);
  EXPECT_EQ(Find(f, "ConsumptionEdit")->text(), "1.47");  // unchanged
}

TEST_F(DiaryEditFormTest, AReceivedDiveKeepsItsWatchValues) {
  JournalRecord received;
  received.ID = 7;
  received.WatchData = 1;
  received.Date = *fmt::TryEncodeDate(2001, 5, 12);
  received.No = "2";
  received.MaxDepth = "12.3";
  received.DiveTime = *fmt::TryEncodeTime(0, 40, 0);
  journal::AppendRecord(dm.LogTable, received);
  test::WriteAll(dm.ProfilePath(7), "M,2001,5,12\n");
  dm.LogTable.First();

  TDiaryEditForm f;
  f.SetMode(1);
  EXPECT_EQ(f.windowTitle(), "Edit");
  for (const char* name : {"YearEdit", "NoEdit", "MaxDEdit", "DiveTimeMEdit", "EntryTimeHEdit"}) {
    EXPECT_FALSE(Find(f, name)->isEnabled()) << name;
  }
  EXPECT_TRUE(Find(f, "WeightEdit")->isEnabled());
  EXPECT_EQ(Find(f, "DiveTimeMEdit")->text(), "40");
  Type(f, "WeightEdit", "4.5");
  f.OkButtonClick();
  EXPECT_EQ(f.result(), QDialog::Accepted);
  dm.LogTable.First();
  const JournalRecord r = Current();
  EXPECT_EQ(r.Weight, "4.5");
  EXPECT_EQ(r.MaxDepth, "12.3");
  EXPECT_EQ(r.WatchData, 1);
  EXPECT_EQ(test::ReadAll(dm.ProfilePath(7)), "M,2001,5,12\n");  // the samples stay
}

TEST_F(DiaryEditFormTest, PrevAndNextSaveAndFollowTheJournalOrder) {
  for (int id : {1, 2, 3}) {
    JournalRecord r;
    r.ID = id;
    r.WatchData = 2;
    r.Date = *fmt::TryEncodeDate(2001, 5, id);
    r.No = QString::number(id);
    r.Diver = QString("Diver %1").arg(id);
    journal::AppendRecord(dm.LogTable, r);
  }
  dm.LogTable.First();
  TDiaryEditForm f;
  f.SetMode(1);
  EXPECT_EQ(Find<QComboBox>(f, "DiverComboBox")->currentText(), "Diver 1");
  Type(f, "TmpEdit", "28");
  f.NextButtonClick();
  EXPECT_EQ(Find<QComboBox>(f, "DiverComboBox")->currentText(), "Diver 2");
  f.PrevButtonClick();
  EXPECT_EQ(Find(f, "TmpEdit")->text(), "28");  // saved on the way
  f.PrevButtonClick();  // at the first record it stays
  EXPECT_EQ(Find<QComboBox>(f, "DiverComboBox")->currentText(), "Diver 1");
}

TEST_F(DiaryEditFormTest, APlaceholderThatCannotBeWrittenIsReported) {
  TDiaryEditForm f;
  f.SetMode(2);
  dm.LogBookFolder = InProgram("missing-book");  // the placeholder cannot be created
  FillRequired(f);
  ui.QueueAnswer(os::IdNo);
  f.OkButtonClick();
  EXPECT_EQ(dm.LogTable.RecordCount(), 1);  // the record stays saved
  EXPECT_EQ(ui.MessageIds().front(), 1991);
}

}  // namespace
