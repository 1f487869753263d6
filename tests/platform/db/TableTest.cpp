#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <random>
#include <set>

#include "platform/db/DataSource.h"
#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "platform/os/Formats.h"
#include "tests/support/TestFolders.h"

namespace {

using db::DbError;
using db::ErrorKind;
using db::FieldDef;
using db::FieldType;
using db::IndexDef;

class TableTest : public test::TestFolders {
 protected:
  // A keyed table: Id (key), Name A20, When (timestamp), At (time), Count (long).
  void DefinePeople(db::Table& t, const QString& name = "PEOPLE.DB") {
    t.SetDatabaseName(ProgramFolder());
    t.SetTableName(name);
    t.FieldDefs() = {FieldDef::Integer("Id"), FieldDef::String("Name", 20),
                     FieldDef::DateTime("When"), FieldDef::TimeOfDay("At"),
                     FieldDef::Integer("Count")};
    t.IndexDefs() = {{"", {"Id"}, true, false},
                     {"NAME", {"Name"}, false, false},
                     {"REV_NAME", {"Name"}, false, true},
                     {"WHEN_NAME", {"When", "Name"}, false, false}};
  }
  void Add(db::Table& t, int id, const QString& name, const QString& when = {},
           const QString& at = {}) {
    t.Append();
    t.FieldByName("Id").SetAsInteger(id);
    t.FieldByName("Name").SetAsString(name);
    if (!when.isEmpty()) t.FieldByName("When").SetAsString(when);
    if (!at.isEmpty()) t.FieldByName("At").SetAsString(at);
    t.Post();
  }
  static QStringList Walk(db::Table& t, const char* field = "Name") {
    QStringList out;
    for (t.First(); !t.Eof(); t.Next()) out << t.FieldByName(field).AsString();
    return out;
  }
  static QStringList WalkBack(db::Table& t, const char* field = "Name") {
    QStringList out;
    for (t.Last(); !t.Bof(); t.Prior()) out << t.FieldByName(field).AsString();
    return out;
  }
};

TEST_F(TableTest, ValuesOfEveryCreatedTypeSurviveReopening) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  Add(t, 7, QString::fromUtf8("Zoë Ångström"), "2001/05/12 09:05:00", "23:59:59");
  t.Append();
  t.FieldByName("Id").SetAsInteger(-3);
  t.FieldByName("Count").SetAsInteger(2147483647);
  t.FieldByName("When").SetAsDateTime(-1.25);  // 1899-12-29 06:00
  t.FieldByName("At").SetAsDateTime(0);        // midnight is a value, not blank
  t.FieldByName("Name").SetAsString("a name that is longer than twenty");
  t.Post();
  t.Close();

  t.Open();
  ASSERT_EQ(t.RecordCount(), 2);
  t.First();
  EXPECT_EQ(t.FieldByName("Id").AsInteger(), -3);
  EXPECT_EQ(t.FieldByName("Name").AsString(), "a name that is longe");  // cut to 20 bytes
  EXPECT_EQ(t.FieldByName("Count").AsInteger(), 2147483647);
  EXPECT_DOUBLE_EQ(t.FieldByName("When").AsDateTime(), -1.25);
  EXPECT_FALSE(t.FieldByName("At").IsNull());
  EXPECT_EQ(t.FieldByName("At").AsString(), "00:00:00");
  t.Next();
  EXPECT_EQ(t.FieldByName("Name").AsString(), QString::fromUtf8("Zoë Ångström"));
  EXPECT_EQ(t.FieldByName("When").AsString(), "2001/05/12 09:05:00");
  EXPECT_EQ(t.FieldByName("At").AsString(), "23:59:59");
  EXPECT_TRUE(t.FieldByName("Count").IsNull());
  EXPECT_EQ(t.FieldByName("Count").AsString(), "");
}

