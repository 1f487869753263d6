#pragma once
#include <QWidget>

// The splash window: borderless, stay-on-top, 400 x 270, centred, showing
// the title picture; the application-start cursor while it exists.
class TSplashForm : public QWidget {
  Q_OBJECT

 public:
  TSplashForm();
  ~TSplashForm() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
