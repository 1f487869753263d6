#include <gtest/gtest.h>

#include "platform/db/BatchMove.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "tests/support/TestFolders.h"

namespace {

using db::DbError;
using db::ErrorKind;
using db::FieldDef;

class QueryTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    db::Table t;
    Define(t, ProgramFolder(), "LOG.DB");
    t.CreateTable();
    t.Open();
    const struct {
      int id;
      const char *date, *diver, *buddy, *site, *article, *content;
    } rows[] = {
        {1, "2001/01/15", "Ann", "Bob", "Blue Hole", "Camera", "wreck photo"},
        {2, "2001/02/28", "O'Brien", "ann", "Reef", "", ""},
        {3, "2000/02/29", "BOB", "", "Wreck Point", "Nitrox", "32%"},
        {4, "2001/03/01", "", "Ann Lee", "reef", "Light", "WRECK"},
        {5, "", "Cara", "Bob", "Blue Hole", "", ""},
    };
    for (const auto& r : rows) {
      t.Append();
      t.FieldByName("ID").SetAsInteger(r.id);
      t.FieldByName("Date").SetAsString(r.date);
      t.FieldByName("Diver").SetAsString(r.diver);
      t.FieldByName("Buddy").SetAsString(r.buddy);
      t.FieldByName("Loc./Site").SetAsString(r.site);
      t.FieldByName("User Article1").SetAsString(r.article);
      t.FieldByName("User Article Content1").SetAsString(r.content);
      t.Post();
    }
  }
  static void Define(db::Table& t, const QString& folder, const QString& name) {
    t.SetDatabaseName(folder);
    t.SetTableName(name);
    t.FieldDefs() = {FieldDef::Integer("ID"),
                     FieldDef::DateTime("Date"),
                     FieldDef::String("Diver", 20),
                     FieldDef::String("Buddy", 20),
                     FieldDef::String("Loc./Site", 20),
                     FieldDef::String("User Article1", 12),
                     FieldDef::String("User Article Content1", 20)};
    t.IndexDefs() = {{"", {"ID"}, true, false}};
  }
  std::vector<int> Select(const QString& where) {
    db::Query q;
    q.SetDatabaseName(ProgramFolder());
    q.SetSQL("SELECT * FROM LOG WHERE " + where);
    q.Open();
    std::vector<int> ids;
    for (q.First(); !q.Eof(); q.Next()) ids.push_back(q.FieldByName("ID").AsInteger());
    EXPECT_EQ(static_cast<int>(ids.size()), q.RecordCount());
    return ids;
  }
};

TEST_F(QueryTest, TheStatementsTheSearchBuildsSelectTheRightRecords) {
  const struct {
    const char* where;
    std::vector<int> ids;
  } cases[] = {
      {R"(("Log"."Date" BETWEEN '01.01.2001' AND '31.12.2001'))", {1, 2, 4}},
      {R"(("Log"."Date" BETWEEN '01.2.2001' AND '28.2.2001'))", {2}},
      {R"(("Log"."Date"='29.2.2000') )", {3}},
      {R"(("Log"."Diver" LIKE '%ann%') )", {1}},
      {R"(("Log"."Buddy" LIKE '%ANN%') )", {2, 4}},
      {R"(("Log"."Diver" LIKE '%O''Brien%') )", {2}},
      {R"(("Log"."Loc./Site" LIKE '%reef%') )", {2, 4}},
      {R"((("Log"."User Article1" LIKE '%wreck%') OR ("Log"."User Article Content1" LIKE '%wreck%')))",
       {1, 4}},
      {R"(("Log"."Date" BETWEEN '01.01.2001' AND '31.12.2001') AND  (("Log"."User Article1" LIKE '%wreck%') OR ("Log"."User Article Content1" LIKE '%wreck%')))",
       {1, 4}},
      {R"(("Log"."Date" BETWEEN '01.01.2001' AND '31.12.2001') AND ("Log"."Diver" LIKE '%b%') )",
       {2}},
      {R"(("Log"."Diver"='Ann'))", {1}},
      {R"(("Log"."Diver"='ann'))", {}},
      {R"((ID=1) OR (ID=2) AND (ID=3))", {1}},
      {R"(("Log"."Diver" LIKE '%zzz%'))", {}},
      {R"(("Log"."Diver" LIKE '%'))", {1, 2, 3, 5}},
      {R"(("Log"."Diver" LIKE '_nn'))", {1}},
      {R"(("Log"."User Article Content1" LIKE '%2\%%'))", {}},
      {R"(("Log"."User Article Content1" LIKE '32%'))", {3}},
      {R"((ID=4))", {4}},
      {R"(("ID" BETWEEN 2 AND 3))", {2, 3}},
  };
  for (const auto& c : cases) EXPECT_EQ(Select(QString::fromUtf8(c.where)), c.ids) << c.where;
  db::Query lower;
  lower.SetDatabaseName(ProgramFolder());
  lower.SetSQL("select * from log where (id=5)");
  lower.Open();
  EXPECT_EQ(lower.RecordCount(), 1);
}