TEST_F(TableTest, KeyedTableKeepsKeyOrderThroughSplitsDeletesAndReopen) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  std::vector<int> ids(600);
  for (int i = 0; i < 600; ++i) ids[static_cast<std::size_t>(i)] = i * 3 + 1;
  std::mt19937 rng(42);
  std::shuffle(ids.begin(), ids.end(), rng);
  for (int id : ids) Add(t, id, QStringLiteral("n%1").arg(id));
  // Every third record goes again, from the middle of blocks and whole blocks.
  t.First();
  while (!t.Eof()) {
    if (t.FieldByName("Id").AsInteger() % 2 == 0) {
      t.Delete();
    } else {
      t.Next();
    }
  }
  t.Close();
  t.Open();
  std::vector<int> expected;
  for (int i = 0; i < 600; ++i) {
    if ((i * 3 + 1) % 2 != 0) expected.push_back(i * 3 + 1);
  }
  std::vector<int> seen;
  for (t.First(); !t.Eof(); t.Next()) seen.push_back(t.FieldByName("Id").AsInteger());
  EXPECT_EQ(seen, expected);
}

TEST_F(TableTest, SecondaryIndexesOrderAndFollowPosts) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  Add(t, 1, "Carl", "2001/01/02");
  Add(t, 2, "anna", "2001/01/01");
  Add(t, 3, "Bert", "2001/01/02");
  Add(t, 4, "Bert", "2000/12/31");

  t.SetIndexName("NAME");
  EXPECT_EQ(Walk(t), QStringList({"Bert", "Bert", "Carl", "anna"}));  // byte order
  EXPECT_EQ(Walk(t, "Id"), QStringList({"3", "4", "1", "2"}));        // ties in key order
  t.SetIndexName("REV_NAME");
  EXPECT_EQ(Walk(t), QStringList({"anna", "Carl", "Bert", "Bert"}));
  EXPECT_EQ(WalkBack(t), QStringList({"Bert", "Bert", "Carl", "anna"}));
  t.SetIndexName("WHEN_NAME");
  EXPECT_EQ(Walk(t, "Id"), QStringList({"4", "2", "3", "1"}));

  // An edit moves the record within the current order; an insert lands in place.
  t.SetIndexName("NAME");
  ASSERT_TRUE(t.FindKey({"Carl"}));
  t.Edit();
  t.FieldByName("Name").SetAsString("Aaron");
  t.Post();
  EXPECT_EQ(t.FieldByName("Name").AsString(), "Aaron");
  EXPECT_EQ(t.RecNo(), 1);
  Add(t, 9, "Bob");
  EXPECT_EQ(Walk(t), QStringList({"Aaron", "Bert", "Bert", "Bob", "anna"}));
  EXPECT_EQ(t.IndexName(), "NAME");
  t.SetIndexName("");
  EXPECT_EQ(Walk(t, "Id"), QStringList({"1", "2", "3", "4", "9"}));
}

TEST_F(TableTest, IndexDefinitionsPersistWithTheTable) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  db::Table again;
  again.SetDatabaseName(ProgramFolder());
  again.SetTableName("PEOPLE");
  EXPECT_EQ(again.IndexNames(), QStringList({"NAME", "REV_NAME", "WHEN_NAME"}));
  again.SetIndexName("rev_name");
  again.Open();
  EXPECT_EQ(again.IndexName(), "REV_NAME");
  ASSERT_EQ(again.Indexes().size(), 3u);
  EXPECT_EQ(again.Indexes()[2].fields, QStringList({"When", "Name"}));
  EXPECT_TRUE(again.Indexes()[1].descending);
  EXPECT_THROW(again.SetIndexName("NOPE"), DbError);
  again.Close();

  // An index added later is stored too, and refused when it cannot exist.
  again.AddIndex({"COUNT_DESC", {"count"}, false, true});
  EXPECT_THROW(again.AddIndex({"NAME", {"Id"}, false, false}), DbError);
  EXPECT_THROW(again.AddIndex({"X", {"Nope"}, false, false}), DbError);
  db::Table third;
  third.SetDatabaseName(ProgramFolder());
  third.SetTableName("PEOPLE.DB");
  EXPECT_EQ(third.IndexNames(), QStringList({"NAME", "REV_NAME", "WHEN_NAME", "COUNT_DESC"}));
}

