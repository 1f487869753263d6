// The updater's main sequence on temporary installations: each refusal and
// failure leaves the installation as it was, a replacement that breaks off
// puts the installed file back, and a successful run replaces both files
// byte for byte and leaves no backup behind.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "platform/os/FreeSpace.h"
#include "tests/updater/UpdaterFixture.h"
#include "updater/Package.h"
#include "updater/Replace.h"

namespace {

using test::ReadAll;
using test::WriteAll;
using updater::Outcome;
using updater::PlatformNames;

constexpr qint64 kMiB = 1024 * 1024;

class FakeDrive {
 public:
  explicit FakeDrive(qint64 bytes) {
    os::SetFreeSpaceSource([this, bytes](const QString& folder) {
      asked.push_back(folder);
      return bytes;
    });
  }
  ~FakeDrive() { os::SetFreeSpaceSource({}); }
  std::vector<QString> asked;
};

class Update : public test::UpdaterFolders {
 protected:
  void ExpectOnly(const QStringList& files) {
    QStringList sorted = files;
    sorted.sort();
    EXPECT_EQ(InstallationFiles(), sorted);
  }
  void ExpectOneMessage(Outcome outcome) {
    ASSERT_EQ(shown.size(), 1u);
    const updater::Message m = updater::MessageFor(outcome);
    EXPECT_EQ(shown[0].caption, m.caption);
    EXPECT_EQ(shown[0].text, m.text);
  }
};

QString Name(const char* n) { return QString::fromLatin1(n); }

TEST(UpdateMessages, AsTheUserSeesThem) {
  struct Case {
    Outcome outcome;
    const char* caption;
    const char* text;
  };
  const Case cases[] = {
      {Outcome::NotInstalled, "update KELDORAN GRAPH2", "KELDORANGRAPH2 has not been installed"},
      {Outcome::LowDiskSpace, "update KELDORAN GRAPH2", "There is not enough disk space"},
      {Outcome::OtherEdition, "KELDORAN GRAPH2 アップデート",
       "このマシンには日本語版KELDORANGRAPH2がインストールされています。"
       "日本語版のアップデートモジュールをインストールしてください。"},
      {Outcome::Failed, "update KELDORAN GRAPH2", "Pailed in updating KELDORANGRAPH2."},
      {Outcome::Updated, "update KELDORAN GRAPH2", "KELDORANGRAPH2 is updated successfully"},
  };
  for (const Case& c : cases) {
    const updater::Message m = updater::MessageFor(c.outcome);
    EXPECT_EQ(m.caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(m.text, QString::fromUtf8(c.text));
  }
}

TEST_F(Update, ReplacesBothFilesByteExactAndLeavesNoBackup) {
  const updater::InstallNames& n = PlatformNames();
  Install(oldProgram, oldLibrary);
  MakePackage(newProgram, newLibrary);
  // The package really is compressed: its files are not the plain files.
  ASSERT_NE(ReadAll(InPackage(updater::kProgramPackageFile)), newProgram);
  ASSERT_LT(ReadAll(InPackage(updater::kProgramPackageFile)).size(), newProgram.size());

  EXPECT_EQ(Run(), Outcome::Updated);
  ExpectOneMessage(Outcome::Updated);
  EXPECT_EQ(ReadAll(Installed(n.program)), newProgram);
  EXPECT_EQ(ReadAll(Installed(n.library)), newLibrary);
  ExpectOnly({Name(n.program), Name(n.library)});
  EXPECT_TRUE(QFileInfo(Installed(n.program)).isExecutable());
  // The expanded files stay in the package folder.
  EXPECT_EQ(ReadAll(InPackage(n.newProgram)), newProgram);
  EXPECT_EQ(ReadAll(InPackage(n.newLibrary)), newLibrary);
}

TEST_F(Update, NotRegisteredTouchesNothing) {
  const char* const registrations[] = {
      nullptr,                       // no App Paths file at all
      "[Keldoran]\nPath=\n",         // an empty value
      "[Other]\nPath=/somewhere\n",  // another program's entry
  };
  for (const char* registration : registrations) {
    SCOPED_TRACE(registration != nullptr ? registration : "no file");
    Install(oldProgram, oldLibrary);
    QFile::remove(InWindows(QStringLiteral("AppPaths.ini")));
    if (registration != nullptr) WriteAll(InWindows(QStringLiteral("AppPaths.ini")), registration);
    MakePackage(newProgram, newLibrary);
    shown.clear();

    EXPECT_EQ(Run(), Outcome::NotInstalled);
    ExpectOneMessage(Outcome::NotInstalled);
    EXPECT_EQ(ReadAll(Installed(PlatformNames().program)), oldProgram);
    EXPECT_EQ(ReadAll(Installed(PlatformNames().library)), oldLibrary);
    EXPECT_FALSE(QFile::exists(InPackage(PlatformNames().newProgram)));
  }
}

TEST_F(Update, FreeSpaceOfTheInstallationDrive) {
  struct Case {
    qint64 free;
    Outcome outcome;
  };
  const Case cases[] = {
      {6 * kMiB, Outcome::LowDiskSpace},
      {7 * kMiB - 1, Outcome::LowDiskSpace},  // 6 whole MiB: only low
      {3 * kMiB, Outcome::LowDiskSpace},
      {-1, Outcome::LowDiskSpace},  // a drive that cannot be examined
      {7 * kMiB, Outcome::Updated},
  };
  MakePackage(newProgram, newLibrary);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.free);
    Install(oldProgram, oldLibrary);
    shown.clear();
    FakeDrive drive(c.free);
    EXPECT_EQ(Run(), c.outcome);
    ExpectOneMessage(c.outcome);
    ASSERT_FALSE(drive.asked.empty());
    EXPECT_EQ(Path(drive.asked.front()), Installation());
    if (c.outcome == Outcome::LowDiskSpace) {
      EXPECT_EQ(ReadAll(Installed(PlatformNames().program)), oldProgram);
      EXPECT_FALSE(QFile::exists(InPackage(PlatformNames().newProgram)));
    }
  }
}

