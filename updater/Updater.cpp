#include "updater/Updater.h"

#if defined(_WIN32)
#include <QSettings>
#endif

#include "platform/os/FreeSpace.h"
#include "platform/os/SingleInstance.h"
#include "updater/Ini.h"
#include "updater/Package.h"
#include "updater/Replace.h"
#include "updater/VersionInfo.h"

namespace updater {
namespace fs = std::filesystem;

const InstallNames& PlatformNames() {
#if defined(_WIN32)
  static const InstallNames names{"Keldoran.exe", "VELM.DLL",  "VelmUp.exe",
                                  "VelmUp.dll",   "veOld.exe", "velmOld.DLL"};
#else
  static const InstallNames names{"Keldoran", "libvelm.so", "VelmUp",
                                  "VelmUp.so", "veOld",     "velmOld.so"};
#endif
  return names;
}

fs::path AppPathsFile() {
  return fs::path(os::WindowsFolder().toStdU16String()) / "AppPaths.ini";
}

QString RegisteredFolder(const fs::path& appPathsFile) {
#if defined(_WIN32)
  (void)appPathsFile;
  const QSettings appPaths(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                                          "CurrentVersion\\App Paths\\Keldoran.exe"),
                           QSettings::NativeFormat);
  const QString folder = appPaths.value(QStringLiteral("Path")).toString();
#else
  const QString folder =
      IniValue(appPathsFile, QStringLiteral("Keldoran"), QStringLiteral("Path")).value_or(QString());
#endif
  return folder.isEmpty() ? QString::fromLatin1(kNotRegistered) : folder;
}

Message MessageFor(Outcome outcome) {
  const QString caption = QStringLiteral("update KELDORAN GRAPH2");
  switch (outcome) {
    case Outcome::NotInstalled:
      return {caption, QStringLiteral("KELDORANGRAPH2 has not been installed")};
    case Outcome::LowDiskSpace:
      return {caption, QStringLiteral("There is not enough disk space")};
    case Outcome::OtherEdition:
      return {QString::fromUtf8("KELDORAN GRAPH2 アップデート"),
              QString::fromUtf8("このマシンには日本語版KELDORANGRAPH2がインストールされています。"
                                "日本語版のアップデートモジュールをインストールしてください。")};
    case Outcome::Failed:
      return {caption, QStringLiteral("Pailed in updating KELDORANGRAPH2.")};
    case Outcome::Updated:
      return {caption, QStringLiteral("KELDORANGRAPH2 is updated successfully")};
  }
  return {caption, QString()};
}

namespace {

Outcome Sequence(const fs::path& packageFolder, const fs::path& appPathsFile, FileOps& ops) {
  const QString registered = RegisteredFolder(appPathsFile);
  if (registered == QLatin1String(kNotRegistered)) return Outcome::NotInstalled;
  if (os::CheckFreeSpace(registered) != 1) return Outcome::LowDiskSpace;

  const fs::path installed(registered.toStdU16String());
  const InstallNames& n = PlatformNames();
  if (LanguageCheck(installed / n.program) != 409) return Outcome::OtherEdition;
  if (!ExpandPackage(packageFolder, n.newProgram, n.newLibrary)) return Outcome::Failed;

  if (!Replace(ops, {packageFolder / n.newProgram, installed / n.newProgram, installed / n.program,
                     installed / n.oldProgram})) {
    ops.Remove(packageFolder / n.newProgram);
    return Outcome::Failed;
  }
  if (!Replace(ops, {packageFolder / n.newLibrary, installed / n.newLibrary, installed / n.library,
                     installed / n.oldLibrary})) {
    return Outcome::Failed;
  }
  return Outcome::Updated;
}

}  // namespace

Outcome RunUpdate(const fs::path& packageFolder, const fs::path& appPathsFile, FileOps& ops,
                  const Messenger& show) {
  const Outcome outcome = Sequence(packageFolder, appPathsFile, ops);
  const Message m = MessageFor(outcome);
  show(m.caption, m.text);
  return outcome;
}

}  // namespace updater
