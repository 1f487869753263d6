#include "app/Startup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>

#include "app/Mainunit.h"
#include "platform/os/FreeSpace.h"
#include "profile_library/velm.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"
#include "watchlink/Dipeunit.h"

namespace {

constexpr qint64 kMiB = 1024 * 1024;

class StartupTest : public test::TestFolders {
 protected:
  void TearDown() override {
    os::SetFreeSpaceSource({});
    TestFolders::TearDown();
  }

  QProcess* Launch() {
    auto* p = new QProcess;
    processes_.emplace_back(p);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KELDORAN_WINDIR", WindowsFolder());
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(ProgramFolder());
    p->start(QStringLiteral(KELDORAN_BIN_DIR "/Keldoran"), {});
    EXPECT_TRUE(p->waitForStarted(5000));
    return p;
  }

  // Running means the data module has created its folders.
  bool WaitUntilRunning(QProcess* p) {
    for (int i = 0; i < 200; ++i) {
      if (QFileInfo(InProgram("WORK")).isDir() && p->state() == QProcess::Running) {
        QThread::msleep(300);
        return p->state() == QProcess::Running;
      }
      QThread::msleep(50);
    }
    return false;
  }

  test::ScriptedUi ui;
  std::vector<std::unique_ptr<QProcess>> processes_;
};

TEST_F(StartupTest, TooLittleSpaceEndsWithCode1BeforeAnyFolderExists) {
  os::SetFreeSpaceSource([](const QString&) { return 3 * kMiB; });
  EXPECT_EQ(RunKeldoran(*qApp), 1);
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1830}));
  EXPECT_TRUE(QFileInfo::exists(InWindows("KELDORAN.INI")));
  for (const char* folder : {"USERCONF", "LOG", "WORK"}) {
    EXPECT_FALSE(QFileInfo::exists(InProgram(folder))) << folder;
  }
}

TEST_F(StartupTest, ExitWritesTheSettingsBack) {
  bool ran = false;
  StartOptions options;
  options.onRunning = [&](TMainForm& form) {
    ran = true;
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    form.ExitClick();
  };
  EXPECT_EQ(RunKeldoran(*qApp, options), 0);
  EXPECT_TRUE(ran);
  EXPECT_TRUE(QFileInfo(InProgram("LOG")).isDir());
  VelmWindowPlacement placement{};
  EXPECT_EQ(get_window_place("Main", &placement), 1);
  EXPECT_EQ(placement.length, 44u);
  EXPECT_EQ(get_log_int("Count", "Serial", 10), 1);
}

TEST_F(StartupTest, SecondInstanceLeavesAtOnceAndTermClosesNormally) {
  QProcess* first = Launch();
  ASSERT_TRUE(WaitUntilRunning(first)) << first->readAllStandardError().toStdString();

  QProcess* second = Launch();
  ASSERT_TRUE(second->waitForFinished(10000));
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_TRUE(first->state() == QProcess::Running);

  // A session logout or kill: the window closes the normal way and the
  // settings are written as on Exit.
  EXPECT_FALSE(QFileInfo::exists(InProgram("USERCONF/PLACES.INI")));
  first->terminate();  // SIGTERM
  ASSERT_TRUE(first->waitForFinished(10000));
  EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first->exitCode(), 0);
  EXPECT_TRUE(QFileInfo::exists(InProgram("USERCONF/PLACES.INI")));
}

TEST_F(StartupTest, AGuardLeftByACrashedProcessIsTakenOver) {
  QProcess* first = Launch();
  ASSERT_TRUE(WaitUntilRunning(first));
  ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
  ASSERT_TRUE(first->waitForFinished(10000));

  QProcess* next = Launch();
  EXPECT_FALSE(next->waitForFinished(1500));  // it runs instead of leaving
  next->terminate();
  EXPECT_TRUE(next->waitForFinished(10000));
  EXPECT_EQ(next->exitCode(), 0);
}

TEST_F(StartupTest, ProgressWindowLivesHiddenForTheWholeRun) {
  bool ran = false;
  StartOptions options;
  options.onRunning = [&](TMainForm& form) {
    ran = true;
    ASSERT_NE(DipeForm, nullptr);
    EXPECT_FALSE(DipeForm->isVisible());
    form.ExitClick();
  };
  EXPECT_EQ(RunKeldoran(*qApp, options), 0);
  EXPECT_TRUE(ran);
  EXPECT_EQ(DipeForm, nullptr);
}

}  // namespace