TEST_F(TableTest, CursorBookmarksAndKeys) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  EXPECT_TRUE(t.Bof());
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.RecNo(), 0);
  for (int id : {10, 20, 30}) Add(t, id, QStringLiteral("p%1").arg(id));
  t.First();
  EXPECT_TRUE(t.Bof());
  EXPECT_FALSE(t.Eof());
  t.Next();
  const db::Bookmark mark = t.GetBookmark();
  t.Next();
  t.Next();
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.FieldByName("Id").AsInteger(), 30);
  t.GotoBookmark(mark);
  EXPECT_EQ(t.FieldByName("Id").AsInteger(), 20);
  EXPECT_FALSE(t.FindKey({"25"}));
  EXPECT_EQ(t.FieldByName("Id").AsInteger(), 20);
  EXPECT_TRUE(t.FindKey({"30"}));
  EXPECT_EQ(t.RecNo(), 3);
  t.GotoBookmark(mark);
  t.Delete();
  EXPECT_EQ(t.FieldByName("Id").AsInteger(), 30);  // the next record becomes current
  EXPECT_FALSE(t.BookmarkValid(mark));
  EXPECT_THROW(t.GotoBookmark(mark), DbError);
}

TEST_F(TableTest, DisplayTextReadsAnyPositionOfTheCurrentOrderWithoutMovingTheCursor) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  Add(t, 1, "Carl", "2001/01/02", "09:05:00");
  Add(t, 2, "anna");
  Add(t, 3, "Bert", "2001/01/01");
  t.SetIndexName("REV_NAME");
  ASSERT_TRUE(t.FindKey({"Carl"}));
  const int name = t.FieldIndex("Name");
  QStringList names;
  for (int p = 0; p < t.RecordCount(); ++p) names << t.DisplayText(p, name);
  EXPECT_EQ(names, QStringList({"anna", "Carl", "Bert"}));
  // Each field type reads as Field::AsString reads it; empty fields give "".
  for (int p = 0; p < t.RecordCount(); ++p) {
    t.First();
    for (int i = 0; i < p; ++i) t.Next();
    for (int f = 0; f < t.FieldCount(); ++f) {
      EXPECT_EQ(t.DisplayText(p, f), t.Fields(f).AsString()) << p << " " << f;
    }
  }
  ASSERT_TRUE(t.FindKey({"Carl"}));
  EXPECT_EQ(t.DisplayText(2, t.FieldIndex("When")), "2001/01/01");
  EXPECT_EQ(t.DisplayText(1, t.FieldIndex("At")), "09:05:00");
  // A bookmark taken at a position leads the cursor there.
  t.GotoBookmark(t.BookmarkAt(2));
  EXPECT_EQ(t.FieldByName("Name").AsString(), "Bert");
  EXPECT_EQ(t.RecNo(), 3);
  EXPECT_THROW(t.BookmarkAt(3), DbError);
  ASSERT_TRUE(t.FindKey({"Carl"}));
  // An edit in progress is not shown before it is posted.
  t.Edit();
  t.FieldByName("Name").SetAsString("Cecil");
  EXPECT_EQ(t.DisplayText(1, name), "Carl");
  t.Post();
  EXPECT_EQ(t.DisplayText(1, name), "Cecil");
  EXPECT_EQ(t.FieldByName("Name").AsString(), "Cecil");

  for (const auto& [p, f] : std::vector<std::pair<int, int>>{{-1, 0}, {3, 0}, {0, -1}, {0, 5}}) {
    EXPECT_THROW(t.DisplayText(p, f), DbError) << p << " " << f;
  }
  t.Close();
  EXPECT_THROW(t.DisplayText(0, 0), DbError);
}

