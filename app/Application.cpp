#include "app/Application.h"

#include <exception>

#include "platform/os/UiServices.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowExceptionBox(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    ShowExceptionBox(QStringLiteral("An unexpected error occurred."));
  }
  return false;
}

void ShowExceptionBox(const QString& text) {
  os::MessageRequest r;
  r.caption = QStringLiteral("KELDORAN");
  r.text = text;
  r.icon = os::MsgIcon::Error;
  os::Ui().MessageBox(r);
}
