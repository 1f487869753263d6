#pragma once
// Temporary installations and update packages for the updater's tests. The
// current folder (the program folder of test::TestFolders) holds the package;
// a separate temporary folder is the installation; the App Paths file lies in
// the temporary Windows folder.
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "tests/support/TestFolders.h"
#include "updater/Updater.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace test {

// A version information block in the layout the updater reads, written
// independently of the build's own template.
QByteArray VersionBlock(const std::vector<std::pair<std::string, std::string>>& entries);

// Program files of the two language editions, and one without a block.
QByteArray EnglishProgram(const QByteArray& body);
QByteArray JapaneseProgram(const QByteArray& body);

// Runs a script of scripts/ with arguments; returns its exit code (-1 when it
// did not run) and leaves its standard error in `errors`.
int RunScript(const QString& script, const QStringList& arguments, QString* errors = nullptr);

class UpdaterFolders : public TestFolders {
 protected:
  void SetUp() override;

  std::filesystem::path Installation() const { return Path(install_.path()); }
  std::filesystem::path Package() const { return Path(ProgramFolder()); }
  std::filesystem::path AppPaths() const { return Path(InWindows(QStringLiteral("AppPaths.ini"))); }
  QString Installed(const char* name) const { return install_.filePath(QString::fromLatin1(name)); }
  QString InPackage(const char* name) const { return InProgram(QString::fromLatin1(name)); }

  // Writes the installed program and library and registers the installation.
  void Install(const QByteArray& program, const QByteArray& library);
  // Builds the package from `program` and `library` with the package script.
  void MakePackage(const QByteArray& program, const QByteArray& library);

  // Runs the update with the real file operations unless `ops` is given, and
  // records the messages shown.
  updater::Outcome Run(updater::FileOps* ops = nullptr);
  std::vector<updater::Message> shown;

  // The files of the installation folder, by name.
  QStringList InstallationFiles() const;

  static std::filesystem::path Path(const QString& s) { return {s.toStdU16String()}; }

  const QByteArray oldProgram = EnglishProgram("old main program");
  const QByteArray oldLibrary = "old profile library";
  QByteArray newProgram;
  const QByteArray newLibrary = QByteArray("new profile library\0\x01\x02", 22).repeated(40);

 private:
  QTemporaryDir install_;
  QTemporaryDir built_;
};

}  // namespace test