TEST_F(TableTest, KeyViolationsAndCancelLeaveTheTableAsItWas) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  Add(t, 1, "one");
  Add(t, 2, "two");
  t.Append();
  t.FieldByName("Id").SetAsInteger(2);
  try {
    t.Post();
    FAIL() << "a second key 2 was posted";
  } catch (const DbError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::KeyViolation);
  }
  EXPECT_EQ(t.State(), db::DataState::Insert);
  t.Cancel();
  t.First();
  t.Edit();
  t.FieldByName("Id").SetAsInteger(2);
  EXPECT_THROW(t.Post(), DbError);
  t.Cancel();
  EXPECT_EQ(Walk(t), QStringList({"one", "two"}));
  EXPECT_THROW(t.FieldByName("Name").SetAsString("x"), DbError);  // not editing
  t.Edit();
  EXPECT_THROW(t.FieldByName("Count").SetAsString("12a"), DbError);
  EXPECT_THROW(t.FieldByName("When").SetAsString("2001/02/30"), DbError);
  EXPECT_THROW(t.FieldByName("Nope"), DbError);
}

TEST_F(TableTest, UnkeyedTableKeepsInsertionOrder) {
  db::Table t;
  t.SetDatabaseName(ProgramFolder());
  t.SetTableName("Depth00.DB");
  t.FieldDefs() = {FieldDef::DateTime("Time"), FieldDef::String("Depth", 6)};
  t.CreateTable();
  t.Open();
  for (int i = 0; i < 700; ++i) {
    t.Append();
    t.FieldByName("Depth").SetAsString(QString::number(i));
    t.Post();
  }
  t.First();
  t.Next();
  t.Insert();  // before the second record
  t.FieldByName("Depth").SetAsString("x");
  t.Post();
  t.Close();
  t.Open();
  const QStringList depths = Walk(t, "Depth");
  ASSERT_EQ(depths.size(), 701);
  EXPECT_EQ(depths.mid(0, 3), QStringList({"0", "x", "1"}));
  EXPECT_EQ(depths.last(), "699");
  EXPECT_EQ(QFileInfo::exists(InProgram("Depth00.PX")), false);
}

TEST_F(TableTest, AutoIncrementFieldsNumberNewRecords) {
  db::Table t;
  t.SetDatabaseName(ProgramFolder());
  t.SetTableName("AUTO.DB");
  t.FieldDefs() = {{"No", FieldType::AutoInc, 4}, FieldDef::String("Text", 5)};
  t.IndexDefs() = {{"", {"No"}, true, false}};
  t.CreateTable();
  for (int round = 0; round < 2; ++round) {
    t.Open();
    for (const char* text : {"a", "b"}) {
      t.Append();
      t.FieldByName("Text").SetAsString(text);
      t.Post();
    }
    t.Close();
  }
  t.Open();
  t.Append();
  t.FieldByName("No").SetAsInteger(10);  // a given number moves the counter on
  t.Post();
  t.Append();
  t.Post();
  EXPECT_EQ(Walk(t, "No"), QStringList({"1", "2", "3", "4", "10", "11"}));
  t.Close();
  const QByteArray file = test::ReadAll(InProgram("AUTO.DB"));
  EXPECT_EQ(file.mid(0x49, 4), QByteArray::fromHex("0b000000"));  // the last number handed out
}

TEST_F(TableTest, EmptyAndDeleteRemoveRecordsAndFiles) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  for (int id = 1; id <= 40; ++id) Add(t, id, "x");
  t.EmptyTable();
  EXPECT_EQ(t.RecordCount(), 0);
  Add(t, 5, "after");
  t.Close();
  t.Open();
  EXPECT_EQ(Walk(t), QStringList({"after"}));
  t.Close();
  t.EmptyTable();  // closed
  t.Open();
  EXPECT_EQ(t.RecordCount(), 0);
  EXPECT_THROW(t.DeleteTable(), DbError);  // open
  t.Close();
  t.DeleteTable();
  for (const char* f : {"PEOPLE.DB", "PEOPLE.PX", "PEOPLE.KIX"})
    EXPECT_FALSE(QFileInfo::exists(InProgram(f))) << f;
  EXPECT_THROW(t.DeleteTable(), DbError);
  EXPECT_THROW(t.Open(), DbError);
}

