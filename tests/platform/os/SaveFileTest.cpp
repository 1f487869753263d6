#include "platform/os/SaveFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

#include "tests/support/TestFolders.h"

// A disk that fills up in the middle of a write: the old file must stay,
// and the write must be reported as failed.
TEST(SaveFile, AWriteCutShortLeavesTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("list.txt");
  test::WriteAll(path, "old contents\n");

  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit small{800, limit.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  QSaveFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(2000, 'x'));
  const bool committed = os::CommitComplete(file);
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(committed);
  EXPECT_EQ(test::ReadAll(path), "old contents\n");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"list.txt"}));

  QSaveFile ok(path);
  ASSERT_TRUE(ok.open(QIODevice::WriteOnly));
  ok.write("new\n");
  EXPECT_TRUE(os::CommitComplete(ok));
  EXPECT_EQ(test::ReadAll(path), "new\n");
}
