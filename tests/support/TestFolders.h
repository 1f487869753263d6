#pragma once
// A fixture that gives each test a fresh program folder (the current
// directory while the test runs) and a fresh Windows folder
// (KELDORAN_WINDIR), both removed afterwards.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace test {

class TestFolders : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  QString ProgramFolder() const { return program_.path(); }
  QString WindowsFolder() const { return windows_.path(); }
  QString InProgram(const QString& relative) const { return program_.filePath(relative); }
  QString InWindows(const QString& relative) const { return windows_.filePath(relative); }

 private:
  QTemporaryDir program_;
  QTemporaryDir windows_;
  QString previousDir_;
  QByteArray previousWindir_;
};

// Whole-file helpers for assertions.
QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

}  // namespace test