TEST_F(TableTest, ReadOnlyOpenReadsEveryRecordAndChangesNoFile) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  for (int id = 1; id <= 3; ++id) Add(t, id, QStringLiteral("p%1").arg(id));
  t.Close();
  ASSERT_TRUE(QFile::remove(InProgram("PEOPLE.PX")));
  const QByteArray before = test::ReadAll(InProgram("PEOPLE.DB"));

  db::Table reader;
  DefinePeople(reader);
  reader.SetReadOnly(true);
  reader.SetIndexName("REV_NAME");
  reader.Open();
  EXPECT_EQ(Walk(reader), QStringList({"p3", "p2", "p1"}));
  EXPECT_THROW(reader.Append(), DbError);
  EXPECT_THROW(reader.EmptyTable(), DbError);
  reader.First();
  EXPECT_THROW(reader.Delete(), DbError);
  reader.Close();

  EXPECT_EQ(test::ReadAll(InProgram("PEOPLE.DB")), before);
  EXPECT_FALSE(QFileInfo::exists(InProgram("PEOPLE.PX")));
}

TEST_F(TableTest, CreatingOverAnOldTableLeavesOnlyTheNewEmptyTable) {
  // The new table's files as a table created where none was.
  db::Table fresh;
  fresh.SetDatabaseName(ProgramFolder());
  fresh.SetTableName("FRESH.DB");
  fresh.FieldDefs() = {FieldDef::String("Note", 10)};
  fresh.CreateTable();
  const qint64 freshSize = QFileInfo(InProgram("FRESH.DB")).size();

  struct Case {
    const char* name;
    bool readOnly;  // the old .DB may not be written in place
  };
  for (const Case& c : {Case{"writable", false}, Case{"read-only", true}}) {
    db::Table old;
    DefinePeople(old);
    old.CreateTable();
    old.Open();
    for (int id = 1; id <= 300; ++id) Add(old, id, "someone");
    old.Close();
    if (c.readOnly) QFile::setPermissions(InProgram("PEOPLE.DB"), QFileDevice::ReadOwner);

    db::Table t;
    t.SetDatabaseName(ProgramFolder());
    t.SetTableName("PEOPLE.DB");
    t.FieldDefs() = fresh.FieldDefs();
    t.CreateTable();
    EXPECT_EQ(QFileInfo(InProgram("PEOPLE.DB")).size(), freshSize) << c.name;
    for (const char* f : {"PEOPLE.PX", "PEOPLE.KIX"})
      EXPECT_FALSE(QFileInfo::exists(InProgram(f))) << c.name << " " << f;
    t.Open();
    EXPECT_EQ(t.RecordCount(), 0) << c.name;
    ASSERT_EQ(t.FieldCount(), 1) << c.name;
    EXPECT_EQ(t.FieldList()[0].name, "Note") << c.name;
    t.Append();
    t.FieldByName("Note").SetAsString("new");
    t.Post();
    t.Close();
    t.Open();
    EXPECT_EQ(Walk(t, "Note"), QStringList({"new"})) << c.name;
    t.Close();
    t.DeleteTable();
  }
}

TEST_F(TableTest, APostIsInTheFileWhenItReturnsAndWritesOnlyWhatChanged) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  for (int id = 1; id <= 300; ++id) Add(t, id * 2, QStringLiteral("p%1").arg(id));
  const QByteArray before = test::ReadAll(InProgram("PEOPLE.DB"));
  t.FindKey({"300"});
  t.Edit();
  t.FieldByName("Name").SetAsString("changed");
  t.Post();
  // Another reader sees the change while this table is still open.
  db::Table reader;
  DefinePeople(reader);
  reader.Open();
  ASSERT_TRUE(reader.FindKey({"300"}));
  EXPECT_EQ(reader.FieldByName("Name").AsString(), "changed");
  // Bytes changed only in the header's counters and in one data block.
  const QByteArray after = test::ReadAll(InProgram("PEOPLE.DB"));
  ASSERT_EQ(after.size(), before.size());
  const int blockSize = static_cast<unsigned char>(before[5]) * 1024;
  const int headerSize =
      static_cast<unsigned char>(before[2]) | (static_cast<unsigned char>(before[3]) << 8);
  std::set<int> blocksTouched;
  for (int i = 0; i < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    if (i < 0x78) continue;  // counters and update time
    ASSERT_GE(i, headerSize) << "header byte " << i;
    blocksTouched.insert((i - headerSize) / blockSize);
  }
  EXPECT_EQ(blocksTouched.size(), 1u);
}

