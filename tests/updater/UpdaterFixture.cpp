#include "tests/updater/UpdaterFixture.h"

#include <QDir>
#include <QProcess>

#include "updater/Replace.h"

namespace test {

QByteArray VersionBlock(const std::vector<std::pair<std::string, std::string>>& entries) {
  QByteArray block("KeldoranVersionInfo1", 20);
  block.append('\0');
  for (const auto& [key, value] : entries) {
    block.append(key.data(), static_cast<qsizetype>(key.size())).append('\0');
    block.append(value.data(), static_cast<qsizetype>(value.size())).append('\0');
  }
  return block.append('\0');
}

QByteArray EnglishProgram(const QByteArray& body) {
  return body + VersionBlock({{"\\StringFileInfo\\040904E4\\CompanyName", "Keldoran"},
                              {"\\StringFileInfo\\040904E4\\ProductVersion", "2.1.0"}}) +
         body;
}

QByteArray JapaneseProgram(const QByteArray& body) {
  return body + VersionBlock({{"\\StringFileInfo\\041103A4\\CompanyName", "Keldoran"},
                              {"\\StringFileInfo\\041103A4\\ProductVersion", "2.1.0"}}) +
         body;
}

int RunScript(const QString& script, const QStringList& arguments, QString* errors) {
  QProcess p;
  p.start(QStringLiteral(KELDORAN_SOURCE_DIR "/scripts/") + script, arguments);
  if (!p.waitForFinished(240000) || p.exitStatus() != QProcess::NormalExit) return -1;
  if (errors != nullptr) *errors = QString::fromUtf8(p.readAllStandardError());
  return p.exitCode();
}

void UpdaterFolders::SetUp() {
  TestFolders::SetUp();
  ASSERT_TRUE(install_.isValid());
  ASSERT_TRUE(built_.isValid());
  // A new program large enough for the compression to matter.
  QByteArray body;
  for (int i = 0; i < 3000; ++i) body += "new main program " + QByteArray::number(i * 7919 % 1013);
  newProgram = EnglishProgram(body);
}

void UpdaterFolders::Install(const QByteArray& program, const QByteArray& library) {
  const updater::InstallNames& n = updater::PlatformNames();
  WriteAll(Installed(n.program), program);
  WriteAll(Installed(n.library), library);
  WriteAll(InWindows(QStringLiteral("AppPaths.ini")),
           "[Keldoran]\nPath=" + install_.path().toUtf8() + "\n");
}

void UpdaterFolders::MakePackage(const QByteArray& program, const QByteArray& library) {
  WriteAll(built_.filePath(QStringLiteral("Keldoran")), program);
  WriteAll(built_.filePath(QStringLiteral("libvelm.so")), library);
  QString errors;
  ASSERT_EQ(RunScript(QStringLiteral("make-update-package.sh"), {ProgramFolder(), built_.path()},
                      &errors),
            0)
      << errors.toStdString();
}

updater::Outcome UpdaterFolders::Run(updater::FileOps* ops) {
  updater::RealFileOps real;
  return updater::RunUpdate(Package(), AppPaths(), ops != nullptr ? *ops : real,
                            [this](const QString& caption, const QString& text) {
                              shown.push_back({caption, text});
                            });
}

QStringList UpdaterFolders::InstallationFiles() const {
  return QDir(install_.path()).entryList(QDir::Files, QDir::Name);
}

}  // namespace test
