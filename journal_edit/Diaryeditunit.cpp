#include "journal_edit/Diaryeditunit.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "journal_edit/EntryLogic.h"
#include "platform/db/Table.h"
#include "platform/os/Formats.h"
#include "platform/os/LocaleFont.h"
#include "platform/os/UiServices.h"
#include "resources/Pictures.h"
#include "resources/Strings.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "store/ListFiles.h"
#include "store/Velm.h"

namespace {

constexpr int kNewEdit = 37;            // "New edit"
constexpr int kEdit = 38;               // "Edit"
constexpr int kAirCaption = 225;        // "Calculation of air consumption"
constexpr int kContinue = 228;          // "Continue registration?"
constexpr int kInvalid = 1891;          // "Invalid data entry"
constexpr int kFileCreationFailed = 1991;  // "File creation failed"
constexpr int kHelpNew = 3009;
constexpr int kHelpEdit = 3010;
constexpr int kMaxRecords = 9999;
constexpr int kMemoWidth = 200;
const QString kCommonContents = QStringLiteral("USERCOMN.LST");
const QByteArray kDummyProfile = "this is dummy log File.";

QString Blank() {
  return os::UserDefaultLocaleId() == os::kJapaneseLocaleId ? QString() : QStringLiteral(" ");
}

QLabel* Label(QWidget* parent, const char* name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QLatin1String(name));
  return l;
}

// The lines of a content file after its header line.
QStringList Contents(const QString& path) {
  QStringList lines = lists::ReadLines(path);
  if (!lines.isEmpty()) lines.removeFirst();
  for (QString& l : lines) l = l.left(259);
  return lines;
}

}  // namespace

