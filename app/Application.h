#pragma once
#include <QApplication>

// The application object. An exception that escapes an event handler is
// shown in the exception box and the program goes on, instead of tearing
// down the event loop.
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// The exception box: the error's text with the application's title.
void ShowExceptionBox(const QString& text);
