// Test main: an offscreen QApplication with a private runtime folder. When
// CTest only lists the tests, no application is created at all.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
  bool listing = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
  }
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
  if (listing) return RUN_ALL_TESTS();

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir runtime;
  QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  // Nothing a test does may reach the user's own configuration.
  QTemporaryDir windir;
  qputenv("KELDORAN_WINDIR", windir.path().toLocal8Bit());

  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