TDiaryEditForm::TDiaryEditForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DiaryEditForm"));
  os::ApplyLocaleFont(this);

  YearEdit = MakeEdit("YearEdit", 4);
  MonthEdit = MakeEdit("MonthEdit", 2);
  DateEdit = MakeEdit("DateEdit", 2);
  NoEdit = MakeEdit("NoEdit", 1);
  SiteComboBox = MakeCombo("SiteComboBox", 20);
  DiverComboBox = MakeCombo("DiverComboBox", 20);
  BuddyComboBox = MakeCombo("BuddyComboBox", 20);
  WeatherComboBox = MakeCombo("WeatherComboBox", 12);
  TmpEdit = MakeEdit("TmpEdit", 4);
  VisiEdit = MakeEdit("VisiEdit", 4);
  WeightEdit = MakeEdit("WeightEdit", 4);
  MatComboBox = MakeCombo("MatComboBox", 10);
  CapaEdit = MakeEdit("CapaEdit", 4);
  StartPreEdit = MakeEdit("StartPreEdit", 4);
  FinishPreEdit = MakeEdit("FinishPreEdit", 4);
  ConsumptionEdit = MakeEdit("ConsumptionEdit", 4);
  AveDEdit = MakeEdit("AveDEdit", 5);
  MaxDEdit = MakeEdit("MaxDEdit", 5);
  AveWEdit = MakeEdit("AveWEdit", 5);
  MinWEdit = MakeEdit("MinWEdit", 5);
  const char* timeNames[4][3] = {{"RestTimeHEdit", "RestTimeMEdit", "RestTimeSEdit"},
                                 {"EntryTimeHEdit", "EntryTimeMEdit", "EntryTimeSEdit"},
                                 {"ExitTimeHEdit", "ExitTimeMEdit", "ExitTimeSEdit"},
                                 {"DiveTimeHEdit", "DiveTimeMEdit", "DiveTimeSEdit"}};
  for (std::size_t t = 0; t < 4; ++t) {
    for (std::size_t p = 0; p < 3; ++p) {
      TimeEdits[t][p] = MakeEdit(timeNames[t][p], 2);
      TimeEdits[t][p]->setFixedWidth(28);
    }
  }
  for (std::size_t n = 0; n < 4; ++n) {
    UentComboBox[n] = MakeCombo(QStringLiteral("UentComboBox%1").arg(n + 1).toLatin1().constData(), 12);
    UvComboBox[n] = MakeCombo(QStringLiteral("UvComboBox%1").arg(n + 1).toLatin1().constData(), 20);
  }
  Memo = new QPlainTextEdit(this);
  Memo->setObjectName(QStringLiteral("Memo"));
  Memo->setFixedHeight(54);
  connect(Memo, &QPlainTextEdit::textChanged, this, [this] {
    // The memo holds at most 200 characters, like its journal field.
    const QString text = Memo->toPlainText();
    if (entry::JoinMemo(text).size() > kMemoWidth) {
      Memo->setPlainText(text.left(kMemoWidth));
      Memo->moveCursor(QTextCursor::End);
    }
  });

  for (QLineEdit* e : {YearEdit, MonthEdit, DateEdit, NoEdit, TmpEdit, VisiEdit, WeightEdit, CapaEdit,
                       StartPreEdit, FinishPreEdit, ConsumptionEdit, AveDEdit, MaxDEdit, AveWEdit, MinWEdit}) {
    e->setAttribute(Qt::WA_InputMethodEnabled, false);
    e->setFixedWidth(e->maxLength() <= 2 ? 28 : 48);
  }
  for (auto& row : TimeEdits) {
    for (QLineEdit* e : row) e->setAttribute(Qt::WA_InputMethodEnabled, false);
  }

  const auto button = [this](const char* name, int textId) {
    auto* b = new QPushButton(res::LoadStr(textId), this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
  };
  PrevButton = button("PrevButton", 91);
  NextButton = button("NextButton", 92);
  OkButton = button("OkButton", 2);
  OkButton->setDefault(true);
  CancelButton = button("CancelButton", 3);
  HelpButton = button("HelpButton", 4);
  ConsButton = button("ConsButton", 70);

  // Layout.
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  int row = 0;
  auto* date = new QHBoxLayout;
  date->addWidget(YearEdit);
  date->addWidget(new QLabel(QStringLiteral("/"), this));
  date->addWidget(MonthEdit);
  date->addWidget(new QLabel(QStringLiteral("/"), this));
  date->addWidget(DateEdit);
  date->addSpacing(16);
  date->addWidget(Label(this, "NoLabel", res::LoadStr(198)));
  date->addWidget(NoEdit);
  date->addStretch(1);
  grid->addWidget(Label(this, "DateLabel", res::LoadStr(50)), row, 0);
  grid->addLayout(date, row++, 1, 1, 3);

  const auto pair = [&](const char* labelName, const QString& text, QWidget* field, int column) {
    grid->addWidget(Label(this, labelName, text), row, column);
    grid->addWidget(field, row, column + 1);
  };
  pair("SiteLabel", Blank() + res::LoadStr(55), SiteComboBox, 0);
  pair("WeatherLabel", Blank() + res::LoadStr(63), WeatherComboBox, 2);
  ++row;
  pair("DiverLabel", Blank() + res::LoadStr(54), DiverComboBox, 0);
  pair("BuddyLabel", Blank() + res::LoadStr(56), BuddyComboBox, 2);
  ++row;

  const auto withUnit = [this](QWidget* field, QLabel* unit) {
    auto* box = new QWidget(this);
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(field);
    h->addWidget(unit);
    h->addStretch(1);
    return box;
  };
  for (std::size_t i = 0; i < 3; ++i) {
    LengthUnitLabel[i] = Label(this, QStringLiteral("LengthUnitLabel%1").arg(i + 1).toLatin1().constData(), QString());
    TmpImage[i] = Label(this, QStringLiteral("TmpImage%1").arg(i + 1).toLatin1().constData(), QString());
  }
  auto* weightUnit = Label(this, "WeightUnitLabel", VelmDataModule ? VelmDataModule->WeightUnit : QString());
  pair("TmpLabel", Blank() + res::LoadStr(64), withUnit(TmpEdit, TmpImage[0]), 0);
  pair("VisiLabel", Blank() + res::LoadStr(65), withUnit(VisiEdit, LengthUnitLabel[0]), 2);
  ++row;
  pair("WeightLabel", Blank() + res::LoadStr(71), withUnit(WeightEdit, weightUnit), 0);
  ++row;
  pair("AveDLabel", res::LoadStr(57), withUnit(AveDEdit, LengthUnitLabel[1]), 0);
  pair("MaxDLabel", res::LoadStr(58), withUnit(MaxDEdit, LengthUnitLabel[2]), 2);
  ++row;
  pair("AveWLabel", res::LoadStr(59), withUnit(AveWEdit, TmpImage[2]), 0);
  pair("MinWLabel", res::LoadStr(60), withUnit(MinWEdit, TmpImage[1]), 2);
  ++row;
  const auto time = [this](const std::array<QLineEdit*, 3>& edits) {
    auto* box = new QWidget(this);
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    h->addWidget(edits[0]);
    h->addWidget(new QLabel(QStringLiteral(":"), box));
    h->addWidget(edits[1]);
    h->addWidget(new QLabel(QStringLiteral(":"), box));
    h->addWidget(edits[2]);
    h->addStretch(1);
    return box;
  };
  pair("EntryLabel", res::LoadStr(52), time(TimeEdits[1]), 0);
  pair("SurfLabel", res::LoadStr(53), time(TimeEdits[2]), 2);
  ++row;
  pair("RestLabel", res::LoadStr(61), time(TimeEdits[0]), 0);
  pair("DiveLabel", res::LoadStr(62), time(TimeEdits[3]), 2);
  ++row;

  auto* tank = new QGroupBox(res::LoadStr(82), this);
  tank->setObjectName(QStringLiteral("TankGroupBox"));
  auto* tankGrid = new QGridLayout(tank);
  const QString pressure = VelmDataModule ? VelmDataModule->PressureUnit : QString();
  const QString capacity = VelmDataModule ? VelmDataModule->CapacityUnit : QString();
  tankGrid->addWidget(Label(tank, "MatLabel", res::LoadStr(83)), 0, 0);
  tankGrid->addWidget(MatComboBox, 0, 1);
  tankGrid->addWidget(Label(tank, "CapaLabel", res::LoadStr(84)), 0, 2);
  tankGrid->addWidget(withUnit(CapaEdit, Label(tank, "CapaUnitLabel1", capacity)), 0, 3);
  tankGrid->addWidget(Label(tank, "StartPreLabel", res::LoadStr(68)), 1, 0);
  tankGrid->addWidget(withUnit(StartPreEdit, Label(tank, "PreUnitLabel1", pressure)), 1, 1);
  tankGrid->addWidget(Label(tank, "FinishPreLabel", res::LoadStr(69)), 1, 2);
  tankGrid->addWidget(withUnit(FinishPreEdit, Label(tank, "PreUnitLabel2", pressure)), 1, 3);
  tankGrid->addWidget(ConsButton, 2, 0);
  tankGrid->addWidget(withUnit(ConsumptionEdit, Label(tank, "CapaUnitLabel2", pressure)), 2, 1);
  grid->addWidget(tank, row++, 0, 1, 4);

  auto* user = new QGroupBox(res::LoadStr(162), this);
  user->setObjectName(QStringLiteral("UserItemGroupBox"));
  auto* userGrid = new QGridLayout(user);
  for (int n = 0; n < 4; ++n) {
    userGrid->addWidget(UentComboBox[static_cast<std::size_t>(n)], n / 2, (n % 2) * 2);
    userGrid->addWidget(UvComboBox[static_cast<std::size_t>(n)], n / 2, (n % 2) * 2 + 1);
  }
  grid->addWidget(user, row++, 0, 1, 4);
  grid->addWidget(Label(this, "MemoLabel", res::LoadStr(80)), row, 0, Qt::AlignTop);
  grid->addWidget(Memo, row++, 1, 1, 3);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(PrevButton);
  buttons->addWidget(NextButton);
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(OkButton, &QPushButton::clicked, this, &TDiaryEditForm::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TDiaryEditForm::CancelButtonClick);
  connect(PrevButton, &QPushButton::clicked, this, &TDiaryEditForm::PrevButtonClick);
  connect(NextButton, &QPushButton::clicked, this, &TDiaryEditForm::NextButtonClick);
  connect(ConsButton, &QPushButton::clicked, this, &TDiaryEditForm::ConsButtonClick);
  connect(HelpButton, &QPushButton::clicked, this, &TDiaryEditForm::HelpButtonClick);
  connect(qApp, &QApplication::focusChanged, this, &TDiaryEditForm::FocusChanged);

  FillLists();
  RememberTexts();
}