TEST_F(Update, OnlyTheEnglishEditionIsUpdated) {
  struct Case {
    const char* name;
    QByteArray program;
    bool present;
  };
  const Case cases[] = {
      {"no version information", "a program built without it", true},
      {"Japanese edition", test::JapaneseProgram("program"), true},
      {"Japanese edition with English values too",
       "x" + test::VersionBlock({{"\\StringFileInfo\\040904E4\\CompanyName", "Keldoran"},
                                 {"\\StringFileInfo\\041103A4\\ProductVersion", "2.1.0"}}),
       true},
      {"neither table", test::VersionBlock({{"\\StringFileInfo\\040904E4\\ProductVersion", "2"}}),
       true},
      {"no program file", {}, false},
  };
  MakePackage(newProgram, newLibrary);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Install(c.program, oldLibrary);
    if (!c.present) QFile::remove(Installed(PlatformNames().program));
    shown.clear();
    EXPECT_EQ(Run(), Outcome::OtherEdition);
    ExpectOneMessage(Outcome::OtherEdition);
    EXPECT_EQ(QFile::exists(Installed(PlatformNames().program)), c.present);
    if (c.present) {
      EXPECT_EQ(ReadAll(Installed(PlatformNames().program)), c.program);
    }
    EXPECT_FALSE(QFile::exists(InPackage(PlatformNames().newProgram)));
  }
}

TEST_F(Update, DamagedPackageLeavesTheInstallationUntouched) {
  struct Case {
    const char* name;
    const char* file;   // the package file to change
    int cut;            // bytes cut from its end
    QByteArray replace; // its new contents when not empty
  };
  const Case cases[] = {
      {"program file one byte short", updater::kProgramPackageFile, 1, {}},
      {"library file one byte short", updater::kLibraryPackageFile, 1, {}},
      {"no description", updater::kPackageDescription, 0, "gone"},
      {"description with another size", updater::kPackageDescription, 0,
       "[Package]\nvelmup1.ex_=1065652\nvelmup2.ex_=70610\n"},
      {"description without a number", updater::kPackageDescription, 0,
       "[Package]\nvelmup1.ex_=large\nvelmup2.ex_=small\n"},
      {"program file missing", updater::kProgramPackageFile, 0, "gone"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Install(oldProgram, oldLibrary);
    MakePackage(newProgram, newLibrary);
    const QString file = InPackage(c.file);
    if (c.replace == "gone") {
      ASSERT_TRUE(QFile::remove(file));
    } else if (!c.replace.isEmpty()) {
      WriteAll(file, c.replace);
    } else {
      ASSERT_TRUE(QFile::resize(file, QFileInfo(file).size() - c.cut));
    }
    shown.clear();
    EXPECT_EQ(Run(), Outcome::Failed);
    ExpectOneMessage(Outcome::Failed);
    EXPECT_EQ(ReadAll(Installed(PlatformNames().program)), oldProgram);
    EXPECT_EQ(ReadAll(Installed(PlatformNames().library)), oldLibrary);
    ExpectOnly({Name(PlatformNames().program), Name(PlatformNames().library)});
  }
}

TEST_F(Update, PackageFileThatDoesNotExpandFails) {
  // Files whose described size matches, but whose contents do not expand.
  struct Case {
    const char* name;
    const char* file;
    bool keepHeader;  // cut the LZ stream short instead of replacing it
  };
  const Case cases[] = {
      {"program file that is no LZ file", updater::kProgramPackageFile, false},
      {"program stream cut short", updater::kProgramPackageFile, true},
      {"library stream cut short", updater::kLibraryPackageFile, true},
  };
  const updater::InstallNames& n = PlatformNames();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Install(oldProgram, oldLibrary);
    MakePackage(newProgram, newLibrary);
    const QString file = InPackage(c.file);
    const QByteArray whole = ReadAll(file);
    const QByteArray damaged = c.keepHeader ? whole.left(whole.size() / 2) : QByteArray(whole.size(), 'x');
    WriteAll(file, damaged);
    const bool program = qstrcmp(c.file, updater::kProgramPackageFile) == 0;
    const QByteArray other = ReadAll(InPackage(program ? updater::kLibraryPackageFile
                                                       : updater::kProgramPackageFile));
    WriteAll(InPackage(updater::kPackageDescription),
             QByteArray("[Package]\n") + c.file + "=" + QByteArray::number(damaged.size()) + "\n" +
                 (program ? updater::kLibraryPackageFile : updater::kProgramPackageFile) + "=" +
                 QByteArray::number(other.size()) + "\n");
    QFile::remove(InPackage(n.newProgram));
    QFile::remove(InPackage(n.newLibrary));
    shown.clear();

    EXPECT_EQ(Run(), Outcome::Failed);
    ExpectOneMessage(Outcome::Failed);
    EXPECT_EQ(ReadAll(Installed(n.program)), oldProgram);
    EXPECT_EQ(ReadAll(Installed(n.library)), oldLibrary);
    // No half-expanded file is left; a file expanded before the failure stays.
    EXPECT_FALSE(QFile::exists(InPackage(program ? n.newProgram : n.newLibrary)));
    EXPECT_EQ(QFile::exists(InPackage(n.newProgram)), !program);
  }
}

