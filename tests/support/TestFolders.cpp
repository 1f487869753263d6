#include "tests/support/TestFolders.h"

#include <QFile>

namespace test {

void TestFolders::SetUp() {
  ASSERT_TRUE(program_.isValid());
  ASSERT_TRUE(windows_.isValid());
  previousDir_ = QDir::currentPath();
  previousWindir_ = qgetenv("KELDORAN_WINDIR");
  ASSERT_TRUE(QDir::setCurrent(program_.path()));
  qputenv("KELDORAN_WINDIR", windows_.path().toLocal8Bit());
}

void TestFolders::TearDown() {
  QDir::setCurrent(previousDir_);
  qputenv("KELDORAN_WINDIR", previousWindir_);
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(f.write(bytes), bytes.size());
}

}  // namespace test