TDiaryEditForm::~TDiaryEditForm() = default;

QLineEdit* TDiaryEditForm::MakeEdit(const char* name, int maxLength) {
  auto* e = new QLineEdit(this);
  e->setObjectName(QLatin1String(name));
  e->setMaxLength(maxLength);
  return e;
}

QComboBox* TDiaryEditForm::MakeCombo(const char* name, int maxLength) {
  auto* c = new QComboBox(this);
  c->setObjectName(QLatin1String(name));
  c->setEditable(true);
  c->setInsertPolicy(QComboBox::NoInsert);
  c->lineEdit()->setMaxLength(maxLength);
  c->setMinimumWidth(maxLength >= 20 ? 140 : 100);
  // Only the user's own changes count: typing or choosing an item.
  connect(c->lineEdit(), &QLineEdit::textEdited, this, [this, c] { SiteComboBoxChange(c); });
  connect(c, &QComboBox::activated, this, [this, c] { SiteComboBoxChange(c); });
  return c;
}

void TDiaryEditForm::FillLists() {
  if (VelmDataModule == nullptr) return;
  const TVelmDataModule& dm = *VelmDataModule;
  SiteComboBox->addItems(dm.PlaceList);
  DiverComboBox->addItems(dm.DiverList);
  BuddyComboBox->addItems(dm.DiverList);
  WeatherComboBox->addItems(dm.WeatherList);
  MatComboBox->addItems(dm.TankList);
  for (QComboBox* c : {SiteComboBox, DiverComboBox, BuddyComboBox, WeatherComboBox, MatComboBox}) {
    c->setEditText(QString());
  }
  if (!dm.DefaultPlace.isEmpty()) SiteComboBox->setEditText(dm.DefaultPlace);
  if (!dm.DefaultDiver.isEmpty()) DiverComboBox->setEditText(dm.DefaultDiver);
  if (!dm.DefaultBuddy.isEmpty()) BuddyComboBox->setEditText(dm.DefaultBuddy);
  const auto defaults = velmq::UserArticleDefaults();
  for (std::size_t n = 0; n < 4; ++n) {
    UentComboBox[n]->addItems(dm.ArticleNames);
    UentComboBox[n]->setEditText(defaults[n].article);
    FillContents(static_cast<int>(n) + 1);
    UvComboBox[n]->setEditText(defaults[n].content);
  }
}