// The real file operations, except that the n-th one (counted from 1) fails
// without doing anything; later ones, such as those that mend, work.
class FailingOps final : public updater::FileOps {
 public:
  explicit FailingOps(int failAt) : failAt_(failAt) {}
  bool Copy(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return Next() && real_.Copy(from, to);
  }
  bool Move(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return Next() && real_.Move(from, to);
  }
  bool Remove(const std::filesystem::path& path) override { return Next() && real_.Remove(path); }

 private:
  bool Next() { return ++count_ != failAt_; }
  updater::RealFileOps real_;
  int failAt_;
  int count_ = 0;
};

TEST_F(Update, ReplacementThatBreaksOffKeepsTheInstallationWhole) {
  const updater::InstallNames& n = PlatformNames();
  struct Case {
    const char* name;
    int failAt;
    bool programNew;
    bool libraryNew;
    const char* leftBackup;  // a backup whose deletion failed
  };
  // The operations in order: copy, move to backup, move into place, delete
  // backup; first for the program, then for the library.
  const Case cases[] = {
      {"program copy", 1, false, false, nullptr},
      {"program move to backup", 2, false, false, nullptr},
      {"program move into place", 3, false, false, nullptr},
      {"program backup deletion", 4, true, false, n.oldProgram},
      {"library copy", 5, true, false, nullptr},
      {"library move to backup", 6, true, false, nullptr},
      {"library move into place", 7, true, false, nullptr},
      {"library backup deletion", 8, true, true, n.oldLibrary},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* f : {n.oldProgram, n.oldLibrary}) QFile::remove(Installed(f));
    Install(oldProgram, oldLibrary);
    MakePackage(newProgram, newLibrary);
    shown.clear();
    FailingOps ops(c.failAt);

    EXPECT_EQ(Run(&ops), Outcome::Failed);
    ExpectOneMessage(Outcome::Failed);
    EXPECT_EQ(ReadAll(Installed(n.program)), c.programNew ? newProgram : oldProgram);
    EXPECT_EQ(ReadAll(Installed(n.library)), c.libraryNew ? newLibrary : oldLibrary);
    QStringList expected{Name(n.program), Name(n.library)};
    if (c.leftBackup != nullptr) expected << Name(c.leftBackup);
    ExpectOnly(expected);
    // A failed program replacement also drops the expanded program.
    EXPECT_EQ(QFile::exists(InPackage(n.newProgram)), c.failAt > 4);
  }
}

TEST_F(Update, StaleBackupIsNeverOverwritten) {
  const updater::InstallNames& n = PlatformNames();
  Install(oldProgram, oldLibrary);
  WriteAll(Installed(n.oldProgram), "a backup from an earlier run");
  MakePackage(newProgram, newLibrary);

  EXPECT_EQ(Run(), Outcome::Failed);
  EXPECT_EQ(ReadAll(Installed(n.program)), oldProgram);
  EXPECT_EQ(ReadAll(Installed(n.oldProgram)), "a backup from an earlier run");
  ExpectOnly({Name(n.program), Name(n.library), Name(n.oldProgram)});
}

}  // namespace
