#include "settings/Regedit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/os/LocaleFont.h"
#include "resources/Strings.h"

TRegistEditDlg::TRegistEditDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("RegistEditDlg"));
  os::ApplyLocaleFont(this);
  auto* layout = new QVBoxLayout(this);
  RegistEdit = new QLineEdit(this);
  RegistEdit->setObjectName(QStringLiteral("RegistEdit"));
  RegistEdit->setMinimumWidth(220);
  layout->addWidget(RegistEdit);

  auto* row = new QHBoxLayout;
  row->addStretch(1);
  auto* ok = new QPushButton(res::LoadStr(2), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(res::LoadStr(3), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);

  connect(RegistEdit, &QLineEdit::textEdited, this, [this] { changed_ = true; });
  connect(ok, &QPushButton::clicked, this, &TRegistEditDlg::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TRegistEditDlg::SetEntry(const QString& caption, int maxLength, const QString& text) {
  setWindowTitle(caption);
  RegistEdit->setMaxLength(maxLength);
  RegistEdit->setText(text);
  changed_ = false;
}

QString TRegistEditDlg::Text() const { return RegistEdit->text(); }

void TRegistEditDlg::OKBtnClick() { done(changed_ ? Accepted : Rejected); }