void TDiaryEditForm::FillContents(int n) {
  QComboBox* values = UvComboBox[static_cast<std::size_t>(n - 1)];
  const QString text = values->currentText();
  values->clear();
  const auto folder = velmq::UconfDir();
  if (VelmDataModule != nullptr && folder) {
    const TVelmDataModule& dm = *VelmDataModule;
    const QString article = UentComboBox[static_cast<std::size_t>(n - 1)]->currentText();
    for (qsizetype i = 0; i < dm.ArticleNames.size() && i < dm.ArticleFiles.size(); ++i) {
      if (dm.ArticleNames[i] != article) continue;
      if (dm.ArticleFiles[i].compare(kCommonContents, Qt::CaseInsensitive) == 0) continue;
      values->addItems(Contents(velmq::MakePathname(*folder, dm.ArticleFiles[i])));
    }
    values->addItems(Contents(velmq::MakePathname(*folder, kCommonContents)));
  }
  values->setEditText(text);
}

void TDiaryEditForm::SetUnitMode(int mode) {
  UnitMode = mode;
  const QString length = res::LoadStr(mode == 1 ? 85 : 86);
  const QPixmap sign = res::LoadPicture(mode == 1 ? "CENTI_BITMAP" : "FAHR_BITMAP", QSize(16, 16));
  for (QLabel* l : LengthUnitLabel) l->setText(length);
  for (QLabel* l : TmpImage) l->setPixmap(sign);
}