TEST_F(TableTest, BlobsLiveInTheBlobFileAsTheFormatSays) {
  db::Table t;
  t.SetDatabaseName(ProgramFolder());
  t.SetTableName("ALBUM3.DB");
  t.FieldDefs() = {
      FieldDef::Integer("No"), FieldDef::Graphic("Picture"), {"Note", FieldType::Memo, 20}};
  t.IndexDefs() = {{"", {"No"}, true, false}};
  t.CreateTable();
  t.Open();
  QByteArray bmp("BM");
  bmp += QByteArray(5000, 'p');
  t.Append();
  t.FieldByName("No").SetAsInteger(1);
  t.FieldByName("Picture").SetAsBlob(bmp);
  t.FieldByName("Note").SetAsString("short");  // fits the leader
  t.Post();
  t.Append();
  t.FieldByName("No").SetAsInteger(2);
  t.FieldByName("Note").SetAsString(QString(300, u'm'));
  t.Post();
  t.Close();
  t.Open();
  t.First();
  EXPECT_EQ(t.FieldByName("Picture").AsBlob(), bmp);
  EXPECT_EQ(t.FieldByName("Note").AsString(), "short");
  t.Next();
  EXPECT_TRUE(t.FieldByName("Picture").IsNull());
  EXPECT_EQ(t.FieldByName("Note").AsString(), QString(300, u'm'));

  const QByteArray mb = test::ReadAll(InProgram("ALBUM3.MB"));
  ASSERT_EQ(mb.size() % 4096, 0);
  EXPECT_EQ(mb[0], 0);  // header block
  // The picture: a single-blob block at 4096 holding the 8-byte prefix and the image.
  ASSERT_GE(mb.size(), 4096 + 9 + 8 + bmp.size());
  EXPECT_EQ(mb[4096], 2);
  const auto le32 = [&](int at) {
    return static_cast<quint32>(static_cast<unsigned char>(mb[at]) |
                                (static_cast<unsigned char>(mb[at + 1]) << 8) |
                                (static_cast<unsigned char>(mb[at + 2]) << 16) |
                                (static_cast<unsigned char>(mb[at + 3]) << 24));
  };
  EXPECT_EQ(le32(4096 + 3), static_cast<quint32>(bmp.size() + 8));
  EXPECT_EQ(mb.mid(4096 + 9, 8),
            QByteArray::fromHex("0100000100000000").left(4) + QByteArray::fromHex("8A130000"));
  EXPECT_EQ(mb.mid(4096 + 17, 2), "BM");

  // Replacing a blob frees its old block run.
  t.First();
  t.Edit();
  t.FieldByName("Picture").SetAsBlob("BMsmall");
  t.Post();
  EXPECT_EQ(test::ReadAll(InProgram("ALBUM3.MB"))[4096], 4);
  EXPECT_EQ(t.FieldByName("Picture").AsBlob(), "BMsmall");
}

