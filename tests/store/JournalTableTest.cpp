#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "platform/db/Table.h"
#include "store/Dataunit.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

using db::FieldType;

class JournalTableTest : public test::TestFolders {
 protected:
  void AddDive(db::Table& t, int id, const char* date, const char* no, const char* entry,
               const char* diver) {
    t.Append();
    t.FieldByName("ID").SetAsInteger(id);
    t.FieldByName("Date").SetAsString(date);
    t.FieldByName("No").SetAsString(no);
    t.FieldByName("Entry Time").SetAsString(entry);
    t.FieldByName("Diver").SetAsString(diver);
    t.Post();
  }
  static QStringList Walk(db::Table& t, const char* field) {
    QStringList out;
    for (t.First(); !t.Eof(); t.Next()) out << t.FieldByName(field).AsString();
    return out;
  }
  test::ScriptedUi ui;
};

TEST_F(JournalTableTest, ANewLogBookGetsTheJournalWithEveryFieldAndIndex) {
  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  ASSERT_TRUE(dm.LogTable.Active());
  EXPECT_EQ(dm.LogTable.RecordCount(), 0);
  EXPECT_EQ(dm.LogTable.FilePath(), QDir(dm.LogBookFolder).filePath("LOG.DB"));

  db::Table t;  // what the file itself holds
  t.SetDatabaseName(dm.LogBookFolder);
  t.SetTableName("LOG.DB");
  t.Open();
  const struct {
    const char* name;
    FieldType type;
    int size;
  } fields[] = {
      {"ID", FieldType::Long, 4},
      {"Mode", FieldType::Long, 4},
      {"Date", FieldType::Timestamp, 8},
      {"No", FieldType::Alpha, 1},
      {"Entry Time", FieldType::Time, 4},
      {"Surf. Time", FieldType::Time, 4},
      {"Diver", FieldType::Alpha, 20},
      {"Loc./Site", FieldType::Alpha, 20},
      {"Buddy", FieldType::Alpha, 20},
      {"Ave.Depth", FieldType::Alpha, 5},
      {"Max.Depth", FieldType::Alpha, 5},
      {"Ave.Water", FieldType::Alpha, 5},
      {"Min.Water", FieldType::Alpha, 5},
      {"Rest Time", FieldType::Time, 4},
      {"Dive Time", FieldType::Time, 4},
      {"Weather", FieldType::Alpha, 12},
      {"Temp.", FieldType::Alpha, 4},
      {"Clarity", FieldType::Alpha, 4},
      {"Tank Material", FieldType::Alpha, 10},
      {"Tank Capacity", FieldType::Alpha, 4},
      {"Start Air Pres.", FieldType::Alpha, 4},
      {"End Air Pres.", FieldType::Alpha, 4},
      {"Air Consum.", FieldType::Alpha, 7},
      {"Weight", FieldType::Alpha, 4},
      {"User Article1", FieldType::Alpha, 12},
      {"User Article Content1", FieldType::Alpha, 20},
      {"User Article2", FieldType::Alpha, 12},
      {"User Article Content2", FieldType::Alpha, 20},
      {"User Article3", FieldType::Alpha, 12},
      {"User Article Content3", FieldType::Alpha, 20},
      {"User Article4", FieldType::Alpha, 12},
      {"User Article Content4", FieldType::Alpha, 20},
      {"Memo", FieldType::Alpha, 200},
      {"WatchData", FieldType::Long, 4},
  };
  ASSERT_EQ(t.FieldCount(), 34);
  for (int i = 0; i < 34; ++i) {
    const db::FieldDef& f = t.FieldList()[static_cast<std::size_t>(i)];
    EXPECT_EQ(f.name, fields[i].name) << i;
    EXPECT_EQ(f.type, fields[i].type) << fields[i].name;
    EXPECT_EQ(f.size, fields[i].size) << fields[i].name;
  }
  EXPECT_EQ(t.KeyFieldCount(), 1);  // the primary index: "ID"

  const QStringList date = {"Date",      "No",        "Entry Time", "Surf. Time",
                            "Ave.Depth", "Max.Depth", "Ave.Water",  "Min.Water"};
  std::vector<db::IndexDef> expected = {{"DATE", date, false, false}};
  for (const char* f : {"No",
                        "Entry Time",
                        "Surf. Time",
                        "Ave.Depth",
                        "Max.Depth",
                        "Ave.Water",
                        "Min.Water",
                        "Rest Time",
                        "Dive Time",
                        "Diver",
                        "Buddy",
                        "Loc./Site",
                        "Weather",
                        "Temp.",
                        "Clarity",
                        "Tank Capacity",
                        "Tank Material",
                        "Weight",
                        "Start Air Pres.",
                        "End Air Pres.",
                        "User Article1",
                        "User Article Content1",
                        "User Article2",
                        "User Article Content2",
                        "User Article3",
                        "User Article Content3",
                        "User Article4",
                        "User Article Content4",
                        "Memo",
                        "Air Consum."}) {
    expected.push_back({f, {f}, false, false});
  }
  expected.push_back({"REV_DATE", date, false, true});
  const std::pair<const char*, const char*> reverse[] = {
      {"REV_NO", "No"},
      {"REV_ENTRY", "Entry Time"},
      {"REV_SURF", "Surf. Time"},
      {"REV_AVEDEPTH", "Ave.Depth"},
      {"REV_MAXDEPTH", "Max.Depth"},
      {"REV_AVEWATER", "Ave.Water"},
      {"REV_RESTTIME", "Rest Time"},
      {"REV_DIVETIME", "Dive Time"},
      {"REV_DIVER", "Diver"},
      {"REV_BUDDY", "Buddy"},
      {"REV_SITE", "Loc./Site"},
      {"REV_WEATHER", "Weather"},
      {"REV_TEMP", "Temp."},
      {"REV_VISI", "Clarity"},
      {"REV_CAPA", "Tank Capacity"},
      {"REV_MAT", "Tank Material"},
      {"REV_WEIGHT", "Weight"},
      {"REV_START", "Start Air Pres."},
      {"REV_FINISH", "End Air Pres."},
      {"REV_UE1", "User Article1"},
      {"REV_UEV1", "User Article Content1"},
      {"REV_UE2", "User Article2"},
      {"REV_UEV2", "User Article Content2"},
      {"REV_UE3", "User Article3"},
      {"REV_UEV3", "User Article Content3"},
      {"REV_UE4", "User Article4"},
      {"REV_UEV4", "User Article Content4"},
      {"REV_MEMO", "Memo"},
      {"REV_CONS", "Air Consum."},
      {"REV_MINWATER", "Min.Water"},
  };
  for (const auto& [name, field] : reverse) expected.push_back({name, {field}, false, true});
  ASSERT_EQ(expected.size(), 62u);  // with the primary index, 63
  ASSERT_EQ(t.Indexes().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(t.Indexes()[i], expected[i]) << expected[i].name.toStdString();

  // The grid never sees the control fields.
  for (int i = 0; i < dm.LogTable.FieldCount(); ++i) {
    const QString name = dm.LogTable.Fields(i).Name();
    const bool control = name == "ID" || name == "Mode" || name == "WatchData";
    EXPECT_EQ(dm.LogTable.Fields(i).Visible(), !control) << name.toStdString();
  }
  EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(JournalTableTest, ReverseDiverAndDateIndexesOrderTheJournal) {
  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  db::Table& log = dm.LogTable;
  AddDive(log, 1, "2001/05/12", "2", "10:00:00", "Mia");
  AddDive(log, 2, "2001/05/12", "1", "14:00:00", "Anna");
  AddDive(log, 3, "2000/01/03", "1", "09:00:00", "Zed");
  AddDive(log, 4, "2001/05/12", "1", "08:30:00", "Bea");
  AddDive(log, 5, "2001/05/11", "-", "23:00:00", "Carl");

  log.SetIndexName("REV_DIVER");
  EXPECT_EQ(Walk(log, "Diver"), QStringList({"Zed", "Mia", "Carl", "Bea", "Anna"}));
  log.SetIndexName("DATE");
  EXPECT_EQ(Walk(log, "ID"), QStringList({"3", "5", "4", "2", "1"}));
  log.SetIndexName("REV_DATE");
  EXPECT_EQ(Walk(log, "ID"), QStringList({"1", "2", "4", "5", "3"}));
  dm.VelmDataModuleDestroy();

  // The journal and its sort survive into the next run.
  TVelmDataModule next;
  ASSERT_EQ(next.VelmDataModuleCreate(), 0);
  EXPECT_EQ(next.LogTable.RecordCount(), 5);
}

TEST_F(JournalTableTest, TheTemporaryJournalIsRecreatedEvenWhenItsFileVanished) {
  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  const QString tmpPath = QDir(dm.WorkFolder).filePath("LOG.DB");
  for (int use = 0; use < 3; ++use) {
    dm.PrepareTmpLogTable();
    EXPECT_FALSE(dm.TmpLogTable.Active());
    ASSERT_TRUE(QFileInfo::exists(tmpPath));
    dm.TmpLogTable.Open();
    EXPECT_EQ(dm.TmpLogTable.RecordCount(), 0) << use;  // a fresh table every time
    EXPECT_EQ(dm.TmpLogTable.FieldCount(), 34);
    EXPECT_EQ(dm.TmpLogTable.KeyFieldCount(), 0);
    EXPECT_TRUE(dm.TmpLogTable.Indexes().empty());
    AddDive(dm.TmpLogTable, 7, "2001/01/01", "1", "10:00:00", "x");
    dm.TmpLogTable.Close();
    if (use == 1) {
      ASSERT_TRUE(QFile::remove(tmpPath));
    }
  }
  EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(JournalTableTest, TheSearchTableIsCreatedInItsFolderWithTheJournalsIndexes) {
  TVelmDataModule dm;
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  dm.OpenSearchTable();
  EXPECT_TRUE(dm.SearchLogTable.Active());
  EXPECT_EQ(dm.SearchLogTable.FilePath(), QDir(dm.LogBookFolder).filePath("SEARCH/LOG.DB"));
  EXPECT_EQ(dm.SearchLogTable.Indexes().size(), 62u);
  AddDive(dm.SearchLogTable, 9, "2001/01/01", "1", "10:00:00", "kept");
  dm.OpenSearchTable();  // an existing table is opened as it is
  EXPECT_EQ(dm.SearchLogTable.RecordCount(), 1);
  dm.SearchLogTable.Close();
  test::WriteAll(InProgram("LOG/SEARCH/LOG.DB"), "damaged");
  dm.OpenSearchTable();  // a damaged copy is made anew
  EXPECT_TRUE(dm.SearchLogTable.Active());
  EXPECT_EQ(dm.SearchLogTable.RecordCount(), 0);
}

TEST_F(JournalTableTest, AJournalWithoutItsIndexDefinitionsGetsThemBack) {
  {
    TVelmDataModule dm;
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
    AddDive(dm.LogTable, 1, "2001/05/12", "1", "10:00:00", "Ann");
  }
  ASSERT_TRUE(QFile::remove(InProgram("LOG/LOG.KIX")));
  TVelmDataModule dm;
  dm.LogTable.SetIndexName("REV_DIVER");  // a sort chosen before the journal opens
  ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  EXPECT_EQ(dm.LogTable.Indexes().size(), 62u);
  EXPECT_EQ(dm.LogTable.RecordCount(), 1);
  EXPECT_EQ(dm.LogTable.IndexName(), "REV_DIVER");
  EXPECT_TRUE(QFileInfo::exists(InProgram("LOG/LOG.KIX")));
  EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(JournalTableTest, TheCsvRebuildRunsOnlyForANewJournalWithACsvFile) {
  QDir(ProgramFolder()).mkdir("LOG");
  test::WriteAll(InProgram("LOG/logtable.csv"), "one record");
  int rebuilds = 0;
  {
    TVelmDataModule dm;
    dm.RebuildJournalFromCsv = [&] {
      ++rebuilds;
      EXPECT_TRUE(dm.LogTable.Exists());
    };
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  }
  EXPECT_EQ(rebuilds, 1);
  TVelmDataModule again;
  again.RebuildJournalFromCsv = [&] { ++rebuilds; };
  ASSERT_EQ(again.VelmDataModuleCreate(), 0);
  EXPECT_EQ(rebuilds, 1);
}

TEST_F(JournalTableTest, ADamagedJournalIsKeptAsideAndReplaced) {
  QDir(ProgramFolder()).mkdir("LOG");
  const QByteArray damaged = QByteArray("not a table at all") + QByteArray(3000, 'x');
  test::WriteAll(InProgram("LOG/LOG.DB"), damaged);
  test::WriteAll(InProgram("LOG/LOG.PX"), "index");
  struct Case {
    bool csv;
    const char* says;
  };
  for (const Case c :
       {Case{false, "A new, empty journal was created."}, Case{true, "filled from logtable.csv"}}) {
    SCOPED_TRACE(c.csv);
    if (c.csv) {
      test::WriteAll(InProgram("LOG/LOG.DB"), damaged);
      test::WriteAll(InProgram("LOG/logtable.csv"), "csv");
    }
    ui.Clear();
    TVelmDataModule dm;
    int rebuilds = 0;
    dm.RebuildJournalFromCsv = [&] { ++rebuilds; };
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
    EXPECT_TRUE(dm.LogTable.Active());
    EXPECT_EQ(dm.LogTable.RecordCount(), 0);
    EXPECT_EQ(rebuilds, c.csv ? 1 : 0);
    ASSERT_EQ(ui.Messages().size(), 1u);
    const os::MessageRequest& m = ui.Messages().front();
    EXPECT_EQ(m.captionId, 1);
    EXPECT_EQ(m.icon, os::MsgIcon::Warning);
    EXPECT_TRUE(m.text.contains("could not be read")) << m.text.toStdString();
    EXPECT_TRUE(m.text.contains(c.says)) << m.text.toStdString();
    // The damaged files are all still there under their new names.
    const QStringList kept = QDir(InProgram("LOG")).entryList({"LOG.DB.damaged-*"});
    ASSERT_FALSE(kept.isEmpty());
    EXPECT_EQ(test::ReadAll(InProgram("LOG/" + kept.last())), damaged);
    EXPECT_TRUE(m.text.contains(kept.last())) << m.text.toStdString();
    if (!c.csv) {
      const QStringList px = QDir(InProgram("LOG")).entryList({"LOG.PX.damaged-*"});
      ASSERT_EQ(px.size(), 1);
      EXPECT_EQ(test::ReadAll(InProgram("LOG/" + px.first())), "index");
    }
  }
}

}  // namespace
