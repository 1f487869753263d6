#include "app/Splashunit.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>

#include "platform/os/LocaleFont.h"
#include "resources/Pictures.h"

TSplashForm::TSplashForm()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("SplashForm"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  os::ApplyLocaleFont(this);
  setFixedSize(400, 270);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  QApplication::setOverrideCursor(Qt::BusyCursor);
}

TSplashForm::~TSplashForm() { QApplication::restoreOverrideCursor(); }

void TSplashForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(rect(), res::LoadPicture("TITLE_BITMAP", size()));
}
