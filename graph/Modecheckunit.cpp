#include "graph/Modecheckunit.h"

#include <QLabel>
#include <QPushButton>

#include "platform/os/LocaleFont.h"
#include "platform/os/UiServices.h"
#include "resources/Strings.h"

TModeCheckDlg::TModeCheckDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ModeCheckDlg"));
  os::ApplyLocaleFont(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(res::LoadStr(176));
  setFixedSize(313, 105);

  Label1 = new QLabel(res::LoadStr(177), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(12, 10, 290, 16);
  Label2 = new QLabel(res::LoadStr(178), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(12, 32, 290, 16);

  const auto button = [this](const char* name, int textId, int left) {
    auto* b = new QPushButton(res::LoadStr(textId), this);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(left, 64, 90, 26);
    return b;
  };
  CentiGradeBtn = button("CentiGradeBtn", 87, 12);
  FarhenheitBtn = button("FarhenheitBtn", 88, 111);
  CancelButton = button("CancelButton", 3, 210);
  CentiGradeBtn->setDefault(true);

  connect(CentiGradeBtn, &QPushButton::clicked, this, [this] {
    Unit = 1;
    accept();
  });
  connect(FarhenheitBtn, &QPushButton::clicked, this, [this] {
    Unit = 2;
    accept();
  });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

int AskGraphUnit(QWidget* owner) {
  TModeCheckDlg dialog(owner);
  if (os::ShowModal(dialog) != QDialog::Accepted) return 0;
  return dialog.Unit;
}