void TDiaryEditForm::SetWatchControlsEnabled(bool enabled) {
  for (QLineEdit* e : {YearEdit, MonthEdit, DateEdit, NoEdit, AveDEdit, MaxDEdit, AveWEdit, MinWEdit}) {
    e->setEnabled(enabled);
  }
  for (auto& row : TimeEdits) {
    for (QLineEdit* e : row) e->setEnabled(enabled);
  }
}

void TDiaryEditForm::SetMode(int mode) {
  EditMode = mode;
  if (mode == 1) {
    LoadRecord();
    PrevButton->show();
    NextButton->show();
    setWindowTitle(res::LoadStr(kEdit));
  } else {
    setWindowTitle(res::LoadStr(kNewEdit));
    SetWatchControlsEnabled(true);
    PrevButton->hide();
    NextButton->hide();
    WatchFlag = 2;
    Modified = false;
    SetUnitMode(VelmDataModule != nullptr ? VelmDataModule->DepthUnitMode : 1);
  }
  RememberTexts();
}

void TDiaryEditForm::LoadRecord() {
  if (VelmDataModule == nullptr || VelmDataModule->LogTable.RecordCount() == 0) return;
  const JournalRecord r = journal::ReadRecord(VelmDataModule->LogTable);
  WatchFlag = r.WatchData;
  SetUnitMode(r.Mode);
  const QStringList date = r.Date ? fmt::DateToStr(*r.Date).split(u'/') : QStringList{{}, {}, {}};
  YearEdit->setText(date.value(0));
  MonthEdit->setText(date.value(1));
  DateEdit->setText(date.value(2));
  NoEdit->setText(r.No);
  MaxDEdit->setText(r.MaxDepth);
  MinWEdit->setText(r.MinWater);
  AveDEdit->setText(r.AveDepth);
  AveWEdit->setText(r.AveWater);
  DiverComboBox->setEditText(r.Diver);
  BuddyComboBox->setEditText(r.Buddy);
  SiteComboBox->setEditText(r.Site);
  WeatherComboBox->setEditText(r.Weather);
  TmpEdit->setText(r.Temp);
  VisiEdit->setText(r.Clarity);
  CapaEdit->setText(r.TankCapacity);
  MatComboBox->setEditText(r.TankMaterial);
  WeightEdit->setText(r.Weight);
  StartPreEdit->setText(r.StartPres);
  FinishPreEdit->setText(r.EndPres);
  ConsumptionEdit->setText(r.AirConsum);
  for (std::size_t n = 0; n < 4; ++n) {
    UentComboBox[n]->setEditText(r.UserArticle[n]);
    UvComboBox[n]->setEditText(r.UserContent[n]);
    FillContents(static_cast<int>(n) + 1);
  }
  Memo->setPlainText(r.Memo);
  const std::optional<double> times[4] = {r.RestTime, r.EntryTime, r.SurfTime, r.DiveTime};
  for (std::size_t t = 0; t < 4; ++t) {
    QString h, m, s;
    if (times[t]) entry::SplitTime(fmt::TimeToStr(*times[t]), h, m, s);
    TimeEdits[t][0]->setText(h);
    TimeEdits[t][1]->setText(m);
    TimeEdits[t][2]->setText(s);
  }
  SetWatchControlsEnabled(WatchFlag != 1);
  Modified = false;
  RememberTexts();
}

