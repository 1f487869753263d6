// A process killed right after its posts returned loses none of them.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <csignal>

#include "platform/db/Table.h"

namespace {

void Define(db::Table& t, const QString& folder) {
  t.SetDatabaseName(folder);
  t.SetTableName("KILLED.DB");
  t.FieldDefs() = {db::FieldDef::Integer("Id"), db::FieldDef::String("Text", 100)};
  t.IndexDefs() = {{"", {"Id"}, true, false}, {"TEXT", {"Text"}, false, true}};
}

TEST(KillTest, PostsSurviveAKilledProcess) {
  // The death test runs this body again in a child process; both use the
  // folder the parent chose.
  static QTemporaryDir parentDir;
  if (qEnvironmentVariableIsEmpty("KELDORAN_KILL_TEST_DIR")) qputenv("KELDORAN_KILL_TEST_DIR", parentDir.path().toLocal8Bit());
  const QString folder = qEnvironmentVariable("KELDORAN_KILL_TEST_DIR");
  EXPECT_EXIT(
      {
        db::Table t;
        Define(t, folder);
        t.CreateTable();
        t.Open();
        for (int i = 0; i < 400; ++i) {
          t.Append();
          t.FieldByName("Id").SetAsInteger((i * 7919) % 400);  // splits all over the table
          t.FieldByName("Text").SetAsString(QStringLiteral("record %1").arg(i));
          t.Post();
        }
        t.First();
        t.Delete();  // and one delete
        std::raise(SIGKILL);
      },
      ::testing::KilledBySignal(SIGKILL), "");
  db::Table t;
  Define(t, folder);
  t.Open();
  ASSERT_EQ(t.RecordCount(), 399);
  int expected = 1;
  for (t.First(); !t.Eof(); t.Next()) EXPECT_EQ(t.FieldByName("Id").AsInteger(), expected++);
}

}  // namespace
