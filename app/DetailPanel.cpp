#include "app/DetailPanel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "platform/os/LocaleFont.h"
#include "resources/Pictures.h"

namespace {

constexpr int kPictureSize = 16;
const char* const kPictureProperty = "picture";
const char* const kTemperaturePictures[] = {"TmpImage1", "TmpImage2", "TmpImage3"};

QLabel* Caption(QWidget* parent, const char* name) {
  auto* l = new QLabel(parent);
  l->setObjectName(QLatin1String(name));
  return l;
}

QLabel* Value(QWidget* parent, const char* name, int minWidth) {
  auto* l = new QLabel(parent);
  l->setObjectName(QLatin1String(name));
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setAutoFillBackground(true);
  l->setBackgroundRole(QPalette::Base);
  l->setMinimumWidth(minWidth);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

QLabel* Unit(QWidget* parent, const char* name) {
  auto* l = Caption(parent, name);
  l->setMinimumWidth(kPictureSize);
  return l;
}

// One caption, its value and an optional unit in columns `col` to `col + 2`.
void Row(QGridLayout* g, QWidget* parent, int row, int col, const char* caption, const char* value, int width,
         const char* unit = nullptr) {
  g->addWidget(Caption(parent, caption), row, col);
  g->addWidget(Value(parent, value, width), row, col + 1);
  if (unit != nullptr) g->addWidget(Unit(parent, unit), row, col + 2);
}

}  // namespace

DetailPanel::DetailPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Panel1"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  column->setSpacing(6);

  auto* top = new QGridLayout;
  top->setHorizontalSpacing(4);
  top->setVerticalSpacing(3);
  top->addWidget(Value(this, "DateText", 80), 0, 1);
  top->addWidget(Caption(this, "WeekText"), 0, 2);
  Row(top, this, 0, 3, "NoLabel", "NoText", 30);
  int row = 1;
  for (const auto& [caption, value] : {std::pair{"DiverLabel", "DiverText"}, std::pair{"BuddyLabel", "BuddyText"},
                                       std::pair{"SiteLabel", "SiteText"}}) {
    top->addWidget(Caption(this, caption), row, 0);
    top->addWidget(Value(this, value, 150), row, 1, 1, 5);
    ++row;
  }
  Row(top, this, 4, 0, "AveDLabel", "AveDText", 50, "LengthUnitLabel2");
  Row(top, this, 4, 3, "MaxDLabel", "MaxDText", 50, "LengthUnitLabel3");
  Row(top, this, 5, 0, "AveWLabel", "AveWText", 50, "TmpImage2");
  Row(top, this, 5, 3, "MinWLabel", "MinWText", 50, "TmpImage3");
  Row(top, this, 6, 0, "EntryLabel", "EntryText", 60);
  Row(top, this, 6, 3, "ExitLabel", "ExitText", 60);
  Row(top, this, 7, 0, "RestLabel", "RestText", 60);
  Row(top, this, 7, 3, "DiveLabel", "DiveText", 60);
  Row(top, this, 8, 0, "WeatherLabel", "WeatherText", 90);
  Row(top, this, 8, 3, "TempLabel", "TempText", 40, "TmpImage1");
  Row(top, this, 9, 0, "VisiLabel", "VisiText", 40, "LengthUnitLabel1");
  Row(top, this, 9, 3, "WeightLabel", "WeightText", 40, "WeightUnitLabel");
  top->setColumnStretch(1, 1);
  top->setColumnStretch(4, 1);
  column->addLayout(top);

  auto* tank = new QGroupBox(this);
  tank->setObjectName(QStringLiteral("TankGroupBox"));
  auto* tg = new QGridLayout(tank);
  tg->setHorizontalSpacing(4);
  tg->setVerticalSpacing(3);
  Row(tg, tank, 0, 0, "MatLabel", "MatText", 80);
  Row(tg, tank, 0, 3, "CapaLabel", "CapaText", 40, "CapaUnitLabel1");
  Row(tg, tank, 1, 0, "StartLabel", "StartText", 40, "PreUnitLabel1");
  Row(tg, tank, 1, 3, "FinishLabel", "FinishText", 40, "PreUnitLabel2");
  Row(tg, tank, 2, 0, "ConsLabel", "ConsText", 60, "CapaUnitLabel2");
  tg->setColumnStretch(1, 1);
  tg->setColumnStretch(4, 1);
  column->addWidget(tank);

  auto* user = new QGroupBox(this);
  user->setObjectName(QStringLiteral("UserGroupBox"));
  auto* ug = new QGridLayout(user);
  ug->setHorizontalSpacing(4);
  ug->setVerticalSpacing(3);
  static const char* const kUser[][2] = {
      {"UeText1", "UevText1"}, {"UeText2", "UevText2"}, {"UeText3", "UevText3"}, {"UeText4", "UevText4"}};
  for (int i = 0; i < 4; ++i) {
    ug->addWidget(Value(user, kUser[i][0], 100), i, 0);
    ug->addWidget(Value(user, kUser[i][1], 150), i, 1);
  }
  ug->setColumnStretch(1, 1);
  column->addWidget(user);

  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("DBMemo"));
  memo_->setReadOnly(true);
  memo_->setMinimumHeight(70);
  column->addWidget(memo_, 1);

  const bool japanese = os::UserDefaultLocaleId() == os::kJapaneseLocaleId;
  for (const auto& [name, text] : journal_view::DetailCaptions(japanese)) {
    if (auto* box = findChild<QGroupBox*>(QLatin1String(name))) {
      box->setTitle(text);
    } else {
      Label(name)->setText(text);
    }
  }
  ShowTexts(journal_view::EmptyTexts());
}

QLabel* DetailPanel::Label(const char* name) const { return findChild<QLabel*>(QLatin1String(name)); }

void DetailPanel::ShowTexts(const journal_view::DetailTexts& t) {
  for (const auto& [name, text] : t.values) Label(name)->setText(text);
  Label("DateText")->setText(t.date);
  Label("WeekText")->setText(t.week);
  for (const char* name : {"LengthUnitLabel1", "LengthUnitLabel2", "LengthUnitLabel3"}) {
    Label(name)->setText(t.lengthUnit);
  }
  for (const char* name : kTemperaturePictures) {
    QLabel* picture = Label(name);
    if (picture->property(kPictureProperty).toString() == QLatin1String(t.temperaturePicture)) continue;
    picture->setProperty(kPictureProperty, QLatin1String(t.temperaturePicture));
    picture->setPixmap(res::LoadPicture(t.temperaturePicture, QSize(kPictureSize, kPictureSize)));
  }
  if (memo_->toPlainText() != t.memo) memo_->setPlainText(t.memo);
}

void DetailPanel::ShowUnits(const std::vector<std::pair<const char*, QString>>& labels) {
  for (const auto& [name, text] : labels) Label(name)->setText(text);
}

QString DetailPanel::Text(const char* name) const {
  if (qstrcmp(name, "DBMemo") == 0) return memo_->toPlainText();
  if (auto* box = findChild<QGroupBox*>(QLatin1String(name))) return box->title();
  return Label(name)->text();
}

QString DetailPanel::Picture(const char* name) const { return Label(name)->property(kPictureProperty).toString(); }
