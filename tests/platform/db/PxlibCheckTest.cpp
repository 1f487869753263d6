// Our files read by pxlib, an independent Paradox reader, with the primary
// index attached: every value must come back as written, in key order.
#include <gtest/gtest.h>

#include <QDate>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

#include "platform/db/BatchMove.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/db/Table.h"
#include "tests/platform/db/PxlibReader.h"
#include "tests/support/TestFolders.h"

namespace {

using db::FieldDef;
using db::FieldType;

std::string Num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

long DayNumber(int y, int m, int d) {
  return static_cast<long>(QDate(y, m, d).toJulianDay() - 1721425);
}

class PxlibCheckTest : public test::TestFolders {};

TEST_F(PxlibCheckTest, EveryTypeWeCreateReadsBackThroughPxlib) {
  db::Table t;
  t.SetDatabaseName(ProgramFolder());
  t.SetTableName("TYPES.DB");
  t.FieldDefs() = {FieldDef::Integer("Id"),        FieldDef::String("Text", 12),
                   FieldDef::DateTime("Stamp"),    FieldDef::TimeOfDay("Clock"),
                   {"Small", FieldType::Short, 2}, {"Real", FieldType::Number, 8},
                   {"Day", FieldType::Date, 4},    {"Flag", FieldType::Logical, 1}};
  t.IndexDefs() = {{"", {"Id"}, true, false}, {"TEXT", {"Text"}, false, true}};
  t.CreateTable();
  t.Open();
  const struct Row {
    int id;
    const char* text;
    const char* stamp;
    const char* clock;
    const char* small;
    const char* real;
    const char* day;
    const char* flag;
  } rows[] = {
      {5, "Five", "2001/05/12 09:05:00", "12:00:00", "-2", "-1.5", "2018/01/01", "True"},
      {-7, "caf\xe9", "1899/12/30", "00:00:00", "32767", "200.36", "0001/01/01", "False"},
      {100, "", "", "", "", "", "", ""},
  };
  for (const Row& r : rows) {
    t.Append();
    t.FieldByName("Id").SetAsInteger(r.id);
    t.FieldByName("Text").SetAsString(QString::fromLatin1(r.text));
    t.FieldByName("Stamp").SetAsString(r.stamp);
    t.FieldByName("Clock").SetAsString(r.clock);
    t.FieldByName("Small").SetAsString(r.small);
    t.FieldByName("Real").SetAsString(r.real);
    t.FieldByName("Day").SetAsString(r.day);
    t.FieldByName("Flag").SetAsString(r.flag);
    t.Post();
  }
  t.Close();

  pxcheck::Table px;
  std::string error;
  ASSERT_TRUE(pxcheck::Read(InProgram("TYPES.DB").toStdString(),
                            InProgram("TYPES.PX").toStdString(), px, error))
      << error;
  EXPECT_TRUE(px.indexAttached);
  EXPECT_EQ(px.fieldNames, (std::vector<std::string>{"Id", "Text", "Stamp", "Clock", "Small",
                                                     "Real", "Day", "Flag"}));
  EXPECT_EQ(px.fieldTypes, (std::vector<int>{0x04, 0x01, 0x15, 0x14, 0x03, 0x06, 0x02, 0x09}));
  const double day2001 = DayNumber(2001, 5, 12);
  const std::vector<std::vector<std::string>> expected = {
      {"-7", "caf\xe9", Num(DayNumber(1899, 12, 30) * 86400000.0), "0", "32767",
       "200.36000000000001", std::to_string(DayNumber(1, 1, 1)), "false"},
      {"5", "Five", Num(day2001 * 86400000.0 + 32700000.0), "43200000", "-2", "-1.5",
       std::to_string(DayNumber(2018, 1, 1)), "true"},
      {"100", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>", "<null>"},
  };
  EXPECT_EQ(px.rows, expected);
}

TEST_F(PxlibCheckTest, SplitAndShrunkTablesKeepAValidTwoLevelIndex) {
  // Wide records (3 to a block) make enough blocks for a two-level .PX.
  db::Table t;
  t.SetDatabaseName(ProgramFolder());
  t.SetTableName("WIDE.DB");
  t.FieldDefs() = {FieldDef::Integer("Id"), FieldDef::String("A", 255), FieldDef::String("B", 255)};
  t.IndexDefs() = {{"", {"Id"}, true, false}};
  t.CreateTable();
  t.Open();
  std::vector<int> ids(1500);
  for (int i = 0; i < 1500; ++i) ids[static_cast<std::size_t>(i)] = i + 1;
  std::mt19937 rng(7);
  std::shuffle(ids.begin(), ids.end(), rng);
  for (int id : ids) {
    t.Append();
    t.FieldByName("Id").SetAsInteger(id);
    t.FieldByName("A").SetAsString(QStringLiteral("a%1").arg(id));
    t.Post();
  }
  // Scattered deletes, then whole runs: emptied blocks (the head block too)
  // leave the chain and are taken again by the records added afterwards.
  std::set<int> kept(ids.begin(), ids.end());
  auto remove = [&](int id) {
    if (!kept.count(id)) return;
    ASSERT_TRUE(t.FindKey({QString::number(id)}));
    t.Delete();
    kept.erase(id);
  };
  for (int id = 1; id <= 1500; id += 7) remove(id);
  for (int id = 1; id <= 300; ++id) remove(id);
  for (int id = 700; id <= 900; ++id) remove(id);
  for (int id = 2000; id < 2100; ++id) {
    t.Append();
    t.FieldByName("Id").SetAsInteger(id % 2 ? id
                                            : 800 + (id - 2000));  // some land in the freed range
    t.FieldByName("A").SetAsString(QStringLiteral("a%1").arg(t.FieldByName("Id").AsInteger()));
    t.Post();
    kept.insert(t.FieldByName("Id").AsInteger());
  }
  t.Close();
  const QByteArray pxFile = test::ReadAll(InProgram("WIDE.PX"));
  ASSERT_GE(pxFile.size(), 0x21);
  EXPECT_EQ(pxFile[0x20], 2) << "index levels";

  pxcheck::Table px;
  std::string error;
  ASSERT_TRUE(pxcheck::Read(InProgram("WIDE.DB").toStdString(), InProgram("WIDE.PX").toStdString(),
                            px, error))
      << error;
  std::vector<std::string> want, got;
  for (int id : kept) want.push_back(std::to_string(id) + "/a" + std::to_string(id));
  for (const auto& row : px.rows) got.push_back(row[0] + "/" + row[1]);
  EXPECT_EQ(got, want);
}

// A batch of records in no particular order moved into a new keyed table:
// the table fills its blocks one after the other, written in long runs,
// and the result reads back in key order.
TEST_F(PxlibCheckTest, ABatchMoveIntoANewTableFillsWholeBlocks) {
  const std::vector<FieldDef> fields = {FieldDef::Integer("Id"), FieldDef::String("A", 255),
                                        FieldDef::String("B", 255)};
  db::MemoryDataSet staged(fields);
  std::vector<int> ids(1000);
  for (int i = 0; i < 1000; ++i) ids[static_cast<std::size_t>(i)] = i + 1;
  std::shuffle(ids.begin(), ids.end(), std::mt19937(11));
  for (int id : ids) {
    staged.AppendRecord();
    staged.FieldByName("Id").SetAsInteger(id);
    staged.FieldByName("A").SetAsString(QStringLiteral("a%1").arg(id));
  }
  db::Table t;
  t.SetDatabaseName(ProgramFolder());
  t.SetTableName("WIDE.DB");
  t.FieldDefs() = fields;
  t.IndexDefs() = {{"", {"Id"}, true, false}};
  t.CreateTable();
  db::BatchMove move;
  move.SetMode(db::BatchMove::Mode::Append);
  move.SetSource(&staged);
  move.SetDestination(&t);
  EXPECT_EQ(move.Execute(), 1000);

  // Every block but the last is full: the file has no more blocks than the
  // records need.
  const QByteArray db = test::ReadAll(InProgram("WIDE.DB"));
  ASSERT_GE(db.size(), 0x78);
  const auto byte = [&db](int i) { return static_cast<int>(static_cast<unsigned char>(db[i])); };
  const int recordSize = byte(0) | byte(1) << 8;
  const int headerSize = byte(2) | byte(3) << 8;
  const int blockSize = byte(5) * 1024;
  const int perBlock = (blockSize - 6) / recordSize;
  ASSERT_EQ(recordSize, 4 + 255 + 255);
  EXPECT_EQ(db.size(), headerSize + (1000 + perBlock - 1) / perBlock * blockSize);

  pxcheck::Table px;
  std::string error;
  ASSERT_TRUE(pxcheck::Read(InProgram("WIDE.DB").toStdString(), InProgram("WIDE.PX").toStdString(),
                            px, error))
      << error;
  ASSERT_EQ(px.rows.size(), 1000u);
  for (int i = 0; i < 1000; ++i)
    EXPECT_EQ(px.rows[static_cast<std::size_t>(i)][1], "a" + std::to_string(i + 1)) << i;
}

}  // namespace