TEST_F(QueryTest, StatementsOutsideTheSubsetAreRejected) {
  const char* statements[] = {
      R"(SELECT * FROM LOG WHERE ("Log"."Diver" LIKE '%O'Brien%') )",
      R"(SELECT Diver FROM LOG WHERE (ID=1))",
      R"(SELECT * FROM LOG)",
      R"(SELECT * FROM LOG WHERE (ID>1))",
      R"(SELECT * FROM LOG WHERE NOT (ID=1))",
      R"(SELECT * FROM LOG WHERE (ID=1) ORDER BY ID)",
      R"(UPDATE LOG SET ID=1)",
      R"(SELECT * FROM LOG WHERE ("Log"."Date"='31.02.2001'))",
      R"(SELECT * FROM LOG WHERE ("Log"."Date"='2001/02/01'))",
      R"(SELECT * FROM LOG WHERE ("Other"."Diver" LIKE '%a%'))",
      R"(SELECT * FROM LOG WHERE ("Log"."Nope"='x'))",
      R"(SELECT * FROM LOG WHERE ("Log"."Date" LIKE '%1%'))",
      R"(SELECT * FROM LOG WHERE ((ID=1))",
      R"(SELECT * FROM LOG WHERE (ID='one'))",
      R"(SELECT * FROM LOG WHERE ("Log"."Diver" LIKE '%a))",
      "",
  };
  for (const char* sql : statements) {
    db::Query q;
    q.SetDatabaseName(ProgramFolder());
    q.SetSQL(QString::fromUtf8(sql));
    try {
      q.Open();
      ADD_FAILURE() << "accepted: " << sql;
    } catch (const DbError& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::Syntax) << sql << ": " << e.what();
      EXPECT_TRUE(e.Message().contains(QString::fromUtf8(sql))) << e.what();
    }
  }
}

TEST_F(QueryTest, DeleteRemovesTheRecordFromTheTable) {
  db::Query q;
  q.SetDatabaseName(ProgramFolder());
  q.SetSQL("DELETE FROM LOG WHERE (ID=3)");
  EXPECT_EQ(q.ExecSQL(), 1);
  EXPECT_EQ(q.ExecSQL(), 0);
  EXPECT_EQ(Select("(ID BETWEEN 1 AND 9)"), (std::vector<int>{1, 2, 4, 5}));
  q.SetSQL("SELECT * FROM LOG WHERE (ID=1)");
  EXPECT_THROW(q.ExecSQL(), DbError);
}

TEST_F(QueryTest, BatchMoveAppendsTheQueryResultToAnotherTable) {
  QDir(ProgramFolder()).mkdir("SEARCH");
  db::Table search;
  Define(search, InProgram("SEARCH"), "LOG.DB");
  search.CreateTable();
  db::Query q;
  q.SetDatabaseName(ProgramFolder());
  q.SetSQL(R"(SELECT * FROM LOG WHERE ("Log"."Buddy" LIKE '%bob%'))");
  db::BatchMove move;
  move.SetSource(&q);
  move.SetDestination(&search);
  move.SetMode(db::BatchMove::Mode::Append);
  EXPECT_EQ(move.Execute(), 2);
  EXPECT_FALSE(search.Active());  // left as it was
  search.Open();
  std::vector<QString> sites;
  for (search.First(); !search.Eof(); search.Next())
    sites.push_back(search.FieldByName("Loc./Site").AsString());
  EXPECT_EQ(sites, (std::vector<QString>{"Blue Hole", "Blue Hole"}));
  search.Close();
  // Appending the same records again is a key violation that writes nothing.
  EXPECT_THROW(move.Execute(), DbError);
  search.Open();
  EXPECT_EQ(search.RecordCount(), 2);
}

