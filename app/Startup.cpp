#include "app/Startup.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <exception>
#include <memory>

#include "app/Aboutunit.h"
#include "app/Application.h"
#include "app/Mainunit.h"
#include "app/Splashunit.h"
#include "graph/Graphunit.h"
#include "platform/os/ShutdownSignals.h"
#include "platform/os/SingleInstance.h"
#include "platform/os/UiServices.h"
#include "platform/os/WindowPlacement.h"
#include "resources/Pictures.h"
#include "store/Dataunit.h"
#include "watchlink/Dipeunit.h"

int RunKeldoran(QApplication& app, const StartOptions& options) {
  os::SingleInstance guard(QStringLiteral("KELDORANGRAPH"));
  if (!guard.Acquire()) return 0;  // another Keldoran runs: leave without a word

  QApplication::setApplicationName(QStringLiteral("KELDORAN"));
  QApplication::setWindowIcon(res::LoadIcon("KELDORAN_ICON"));

  int exitCode = 0;
  try {
    auto splash = std::make_unique<TSplashForm>();
    splash->show();
    splash->repaint();
    app.processEvents();

    TMainForm mainForm;
    TVelmDataModule dataModule;
    dataModule.TakeMainPlacement = [&mainForm] { return os::TakePlacement(mainForm); };
    dataModule.ApplyMainPlacement = [&mainForm](const os::WindowPlacement& p) {
      os::ApplyPlacement(mainForm, p);
    };
    exitCode = dataModule.VelmDataModuleCreate();
    if (exitCode != 0) return exitCode;
    TDipeForm dipeForm;
    DipeForm = &dipeForm;
    TGraphForm graphForm;
    GraphForm = &graphForm;
    mainForm.AttachGraphForm(&graphForm);

    QObject::connect(&mainForm, &TMainForm::FirstShown, &mainForm, [&splash] { splash.reset(); });
    os::InstallShutdownSignals([&mainForm] { mainForm.close(); });

    mainForm.show();
    if (options.onRunning) {
      QTimer::singleShot(0, &mainForm, [&] { options.onRunning(mainForm); });
    }
    exitCode = app.exec();

    dataModule.VelmDataModuleDestroy();
  } catch (const std::exception& e) {
    ShowExceptionBox(QString::fromLocal8Bit(e.what()));
  }
  return exitCode;
}
