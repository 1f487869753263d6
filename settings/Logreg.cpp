#include "settings/Logreg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <functional>
#include <QVBoxLayout>

#include "platform/os/LocaleFont.h"
#include "platform/os/UiServices.h"
#include "resources/Strings.h"
#include "settings/Regedit.h"
#include "store/Dataunit.h"

namespace {

// A default box whose drop-down offers a list as it stands when it opens.
class ListComboBox final : public QComboBox {
 public:
  ListComboBox(QWidget* parent, std::function<QStringList()> source)
      : QComboBox(parent), source_(std::move(source)) {}

  void showPopup() override {
    const QSignalBlocker block(this);  // filling the box is no change of its text
    const QString text = currentText();
    clear();
    addItems(source_());
    setEditText(text);
    QComboBox::showPopup();
  }

 private:
  std::function<QStringList()> source_;
};

constexpr int kHelpContext = 3007;
constexpr int kAdd = 5;       // "Add"
constexpr int kModify = 165;  // "Modify"
}  // namespace

TLogItemRegDlg::TLogItemRegDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("LogItemRegDlg"));
  os::ApplyLocaleFont(this);
  setWindowTitle(res::LoadStr(169));

  weather_ = Group{nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   articles::kMaxWeather, articles::kWeatherWidth, 63, &lists_.WeatherChanged};
  tank_ = Group{nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                articles::kMaxTank, articles::kTankWidth, 66, &lists_.TankChanged};
  divers_ = Group{nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  articles::kMaxDivers, articles::kPersonWidth, 54, &lists_.DiversChanged};
  places_ = Group{nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  articles::kMaxPlaces, articles::kPlaceWidth, 55, &lists_.PlacesChanged};

  auto* grid = new QGridLayout;
  grid->addWidget(MakeGroup(divers_, "Diver", res::LoadStr(54)), 0, 0);
  grid->addWidget(MakeGroup(places_, "Location", res::LoadStr(55)), 0, 1);
  grid->addWidget(MakeGroup(weather_, "Weather", u' ' + res::LoadStr(63)), 1, 0);
  grid->addWidget(MakeGroup(tank_, "TankMat", res::LoadStr(66)), 1, 1);
  divers_.list->setObjectName(QStringLiteral("DiverListBox"));
  places_.list->setObjectName(QStringLiteral("LocationListBox"));
  weather_.list->setObjectName(QStringLiteral("WeatherListBox"));
  tank_.list->setObjectName(QStringLiteral("TankMatListBox"));

  auto* defaults = new QGridLayout;
  DiverComboBox = MakeDefaultBox("DiverComboBox", divers_, &lists_.DefaultDiverChanged);
  BuddyComboBox = MakeDefaultBox("BuddyComboBox", divers_, &lists_.DefaultBuddyChanged);
  LocationComboBox = MakeDefaultBox("LocationComboBox", places_, &lists_.DefaultPlaceChanged);
  defaults->addWidget(new QLabel(res::LoadStr(193), this), 0, 0);
  defaults->addWidget(DiverComboBox, 0, 1);
  defaults->addWidget(new QLabel(res::LoadStr(194), this), 1, 0);
  defaults->addWidget(BuddyComboBox, 1, 1);
  defaults->addWidget(new QLabel(res::LoadStr(195), this), 2, 0);
  defaults->addWidget(LocationComboBox, 2, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* ok = new QPushButton(res::LoadStr(2), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(res::LoadStr(3), this);
  cancel->setObjectName(QStringLiteral("CancelButton"));
  auto* help = new QPushButton(res::LoadStr(4), this);
  help->setObjectName(QStringLiteral("HelpButton"));
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  connect(ok, &QPushButton::clicked, this, &TLogItemRegDlg::OKButtonClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, &TLogItemRegDlg::HelpButtonClick);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(defaults);
  layout->addLayout(buttons);

  // The load step.
  loaded_ = articles::Load(lists_) == articles::LoadResult::Loaded;
  Fill(weather_, lists_.Weather);
  Fill(tank_, lists_.Tank);
  Fill(divers_, lists_.Divers);
  Fill(places_, lists_.Places);
  DiverComboBox->setEditText(lists_.DefaultDiver);
  BuddyComboBox->setEditText(lists_.DefaultBuddy);
  LocationComboBox->setEditText(lists_.DefaultPlace);
  lists_.DefaultDiverChanged = lists_.DefaultBuddyChanged = lists_.DefaultPlaceChanged = false;
}

QWidget* TLogItemRegDlg::MakeGroup(Group& g, const char* prefix, const QString& title) {
  auto* box = new QGroupBox(title, this);
  box->setObjectName(QLatin1String(prefix) + QStringLiteral("GroupBox"));
  auto* row = new QHBoxLayout(box);
  g.list = new QListWidget(box);
  g.list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  row->addWidget(g.list, 1);
  auto* column = new QVBoxLayout;
  const auto button = [&](const char* kind, int captionId) {
    auto* b = new QPushButton(res::LoadStr(captionId), box);
    b->setObjectName(QLatin1String(prefix) + QLatin1String(kind) + QStringLiteral("Button"));
    column->addWidget(b);
    return b;
  };
  g.add = button("Add", 5);
  g.modify = button("Modify", 165);
  g.remove = button("Delete", 6);
  g.up = button("Up", 166);
  g.down = button("Down", 167);
  column->addStretch(1);
  row->addLayout(column);

  Group* group = &g;
  connect(g.list, &QListWidget::itemSelectionChanged, this, [this, group] { ApplyButtonRule(*group); });
  connect(g.add, &QPushButton::clicked, this, [this, group] { AddClick(*group); });
  connect(g.modify, &QPushButton::clicked, this, [this, group] { ModifyClick(*group); });
  connect(g.remove, &QPushButton::clicked, this, [this, group] { DeleteClick(*group); });
  connect(g.up, &QPushButton::clicked, this, [this, group] { MoveClick(*group, -1); });
  connect(g.down, &QPushButton::clicked, this, [this, group] { MoveClick(*group, +1); });
  return box;
}

QComboBox* TLogItemRegDlg::MakeDefaultBox(const char* name, Group& source, bool* changed) {
  Group* g = &source;
  auto* box = new ListComboBox(this, [g] { return Entries(*g); });
  box->setObjectName(QLatin1String(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->lineEdit()->setMaxLength(articles::kPersonWidth);
  box->setMinimumWidth(200);
  connect(box, &QComboBox::editTextChanged, this, [changed] { *changed = true; });
  return box;
}

void TLogItemRegDlg::Fill(Group& g, const QStringList& entries) {
  g.list->clear();
  g.list->addItems(entries);
  ApplyButtonRule(g);
}

QStringList TLogItemRegDlg::Entries(const Group& g) {
  QStringList out;
  for (int i = 0; i < g.list->count(); ++i) out << g.list->item(i)->text();
  return out;
}

QList<int> TLogItemRegDlg::SelectedRows(const Group& g) {
  QList<int> rows;
  for (int i = 0; i < g.list->count(); ++i) {
    if (g.list->item(i)->isSelected()) rows << i;
  }
  return rows;
}

void TLogItemRegDlg::ApplyButtonRule(Group& g) {
  const auto b = articles::ButtonRule(g.list->count(), g.maximum, SelectedRows(g));
  g.add->setEnabled(b.add);
  g.modify->setEnabled(b.modify);
  g.remove->setEnabled(b.remove);
  g.up->setEnabled(b.up);
  g.down->setEnabled(b.down);
}

QString TLogItemRegDlg::EditCaption(int actionId, int nameId) const {
  return res::LoadStr(actionId) + QStringLiteral(" - [ ") + res::LoadStr(nameId) +
         QStringLiteral(" ]");
}

void TLogItemRegDlg::AddClick(Group& g) {
  TRegistEditDlg edit(this);
  edit.SetEntry(EditCaption(kAdd, g.nameId), g.width);
  if (os::ShowModal(edit) != QDialog::Accepted) return;
  g.list->addItem(edit.Text());
  g.list->clearSelection();
  g.list->setCurrentRow(g.list->count() - 1, QItemSelectionModel::ClearAndSelect);
  *g.changed = true;
  ApplyButtonRule(g);
  g.list->setFocus();
}

void TLogItemRegDlg::ModifyClick(Group& g) {
  const QList<int> rows = SelectedRows(g);
  if (rows.isEmpty()) return;
  QListWidgetItem* item = g.list->item(rows.first());
  TRegistEditDlg edit(this);
  edit.SetEntry(EditCaption(kModify, g.nameId), g.width, item->text());
  if (os::ShowModal(edit) != QDialog::Accepted) return;
  item->setText(edit.Text());
  g.list->setCurrentRow(rows.first(), QItemSelectionModel::ClearAndSelect);
  ApplyButtonRule(g);
  g.list->setFocus();
  *g.changed = true;
}

void TLogItemRegDlg::DeleteClick(Group& g) {
  QStringList entries = Entries(g);
  const int next = articles::DeleteRows(entries, SelectedRows(g));
  Fill(g, entries);
  if (next >= 0) g.list->setCurrentRow(next, QItemSelectionModel::ClearAndSelect);
  *g.changed = true;
  ApplyButtonRule(g);
  g.list->setFocus();
}

void TLogItemRegDlg::MoveClick(Group& g, int step) {
  const QList<int> rows = SelectedRows(g);
  if (rows.size() != 1) return;
  const int from = rows.first();
  const int to = from + step;
  if (to < 0 || to >= g.list->count()) return;
  QListWidgetItem* item = g.list->takeItem(from);
  g.list->insertItem(to, item);
  g.list->setCurrentRow(to, QItemSelectionModel::ClearAndSelect);
  *g.changed = true;
  ApplyButtonRule(g);
  g.list->setFocus();
}

void TLogItemRegDlg::OKButtonClick() {
  lists_.Weather = Entries(weather_);
  lists_.Tank = Entries(tank_);
  lists_.Divers = Entries(divers_);
  lists_.Places = Entries(places_);
  lists_.DefaultDiver = DiverComboBox->currentText();
  lists_.DefaultBuddy = BuddyComboBox->currentText();
  lists_.DefaultPlace = LocationComboBox->currentText();
  if (VelmDataModule == nullptr || !articles::Save(lists_, *VelmDataModule)) return;
  accept();
}

void TLogItemRegDlg::HelpButtonClick() {
  os::Ui().ShowHelp(QStringLiteral("keldoran.hlp"), kHelpContext);
}