TEST_F(QueryTest, BatchMoveCarriesEachRecordsBlobsWithIt) {
  const auto define = [&](db::Table& t, const char* name) {
    t.SetDatabaseName(ProgramFolder());
    t.SetTableName(name);
    t.FieldDefs() = {FieldDef::Integer("No"), {"Note", db::FieldType::Memo, 15}};
  };
  // Short and long notes (past the leader kept in the record) on some records only.
  const std::vector<QString> notes = {"", "short", "", QString(300, u'x'), "", "last one"};
  db::Table source;
  define(source, "NOTES.DB");
  source.CreateTable();
  source.Open();
  for (std::size_t i = 0; i < notes.size(); ++i) {
    source.Append();
    source.FieldByName("No").SetAsInteger(static_cast<int>(i));
    if (!notes[i].isEmpty()) source.FieldByName("Note").SetAsString(notes[i]);
    source.Post();
  }
  for (const auto mode : {db::BatchMove::Mode::Append, db::BatchMove::Mode::Copy}) {
    db::Table dest;
    define(dest, "MOVED.DB");
    dest.CreateTable();
    db::BatchMove move;
    move.SetSource(&source);
    move.SetDestination(&dest);
    move.SetMode(mode);
    EXPECT_EQ(move.Execute(), static_cast<int>(notes.size()));
    dest.Open();
    std::vector<QString> moved;
    for (dest.First(); !dest.Eof(); dest.Next()) moved.push_back(dest.FieldByName("Note").AsString());
    EXPECT_EQ(moved, notes) << (mode == db::BatchMove::Mode::Copy ? "copy" : "append");
    dest.Close();
    dest.DeleteTable();
  }
}

TEST_F(QueryTest, BatchMoveCopiesOneRecordOrReplacesTheDestination) {
  db::Table log;
  Define(log, ProgramFolder(), "LOG.DB");
  log.Open();
  QDir(ProgramFolder()).mkdir("WORK");
  db::Table tmp;
  tmp.SetDatabaseName(InProgram("WORK"));
  tmp.SetTableName("LOG.DB");
  tmp.FieldDefs() = {FieldDef::Integer("ID"), FieldDef::String("Diver", 3),
                     FieldDef::String("Extra", 5)};
  tmp.CreateTable();

  db::BatchMove move;
  move.SetSource(&log);
  move.SetDestination(&tmp);
  move.SetMode(db::BatchMove::Mode::Append);
  move.SetRecordCount(1);  // the current record only
  ASSERT_TRUE(log.FindKey({"3"}));
  EXPECT_EQ(move.Execute(), 1);
  ASSERT_TRUE(log.FindKey({"1"}));
  EXPECT_EQ(move.Execute(), 1);
  tmp.Open();
  ASSERT_EQ(tmp.RecordCount(), 2);
  tmp.First();
  EXPECT_EQ(tmp.FieldByName("ID").AsInteger(), 3);  // an unkeyed table keeps the moved order
  EXPECT_EQ(tmp.FieldByName("Diver").AsString(), "BOB");
  tmp.Next();
  EXPECT_EQ(tmp.FieldByName("Diver").AsString(), "Ann");
  EXPECT_TRUE(tmp.FieldByName("Extra").IsNull());

  // Copy: the open destination becomes a copy with the source's structure.
  move.SetMode(db::BatchMove::Mode::Copy);
  move.SetRecordCount(0);
  EXPECT_EQ(move.Execute(), 5);
  EXPECT_TRUE(tmp.Active());
  EXPECT_EQ(tmp.RecordCount(), 5);
  EXPECT_EQ(tmp.FieldCount(), log.FieldCount());
  EXPECT_EQ(tmp.KeyFieldCount(), 1);
  tmp.Last();
  EXPECT_EQ(tmp.FieldByName("Loc./Site").AsString(), "Blue Hole");
}

}  // namespace
