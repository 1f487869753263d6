#include "watchlink/Commainunit.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/os/LocaleFont.h"
#include "resources/Strings.h"
#include "store/Dataunit.h"
#include "store/Velm.h"
#include "watchlink/Portunit.h"
#include "watchlink/ReceiveSteps.h"

namespace {

constexpr int kCaption = 44;          // "Data receive"
constexpr int kCompleted = 1526;      // "Data receiving completed"
constexpr int kReadFailed = 2010;     // "Data read failed"
constexpr int kPortCaption = 175;     // "Serial port"
constexpr int kPortGroup = 154;       // "Serial port"
constexpr int kHelpContext = 3008;

void CenterOnScreen(QWidget& w) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r = w.rect();
    r.moveCenter(screen->availableGeometry().center());
    w.move(r.topLeft());
  }
}

QLabel* MakeLabel(QWidget* parent, const char* name, int textId, int top) {
  auto* label = new QLabel(textId ? res::LoadStr(textId) : QString(), parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(16, top, 345, 16);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, int textId, int left, int top) {
  auto* button = new QPushButton(res::LoadStr(textId), parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(left, top, 75, 25);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TCommForm::TCommForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CommForm"));
  os::ApplyLocaleFont(this);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  setWindowTitle(res::LoadStr(kCaption));
  setFixedSize(377, 150);

  Label1 = MakeLabel(this, "Label1", 187, 8);
  Label2 = MakeLabel(this, "Label2", 226, 24);
  Label3 = MakeLabel(this, "Label3", 0, 40);
  Label4 = MakeLabel(this, "Label4", 188, 56);
  Label5 = MakeLabel(this, "Label5", 189, 72);
  Label6 = MakeLabel(this, "Label6", 0, 88);
  StartButton = MakeButton(this, "StartButton", 190, 16, 112);
  StartButton->setDefault(true);
  FinishButton = MakeButton(this, "FinishButton", 191, 101, 112);
  ComButton = MakeButton(this, "ComButton", 175, 203, 112);
  HelpButton = MakeButton(this, "HelpButton", 4, 288, 112);

  connect(StartButton, &QPushButton::clicked, this, &TCommForm::StartButtonClick);
  connect(FinishButton, &QPushButton::clicked, this, &TCommForm::FinishButtonClick);
  connect(ComButton, &QPushButton::clicked, this, &TCommForm::ComButtonClick);
  connect(HelpButton, &QPushButton::clicked, this, &TCommForm::HelpButtonClick);

  Download = watch::ReceiveWatchData;
  CenterOnScreen(*this);
  FormCreate();
}

void TCommForm::FormCreate() {
  if (VelmDataModule == nullptr) return;
  PortNumber = VelmDataModule->SerialPort;
  LogFolder = VelmDataModule->LogBookFolder;
}

void TCommForm::Message(int textId, const QString& text, os::MsgIcon icon) {
  os::MessageRequest request;
  request.owner = this;
  request.textId = textId;
  request.captionId = kCaption;
  request.text = text;
  request.caption = res::LoadStr(kCaption);
  request.icon = icon;
  os::Ui().MessageBox(request);
}

void TCommForm::StartButtonClick() {
  const watch::DownloadOutcome outcome =
      watch::ReceiveOneDive(*VelmDataModule, LogFolder, PortNumber, Download);
  switch (outcome.kind) {
    case watch::DownloadOutcome::Kind::NoNumber:
      return;
    case watch::DownloadOutcome::Kind::ReadFailed:
      Message(kReadFailed, res::LoadStr(kReadFailed), os::MsgIcon::Warning);
      return;
    case watch::DownloadOutcome::Kind::RecordAdded:
      break;
  }
  RecordAdded = true;
  Message(kCompleted, res::LoadStr(kCompleted), os::MsgIcon::Information);
  if (!outcome.received.unreadable.isEmpty()) {
    Message(0, watch::UnreadableValuesText(outcome.received.unreadable), os::MsgIcon::Warning);
  }
}

void TCommForm::FinishButtonClick() {
  if (RecordAdded) VelmDataModule->WriteCsvFile();
  done(Accepted);
}

void TCommForm::reject() { FinishButtonClick(); }

void TCommForm::ComButtonClick() {
  TPortForm form(this);
  form.SetItemIndex(VelmDataModule->SerialPort - 1);
  if (os::ShowModal(form) == Accepted && form.ItemIndex() >= 0) {
    PortNumber = form.ItemIndex() + 1;
    VelmDataModule->SerialPort = PortNumber;
    velmq::SetProfInt("Config", "Serial Port", PortNumber);
  }
}

void TCommForm::HelpButtonClick() { os::Ui().ShowHelp(QStringLiteral("keldoran.hlp"), kHelpContext); }

TPortForm::TPortForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PortForm"));
  os::ApplyLocaleFont(this);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  setWindowTitle(res::LoadStr(kPortCaption));
  setFixedSize(167, 118);

  RadioGroup = new QGroupBox(res::LoadStr(kPortGroup), this);
  RadioGroup->setObjectName(QStringLiteral("RadioGroup"));
  RadioGroup->setGeometry(8, 4, 151, 76);
  auto* column = new QVBoxLayout(RadioGroup);
  column->setContentsMargins(8, 2, 8, 2);
  column->setSpacing(0);
  items_ = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    auto* item = new QRadioButton(QStringLiteral("COM%1").arg(i + 1), RadioGroup);
    item->setObjectName(QStringLiteral("COM%1").arg(i + 1));
    items_->addButton(item, i);
    column->addWidget(item);
  }

  OkButton = MakeButton(this, "OkButton", 2, 8, 86);
  OkButton->setDefault(true);
  CancelButton = MakeButton(this, "CancelButton", 3, 86, 86);
  connect(OkButton, &QPushButton::clicked, this, &TPortForm::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TPortForm::CancelButtonClick);
  CenterOnScreen(*this);
}

int TPortForm::ItemIndex() const { return items_->checkedId(); }

void TPortForm::SetItemIndex(int index) {
  if (QAbstractButton* item = items_->button(index)) {
    item->setChecked(true);
    return;
  }
  // No item: none is chosen (the group keeps one checked once one was).
  items_->setExclusive(false);
  for (QAbstractButton* b : items_->buttons()) b->setChecked(false);
  items_->setExclusive(true);
}

void TPortForm::OkButtonClick() { done(Accepted); }

void TPortForm::CancelButtonClick() { done(Rejected); }
