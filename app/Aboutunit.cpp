#include "app/Aboutunit.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/os/LocaleFont.h"
#include "resources/Pictures.h"
#include "resources/Strings.h"

#ifndef KELDORAN_VERSION
#define KELDORAN_VERSION "0.0.0"
#endif

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  os::ApplyLocaleFont(this);
  QString caption = res::LoadStr(32);
  caption.remove(u'&');
  caption.remove(QStringLiteral("..."));
  setWindowTitle(caption);

  auto* layout = new QVBoxLayout(this);
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("ProgramIcon"));
  picture->setPixmap(res::LoadPicture("TITLE_BITMAP", QSize(300, 202)));
  layout->addWidget(picture, 0, Qt::AlignHCenter);

  auto* product = new QLabel(res::LoadStr(1), this);
  product->setObjectName(QStringLiteral("ProductName"));
  QFont bold = product->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  product->setFont(bold);
  layout->addWidget(product, 0, Qt::AlignHCenter);

  auto* version = new QLabel(QStringLiteral("Version %1").arg(QLatin1String(KELDORAN_VERSION)), this);
  version->setObjectName(QStringLiteral("Version"));
  layout->addWidget(version, 0, Qt::AlignHCenter);

  auto* comments = new QLabel(QStringLiteral("Dive log book for the dive computer watch"), this);
  comments->setObjectName(QStringLiteral("Comments"));
  layout->addWidget(comments, 0, Qt::AlignHCenter);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(res::LoadStr(2), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("OKButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}