bool TDiaryEditForm::RecordFromControls(JournalRecord& r) {
  r.Mode = UnitMode;
  r.Date = fmt::StrToDate(YearEdit->text() + u'/' + MonthEdit->text() + u'/' + DateEdit->text());
  if (!r.Date) {
    Message(kInvalid, Caption());
    return false;
  }
  if (!NoEdit->text().isEmpty()) r.No = entry::StoredNo(NoEdit->text());
  std::optional<double>* times[4] = {&r.RestTime, &r.EntryTime, &r.SurfTime, &r.DiveTime};
  for (std::size_t t = 0; t < 4; ++t) {
    *times[t] = fmt::StrToTime(
        entry::JoinTime(TimeEdits[t][0]->text(), TimeEdits[t][1]->text(), TimeEdits[t][2]->text()));
    if (!*times[t]) {
      Message(kInvalid, Caption());
      return false;
    }
  }
  r.MaxDepth = MaxDEdit->text();
  r.MinWater = MinWEdit->text();
  r.AveWater = AveWEdit->text();
  r.AveDepth = AveDEdit->text();
  r.Diver = DiverComboBox->currentText();
  r.Buddy = BuddyComboBox->currentText();
  r.Site = SiteComboBox->currentText();
  r.Weather = WeatherComboBox->currentText();
  r.Temp = TmpEdit->text();
  for (std::size_t n = 0; n < 4; ++n) {
    r.UserArticle[n] = UentComboBox[n]->currentText();
    r.UserContent[n] = UvComboBox[n]->currentText();
  }
  r.WatchData = WatchFlag;
  r.Memo = entry::JoinMemo(Memo->toPlainText()).left(kMemoWidth);
  r.TankCapacity = CapaEdit->text();
  r.Clarity = VisiEdit->text();
  r.TankMaterial = MatComboBox->currentText();
  r.Weight = WeightEdit->text();
  r.StartPres = StartPreEdit->text();
  r.EndPres = FinishPreEdit->text();
  r.AirConsum = ConsumptionEdit->text();
  return true;
}

bool TDiaryEditForm::SaveRecord() {
  if (VelmDataModule == nullptr) return false;
  TVelmDataModule& dm = *VelmDataModule;
  db::Table& table = dm.LogTable;
  JournalRecord r;
  if (!RecordFromControls(r)) return false;
  if (EditMode == 2) {
    r.ID = dm.NextFreeProfileNumber();
    if (r.ID < 0) return false;  // the numbering told the user already
    journal::AppendRecord(table, r);
  } else {
    r.ID = table.FieldByName(res::LoadStr(48)).AsInteger();
    table.Edit();
    try {
      journal::WriteFields(table, r);
      table.Post();
    } catch (...) {
      table.Cancel();
      throw;
    }
  }
  if (WatchFlag == 2) {
    // The placeholder keeps the number taken; without it the number would
    // be handed out again, so a failure must not pass unnoticed.
    QFile dummy(dm.ProfilePath(r.ID));
    if (!dummy.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        dummy.write(kDummyProfile) != kDummyProfile.size() || !dummy.flush()) {
      dm.ShowMessageId(kFileCreationFailed, Caption(), os::MsgIcon::Warning);
    }
  }
  dm.WriteCsvFile();
  return true;
}

int TDiaryEditForm::Caption() const { return EditMode == 2 ? kNewEdit : kEdit; }

void TDiaryEditForm::Message(int textId, int captionId) const {
  if (VelmDataModule != nullptr) VelmDataModule->ShowMessageId(textId, captionId, os::MsgIcon::Information);
}

bool TDiaryEditForm::CheckRequired() {
  const int message = entry::CheckRequired(YearEdit->text(), MonthEdit->text(), DateEdit->text(),
                                           NoEdit->text());
  if (message == 0) return true;
  Message(message, Caption());
  return false;
}

void TDiaryEditForm::OkButtonClick() {
  if (!CheckRequired()) return;
  if (Modified && !SaveRecord()) return;
  if (EditMode == 2 && VelmDataModule != nullptr &&
      VelmDataModule->LogTable.RecordCount() < kMaxRecords) {
    const int answer = VelmDataModule->ShowMessageId(kContinue, kNewEdit, os::MsgIcon::Information,
                                                     os::MsgButtons::YesNo);
    if (answer == os::IdYes) {
      Modified = false;
      RememberTexts();
      return;
    }
  }
  accept();
}

void TDiaryEditForm::CancelButtonClick() { reject(); }

bool TDiaryEditForm::MoveAndLoad(bool forward) {
  if (!CheckRequired()) return false;
  if (Modified && !SaveRecord()) return false;
  if (VelmDataModule == nullptr) return false;
  db::Table& table = VelmDataModule->LogTable;
  if (forward) table.Next();
  else table.Prior();
  LoadRecord();
  return true;
}

void TDiaryEditForm::PrevButtonClick() { MoveAndLoad(false); }

