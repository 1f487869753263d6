// The Update program as a user runs it: installed with the install script,
// a package built with the package script, Update started in the package
// folder without a display, so that it tells its outcome on standard error.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/updater/UpdaterFixture.h"

namespace {

using test::ReadAll;
using test::WriteAll;

class UpdateProgram : public test::UpdaterFolders {
 protected:
  // Runs Update in the package folder; returns its exit code and standard error.
  std::pair<int, QString> RunUpdateProgram() {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("KELDORAN_WINDIR"), WindowsFolder());
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(ProgramFolder());
    p.start(QStringLiteral(KELDORAN_BIN_DIR "/Update"), {});
    if (!p.waitForFinished(240000) || p.exitStatus() != QProcess::NormalExit) return {-1, {}};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
  }

  // Installs `program` and `library` with the install script.
  void InstallWithScript(const QByteArray& program, const QByteArray& library) {
    QTemporaryDir built;
    ASSERT_TRUE(built.isValid());
    WriteAll(built.filePath(QStringLiteral("Keldoran")), program);
    WriteAll(built.filePath(QStringLiteral("libvelm.so")), library);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KELDORAN_WINDIR"), WindowsFolder());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KELDORAN_SOURCE_DIR "/scripts/install-keldoran.sh"),
            {QString::fromStdU16String(Installation().u16string()), built.path()});
    ASSERT_TRUE(p.waitForFinished(240000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  }
};

TEST_F(UpdateProgram, UpdatesAnInstallationFromItsPackage) {
  InstallWithScript(oldProgram, oldLibrary);
  MakePackage(newProgram, newLibrary);

  const auto [code, errors] = RunUpdateProgram();
  EXPECT_EQ(code, 0);
  EXPECT_EQ(errors, QStringLiteral("update KELDORAN GRAPH2: KELDORANGRAPH2 is updated successfully\n"));
  EXPECT_EQ(ReadAll(Installed("Keldoran")), newProgram);
  EXPECT_EQ(ReadAll(Installed("libvelm.so")), newLibrary);
  EXPECT_EQ(InstallationFiles(), QStringList({QStringLiteral("Keldoran"), QStringLiteral("libvelm.so")}));
  EXPECT_TRUE(QFileInfo(Installed("Keldoran")).isExecutable());
}

TEST_F(UpdateProgram, TellsWhenNothingIsInstalled) {
  MakePackage(newProgram, newLibrary);
  const auto [code, errors] = RunUpdateProgram();
  EXPECT_EQ(code, 0);
  EXPECT_EQ(errors, QStringLiteral("update KELDORAN GRAPH2: KELDORANGRAPH2 has not been installed\n"));
  EXPECT_TRUE(InstallationFiles().isEmpty());
}

TEST_F(UpdateProgram, PackageOfTheRealBuildUpdatesTheRealProgram) {
  // The installed program is the built one with a few bytes more, so that
  // the update visibly changes it back to the build's file.
  const QByteArray built = ReadAll(QStringLiteral(KELDORAN_BIN_DIR "/Keldoran"));
  const QByteArray library = ReadAll(QStringLiteral(KELDORAN_BIN_DIR "/libvelm.so"));
  ASSERT_FALSE(built.isEmpty());
  InstallWithScript(built + "older", library + "older");
  QString scriptErrors;
  ASSERT_EQ(test::RunScript(QStringLiteral("make-update-package.sh"),
                            {ProgramFolder(), QStringLiteral(KELDORAN_BIN_DIR)}, &scriptErrors),
            0)
      << scriptErrors.toStdString();

  const auto [code, errors] = RunUpdateProgram();
  EXPECT_EQ(code, 0);
  EXPECT_EQ(errors, QStringLiteral("update KELDORAN GRAPH2: KELDORANGRAPH2 is updated successfully\n"));
  EXPECT_EQ(ReadAll(Installed("Keldoran")), built);
  EXPECT_EQ(ReadAll(Installed("libvelm.so")), library);
}

}  // namespace