TEST_F(TableTest, MasterDetailFollowsTheMastersRecord) {
  db::Table master;
  DefinePeople(master);
  master.CreateTable();
  master.Open();
  Add(master, 1, "Ann");
  Add(master, 2, "Bob");

  db::Table detail;
  detail.SetDatabaseName(ProgramFolder());
  detail.SetTableName("DIVES.DB");
  detail.FieldDefs() = {FieldDef::Integer("No"), FieldDef::Integer("Person"),
                        FieldDef::String("Site", 20)};
  detail.IndexDefs() = {{"", {"No"}, true, false}, {"PERSON", {"Person"}, false, false}};
  detail.CreateTable();
  detail.SetIndexName("PERSON");
  detail.Open();
  const struct {
    int no, person;
    const char* site;
  } rows[] = {{1, 1, "Reef"}, {2, 2, "Wreck"}, {3, 1, "Cave"}};
  for (const auto& r : rows) {
    detail.Append();
    detail.FieldByName("No").SetAsInteger(r.no);
    detail.FieldByName("Person").SetAsInteger(r.person);
    detail.FieldByName("Site").SetAsString(r.site);
    detail.Post();
  }
  detail.SetMasterSource(&master, "Id", "Person");
  master.First();
  EXPECT_EQ(Walk(detail, "Site"), QStringList({"Reef", "Cave"}));
  master.Next();
  EXPECT_EQ(Walk(detail, "Site"), QStringList({"Wreck"}));
  EXPECT_THROW(detail.SetIndexName(""), DbError);  // the key does not begin with "Person"
  EXPECT_EQ(detail.IndexName(), "PERSON");
  EXPECT_EQ(Walk(detail, "Site"), QStringList({"Wreck"}));
  detail.Append();  // a new detail record takes the master's value
  detail.FieldByName("No").SetAsInteger(4);
  detail.Post();
  EXPECT_EQ(detail.RecordCount(), 2);
  EXPECT_EQ(detail.FieldByName("Person").AsInteger(), 2);
  detail.SetMasterSource(nullptr, {}, {});
  EXPECT_EQ(detail.RecordCount(), 4);
}

TEST_F(TableTest, DataSourceSignalsUnlessControlsAreDisabled) {
  db::Table t;
  DefinePeople(t);
  t.CreateTable();
  t.Open();
  db::DataSource source;
  source.SetDataSet(&t);
  int scrolled = 0, changed = 0, states = 0;
  QObject::connect(&source, &db::DataSource::RecordScrolled, [&] { ++scrolled; });
  QObject::connect(&source, &db::DataSource::DataChanged, [&] { ++changed; });
  QObject::connect(&source, &db::DataSource::StateChanged, [&] { ++states; });
  Add(t, 1, "a");
  Add(t, 2, "b");
  EXPECT_GE(changed, 2);
  EXPECT_GE(states, 4);  // insert, browse, insert, browse
  t.First();
  t.Next();
  EXPECT_GE(scrolled, 2);
  scrolled = changed = states = 0;
  t.DisableControls();
  t.DisableControls();
  t.First();
  Add(t, 3, "c");
  t.EnableControls();
  EXPECT_EQ(scrolled + changed + states, 0);
  t.EnableControls();
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(scrolled + states, 0);
}

TEST_F(TableTest, DefinitionsThatCannotBeStoredAreRefused) {
  struct Case {
    const char* name;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
  };
  const Case cases[] = {
      {"no fields", {}, {}},
      {"duplicate field", {FieldDef::Integer("A"), FieldDef::Integer("a")}, {}},
      {"alpha too long", {FieldDef::String("A", 256)}, {}},
      {"name too long", {FieldDef::Integer("a name of more than twenty-five")}, {}},
      {"key not first",
       {FieldDef::Integer("A"), FieldDef::Integer("B")},
       {{"", {"B"}, true, false}}},
      {"index without key", {FieldDef::Integer("A")}, {{"X", {"A"}, false, false}}},
      {"unknown index field",
       {FieldDef::Integer("A")},
       {{"", {"A"}, true, false}, {"X", {"Q"}, false, false}}},
      {"blob in index",
       {FieldDef::Integer("A"), FieldDef::Graphic("G")},
       {{"", {"A"}, true, false}, {"X", {"G"}, false, false}}},
  };
  for (const Case& c : cases) {
    db::Table t;
    t.SetDatabaseName(ProgramFolder());
    t.SetTableName("BAD.DB");
    t.FieldDefs() = c.fields;
    t.IndexDefs() = c.indexes;
    EXPECT_THROW(t.CreateTable(), DbError) << c.name;
    EXPECT_FALSE(QFileInfo::exists(InProgram("BAD.DB"))) << c.name;
  }
}

}  // namespace
