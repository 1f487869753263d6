#include "platform/os/FreeSpace.h"

#include <gtest/gtest.h>

namespace {
constexpr qint64 kMiB = 1024 * 1024;

struct FakeDrive {
  explicit FakeDrive(qint64 bytes) {
    os::SetFreeSpaceSource([bytes](const QString&) { return bytes; });
  }
  ~FakeDrive() { os::SetFreeSpaceSource({}); }
};
}  // namespace

TEST(FreeSpace, ThresholdsInWholeMiB) {
  struct Case {
    qint64 bytes;
    int expected;
  };
  const Case cases[] = {
      {100 * kMiB, 1}, {7 * kMiB, 1},     {7 * kMiB - 1, 2}, {6 * kMiB, 2}, {5 * kMiB, 2},
      {4 * kMiB, 2},   {4 * kMiB - 1, -1}, {3 * kMiB, -1},   {0, -1},       {-1, -1},
  };
  for (const Case& c : cases) {
    FakeDrive drive(c.bytes);
    EXPECT_EQ(os::CheckFreeSpace(QStringLiteral("/anywhere")), c.expected) << c.bytes;
  }
}

TEST(FreeSpace, RealDriveOfAFolderNotYetCreated) {
  // The drive of the nearest existing parent answers.
  EXPECT_GE(os::FreeBytes(QStringLiteral("/tmp/keldoran-no-such/sub")), 0);
}
