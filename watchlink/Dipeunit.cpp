#include "watchlink/Dipeunit.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "platform/os/LocaleFont.h"

TDipeForm* DipeForm = nullptr;

TDipeForm::TDipeForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DipeForm"));
  setModal(false);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(336, 113);
  // Outside the Japanese locale only the size changes; the face stays.
  if (os::UserDefaultLocaleId() != os::kJapaneseLocaleId) {
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
  }

  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(16, 16, 304, 16);
  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(16, 40, 304, 16);
  ProBar = new QProgressBar(this);
  ProBar->setObjectName(QStringLiteral("ProBar"));
  ProBar->setGeometry(16, 64, 297, 16);
  ProBar->setRange(0, 100);
  ProBar->setValue(0);
  ProBar->setTextVisible(false);
  Label3 = new QLabel(this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setGeometry(16, 88, 304, 16);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r = rect();
    r.moveCenter(screen->availableGeometry().center());
    move(r.topLeft());
  }
}

TDipeForm::~TDipeForm() {
  if (DipeForm == this) DipeForm = nullptr;
}

void TDipeForm::PaintNow() {
  // A window the platform has not exposed yet ignores painting, and the
  // exposure arrives as an event that nobody handles while the caller holds
  // the loop: take the pending non-input events until it is there.
  const QWindow* window = windowHandle();
  if (window && !window->isExposed()) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  repaint();
}

void TDipeForm::SetPosition(int position) { ProBar->setValue(std::clamp(position, 0, 100)); }

int TDipeForm::ShowProgress(const QString& caption, const QString& line1, const QString& line2,
                            int position, const QString& line3) {
  setWindowTitle(caption);
  Label1->setText(line1);
  Label2->setText(line2);
  SetPosition(position);
  Label3->setText(line3);
  show();
  PaintNow();
  return 1;
}

void TDipeForm::UpdateProgress(const QString& caption, const QString& line1, const QString& line2,
                               int position, const QString& line3, int token) {
  if (token != 1) return;
  if (!caption.isEmpty()) setWindowTitle(caption);
  if (!line1.isEmpty()) Label1->setText(line1);
  if (!line2.isEmpty()) Label2->setText(line2);
  SetPosition(position);
  if (!line3.isEmpty()) Label3->setText(line3);
  // The caller holds the event loop: paint now, not when it returns.
  PaintNow();
}

void TDipeForm::HideProgress(int token) {
  if (token == 1) hide();
}