void TDiaryEditForm::NextButtonClick() { MoveAndLoad(true); }

void TDiaryEditForm::ConsButtonClick() {
  const auto& dive = TimeEdits[3];
  const entry::AirConsumption r =
      entry::CalcAirConsumption(StartPreEdit->text(), FinishPreEdit->text(), AveDEdit->text(),
                                dive[0]->text(), dive[1]->text(), dive[2]->text(), UnitMode);
  if (r.messageId != 0) {
    Message(r.messageId, kAirCaption);
    return;
  }
  ConsumptionEdit->setText(r.text);
  Modified = true;
}

void TDiaryEditForm::HelpButtonClick() {
  os::Ui().ShowHelp(QStringLiteral("keldoran.hlp"), EditMode == 2 ? kHelpNew : kHelpEdit);
}

bool TDiaryEditForm::Unchanged(QWidget* control) const {
  const auto* edit = qobject_cast<QLineEdit*>(control);
  return edit != nullptr && entered_.value(control) == edit->text();
}

void TDiaryEditForm::RememberTexts() {
  entered_.clear();
  for (QLineEdit* e : findChildren<QLineEdit*>()) entered_.insert(e, e->text());
  entered_.insert(Memo, Memo->toPlainText());
}

void TDiaryEditForm::DateEditExit(QLineEdit* left, QWidget* next) {
  if (next == CancelButton || left->text().isEmpty() || Unchanged(left)) return;
  Modified = true;
  entered_.insert(left, left->text());
  if (entry::CheckDate(YearEdit->text(), MonthEdit->text(), DateEdit->text()) != 0) {
    Message(kInvalid, Caption());
  }
}

void TDiaryEditForm::NoEditExit(QLineEdit* left, QWidget* next) {
  if (next == CancelButton || left->text().isEmpty() || Unchanged(left)) return;
  Modified = true;
  entered_.insert(left, left->text());
  const int message = entry::CheckDecimal(left->text(), left == NoEdit);
  if (message != 0) Message(message, Caption());
}

void TDiaryEditForm::RestTimeHEditExit(QLineEdit* left) {
  const int message = entry::CheckHour(left->text());
  if (message != 0) {
    Message(message, Caption());
  } else if (!Unchanged(left)) {
    Modified = true;
    entered_.insert(left, left->text());
  }
}

void TDiaryEditForm::RestTimeMEditExit(QLineEdit* left) {
  const int message = entry::CheckMinuteOrSecond(left->text());
  if (message != 0) {
    Message(message, Caption());
  } else if (!Unchanged(left)) {
    Modified = true;
    entered_.insert(left, left->text());
  }
}

void TDiaryEditForm::MemoExit(QWidget* next) {
  if (next == CancelButton || entered_.value(Memo) == Memo->toPlainText()) return;
  Modified = true;
  entered_.insert(Memo, Memo->toPlainText());
}

void TDiaryEditForm::SiteComboBoxChange(QComboBox* box) {
  Modified = true;
  for (std::size_t n = 0; n < 4; ++n) {
    if (box == UentComboBox[n]) FillContents(static_cast<int>(n) + 1);
  }
}

void TDiaryEditForm::FocusChanged(QWidget* old, QWidget* now) {
  if (old == nullptr || !isAncestorOf(old)) return;
  if (old == Memo) {
    MemoExit(now);
    return;
  }
  auto* edit = qobject_cast<QLineEdit*>(old);
  if (edit == nullptr || edit->parentWidget() == nullptr) return;
  if (edit == YearEdit || edit == MonthEdit || edit == DateEdit) {
    DateEditExit(edit, now);
    return;
  }
  for (const auto& row : TimeEdits) {
    if (edit == row[0]) return RestTimeHEditExit(edit);
    if (edit == row[1] || edit == row[2]) return RestTimeMEditExit(edit);
  }
  for (QLineEdit* e : {NoEdit, TmpEdit, VisiEdit, WeightEdit, CapaEdit, StartPreEdit, FinishPreEdit,
                       ConsumptionEdit, AveDEdit, MaxDEdit, AveWEdit, MinWEdit}) {
    if (edit == e) return NoEditExit(edit, now);
  }
}
