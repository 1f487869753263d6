// A process killed right after its posts returned loses none of them.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>

#include "platform/db/DbError.h"
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
  if (qEnvironmentVariableIsEmpty("KELDORAN_KILL_TEST_DIR"))
    qputenv("KELDORAN_KILL_TEST_DIR", parentDir.path().toLocal8Bit());
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

// Exits with 3 when a post failed with an I/O error that closed the table.
void PostUntilTheDiskIsFull(const QString& folder) {
  db::Table t;
  Define(t, folder);
  t.CreateTable();
  t.Open();
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{64 * 1024, 64 * 1024};
  setrlimit(RLIMIT_FSIZE, &limit);
  int posted = 0;
  try {
    for (int i = 0; i < 10000; ++i) {
      t.Append();
      t.FieldByName("Id").SetAsInteger(i);
      t.Post();
      ++posted;
    }
  } catch (const db::DbError& e) {
    if (e.Kind() == db::ErrorKind::Io && !t.Active() && posted > 100) std::exit(3);
  }
  std::exit(1);
}

TEST(KillTest, AFailedWriteClosesTheTableAndKeepsTheFileReadable) {
  static QTemporaryDir parentDir;
  if (qEnvironmentVariableIsEmpty("KELDORAN_FULL_TEST_DIR"))
    qputenv("KELDORAN_FULL_TEST_DIR", parentDir.path().toLocal8Bit());
  const QString folder = qEnvironmentVariable("KELDORAN_FULL_TEST_DIR");
  // The child may not grow files beyond 64 KiB: the disk is "full".
  EXPECT_EXIT(PostUntilTheDiskIsFull(folder), ::testing::ExitedWithCode(3), "");
  db::Table t;
  Define(t, folder);
  t.Open();
  EXPECT_GT(t.RecordCount(), 100);
  int expected = 0;
  for (t.First(); !t.Eof(); t.Next()) EXPECT_EQ(t.FieldByName("Id").AsInteger(), expected++);
}

}  // namespace
