#include "app/Mainunit.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/Aboutunit.h"
#include "app/DetailPanel.h"
#include "app/JournalGrid.h"
#include "app/JournalGridModel.h"
#include "graph/Graphunit.h"
#include "platform/os/LocaleFont.h"
#include "platform/os/UiServices.h"
#include "resources/Pictures.h"
#include "resources/Strings.h"
#include "settings/Logreg.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"
#include "store/Velm.h"

namespace {

struct ToolButtonDef {
  const char* name;
  int left;
  const char* picture;
  int hintId;
  int group;  // 0: plain button; 1, 2: a toggle that may be all up
};

// Left to right, 29 x 26 pixels each.
constexpr ToolButtonDef kToolButtons[] = {
    {"DiarySpdBtn", 8, "SPLIT_WIN_BMP", 33, 1},  {"GraphSpdBtn", 48, "GRAPH_BMP", 34, 0},
    {"PrintSpdBtn", 88, "PRINT_BMP", 35, 0},     {"HTMLSpdBtn", 118, "HTML_BMP", 36, 0},
    {"NewSpdBtn", 148, "LOG_NEW_BMP", 37, 0},    {"EditSpdBtn", 178, "LOG_EDIT_BMP", 38, 0},
    {"SerchSpdBtn", 216, "SEARCH_BMP", 39, 2},   {"TopSpdBtn", 250, "LOG_TOP_BMP", 40, 0},
    {"PrevSpdBtn", 280, "LOG_PREV_BMP", 41, 0},  {"NextSpdBtn", 310, "LOG_NEXT_BMP", 42, 0},
    {"LastSpdBtn", 340, "LOG_END_BMP", 43, 0},   {"RecvSpdBtn", 378, "LOG_WATCH_BMP", 44, 0},
    {"ExpSpdBtn", 408, "DATA_SAVE_BMP", 45, 0},  {"AlbEditSpdBtn", 438, "ALBUM_BMP", 46, 0},
};

constexpr int kToolButtonWidth = 29;
constexpr int kToolButtonHeight = 26;
constexpr int kDetailPanelWidth = 442;

// Switches the journal's order with the views quiet; they hear one change
// at the end.
void SwitchIndex(db::Table& table, const QString& index) {
  table.DisableControls();
  try {
    table.SetIndexName(index);
  } catch (...) {
    table.EnableControls();
    throw;
  }
  table.EnableControls();
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainForm"));
  os::ApplyLocaleFont(this);
  setWindowTitle(res::LoadStr(1));
  setWindowIcon(res::LoadIcon("KELDORAN_ICON"));
  resize(1000, 640);

  CreateMenus();

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  ToolPanel = new QWidget(central);
  ToolPanel->setObjectName(QStringLiteral("ToolPanel"));
  ToolPanel->setFixedHeight(34);
  CreateToolBar(ToolPanel);
  column->addWidget(ToolPanel);

  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(2);

  auto* left = new QWidget(central);
  left->setObjectName(QStringLiteral("LeftPanel"));
  left->setFixedWidth(kDetailPanelWidth);
  auto* leftColumn = new QVBoxLayout(left);
  leftColumn->setContentsMargins(0, 0, 0, 0);
  leftColumn->setSpacing(2);
  LogScrollBox = new QScrollArea(left);
  LogScrollBox->setObjectName(QStringLiteral("LogScrollBox"));
  LogScrollBox->setWidgetResizable(true);
  Panel1 = new DetailPanel;
  LogScrollBox->setWidget(Panel1);
  leftColumn->addWidget(LogScrollBox, 3);
  Panel2 = new QWidget(left);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  leftColumn->addWidget(Panel2, 2);
  body->addWidget(left);

  LogGrid = new JournalGrid(central);
  connect(LogGrid, &JournalGrid::TitleClicked, this, &TMainForm::LogGridTitleClick);
  connect(LogGrid, &JournalGrid::CellClicked, this, &TMainForm::LogGridCellClick);
  body->addWidget(LogGrid, 1);

  column->addLayout(body, 1);
  setCentralWidget(central);

  // Commands that create records follow the record count.
  const auto attach = [this](const char* button, const char* item, void (TMainForm::*handler)()) {
    connect(Button(button), &QToolButton::clicked, this, handler);
    connect(Item(item), &QAction::triggered, this, handler);
  };
  attach("NewSpdBtn", "NewEdit", &TMainForm::NewSpdBtnClick);
  attach("EditSpdBtn", "Edit", &TMainForm::EditSpdBtnClick);
  Button("EditSpdBtn")->setEnabled(true);
  Item("Edit")->setEnabled(true);
  for (const char* name : {"NewSpdBtn", "NewEdit", "RecvSpdBtn", "DataRecv"}) CreatingCommandBuilt(name);
}

TMainForm::~TMainForm() = default;

QAction* TMainForm::AddItem(QMenu* menu, const char* name, int captionId) {
  auto* action = new QAction(res::LoadStr(captionId), this);
  action->setObjectName(QLatin1String(name));
  action->setEnabled(false);  // enabled once its command exists
  menu->addAction(action);
  return action;
}

void TMainForm::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  const auto addMenu = [&](const char* name, int captionId) {
    QMenu* m = bar->addMenu(res::LoadStr(captionId));
    m->setObjectName(QLatin1String(name));
    return m;
  };
  const auto separator = [](QMenu* m, const char* name) {
    m->addSeparator()->setObjectName(QLatin1String(name));
  };

  QMenu* file = addMenu("File", 7);
  AddItem(file, "NewEdit", 8);
  AddItem(file, "Edit", 9);
  AddItem(file, "Del", 192);
  AddItem(file, "AlbMenu", 10);
  separator(file, "N1");
  AddItem(file, "HTML", 11);
  AddItem(file, "Print", 12);
  separator(file, "N2");
  QAction* exit = AddItem(file, "Exit", 13);
  exit->setEnabled(true);
  connect(exit, &QAction::triggered, this, &TMainForm::ExitClick);

  QMenu* display = addMenu("Display", 14);
  AddItem(display, "Serch", 15);
  AddItem(display, "GraphDisp", 17);
  separator(display, "N5");
  QAction* logDisp = AddItem(display, "LogDisp", 16);
  logDisp->setCheckable(true);
  logDisp->setChecked(true);
  logDisp->setEnabled(true);
  connect(logDisp, &QAction::triggered, this, [this] { DiarySpdBtnClick(true); });
  AddItem(display, "AlbumMenu", 18)->setCheckable(true);

  QMenu* setting = addMenu("Setting", 19);
  AddItem(setting, "Config", 20);
  AddItem(setting, "User", 21);
  QAction* log = AddItem(setting, "Log", 22);
  log->setEnabled(true);
  connect(log, &QAction::triggered, this, &TMainForm::LogClick);

  QMenu* option = addMenu("Option", 23);
  connect(AddItem(option, "DataRecv", 24), &QAction::triggered, this, &TMainForm::RecvSpdBtnClick);
  AddItem(option, "Export", 25);
  AddItem(option, "Import", 26);
  separator(option, "N3");
  AddItem(option, "Ver1", 27);
  AddItem(option, "Dos", 28);

  QMenu* help = addMenu("Help", 29);
  AddItem(help, "Cont", 30);
  separator(help, "N4");
  QAction* version = AddItem(help, "Version", 32);
  version->setEnabled(true);
  connect(version, &QAction::triggered, this, &TMainForm::VersionClick);
}

void TMainForm::CreateToolBar(QWidget* toolPanel) {
  ToolBtnPanel = new QWidget(toolPanel);
  ToolBtnPanel->setObjectName(QStringLiteral("ToolBtnPanel"));
  ToolBtnPanel->setGeometry(0, 0, 470, 34);
  for (const ToolButtonDef& def : kToolButtons) {
    auto* b = new QToolButton(ToolBtnPanel);
    b->setObjectName(QLatin1String(def.name));
    b->setGeometry(def.left, 4, kToolButtonWidth, kToolButtonHeight);
    b->setIcon(res::LoadIcon(def.picture));
    b->setIconSize(QSize(20, 18));
    b->setToolTip(res::LoadStr(def.hintId));
    b->setAutoRaise(true);
    b->setCheckable(def.group != 0);
    b->setEnabled(false);  // enabled once its command exists
  }
  QToolButton* diary = Button("DiarySpdBtn");
  diary->setChecked(true);
  diary->setEnabled(true);
  connect(diary, &QToolButton::clicked, this, [this] { DiarySpdBtnClick(false); });
  connect(Button("RecvSpdBtn"), &QToolButton::clicked, this, &TMainForm::RecvSpdBtnClick);
  connect(Button("TopSpdBtn"), &QToolButton::clicked, this, &TMainForm::TopSpdBtnClick);
  connect(Button("PrevSpdBtn"), &QToolButton::clicked, this, &TMainForm::PrevSpdBtnClick);
  connect(Button("NextSpdBtn"), &QToolButton::clicked, this, &TMainForm::NextSpdBtnClick);
  connect(Button("LastSpdBtn"), &QToolButton::clicked, this, &TMainForm::LastSpdBtnClick);

  auto* count = new QWidget(toolPanel);
  auto* row = new QHBoxLayout(toolPanel);
  row->setContentsMargins(0, 0, 8, 0);
  row->addSpacing(480);
  row->addStretch(1);
  row->addWidget(count);
  auto* countRow = new QHBoxLayout(count);
  countRow->setContentsMargins(0, 0, 0, 0);
  TotalLabel = new QLabel(res::LoadStr(47), count);
  TotalLabel->setObjectName(QStringLiteral("TotalLabel"));
  TotalText = new QLabel(count);
  TotalText->setObjectName(QStringLiteral("TotalText"));
  TotalText->setMinimumWidth(40);
  countRow->addWidget(TotalLabel);
  countRow->addWidget(TotalText);
}

QAction* TMainForm::Item(const char* name) const {
  return findChild<QAction*>(QLatin1String(name));
}

QToolButton* TMainForm::Button(const char* name) const {
  return findChild<QToolButton*>(QLatin1String(name));
}

void TMainForm::ExitClick() { close(); }

void TMainForm::VersionClick() {
  TAboutBox about(this);
  os::ShowModal(about);
}

void TMainForm::LogClick() {
  if (VelmDataModule == nullptr || !VelmDataModule->EnsureProgramFolderSpace()) return;
  TLogItemRegDlg dialog(this);
  if (dialog.Loaded()) os::ShowModal(dialog);
}

void TMainForm::DiarySpdBtnClick(bool fromMenu) {
  QWidget* left = LogScrollBox->parentWidget();
  const bool show = left->isHidden();
  left->setVisible(show);
  Item("LogDisp")->setChecked(show);
  // A click on the button changes its own state; the menu item does not.
  if (fromMenu) Button("DiarySpdBtn")->setChecked(show);
}

std::vector<db::Bookmark> TMainForm::SelectedRecords() {
  std::vector<db::Bookmark> selected;
  if (VelmDataModule == nullptr) return selected;
  db::Table& log = VelmDataModule->LogTable;
  if (!log.Active() || log.RecordCount() == 0) return selected;
  if (gridModel_ == nullptr) return {log.GetBookmark()};  // the grid shows no journal yet
  LogGrid->SelectCurrentRow();  // the current row joins the selection
  for (const QModelIndex& row : LogGrid->selectionModel()->selectedRows()) {
    if (row.row() < log.RecordCount()) selected.push_back(log.BookmarkAt(row.row()));
  }
  return selected;
}

void TMainForm::GraphSpdBtnClick() {
  if (graphForm_ == nullptr || VelmDataModule == nullptr) return;
  graphForm_->GraphSpdBtnClick(SelectedRecords());
}

void TMainForm::AttachGraphForm(TGraphForm* graph) {
  graphForm_ = graph;
  QToolButton* graphButton = Button("GraphSpdBtn");
  QAction* graphItem = Item("GraphDisp");
  graphButton->setEnabled(graph != nullptr);
  graphItem->setEnabled(graph != nullptr);
  if (graph == nullptr) return;
  connect(graphButton, &QToolButton::clicked, this, &TMainForm::GraphSpdBtnClick, Qt::UniqueConnection);
  connect(graphItem, &QAction::triggered, this, &TMainForm::GraphSpdBtnClick, Qt::UniqueConnection);
  graph->ActivateMain = [this] {
    raise();
    activateWindow();
  };
  // Switched off while the graph shows; afterwards each gets back its own state.
  graph->SetMainOutputEnabled = [this](bool enabled) {
    QWidget* buttons[] = {Button("PrintSpdBtn"), Button("HTMLSpdBtn")};
    QAction* items[] = {Item("Print"), Item("HTML")};
    if (!enabled && !outputLocked_) {
      outputEnabled_ = {buttons[0]->isEnabled(), buttons[1]->isEnabled(), items[0]->isEnabled(), items[1]->isEnabled()};
      for (QWidget* b : buttons) b->setEnabled(false);
      for (QAction* a : items) a->setEnabled(false);
      outputLocked_ = true;
    } else if (enabled && outputLocked_) {
      buttons[0]->setEnabled(outputEnabled_[0]);
      buttons[1]->setEnabled(outputEnabled_[1]);
      items[0]->setEnabled(outputEnabled_[2]);
      items[1]->setEnabled(outputEnabled_[3]);
      outputLocked_ = false;
    }
  };
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shownOnce_) {
    shownOnce_ = true;
    FormFirstShow();
  }
}

void TMainForm::FormFirstShow() {
  AttachJournal();
  emit FirstShown();
  RefreshRecordCount();
  ApplyStoredSort();
}

// The grid and the detail panel follow the journal from the first show on.
void TMainForm::AttachJournal() {
  if (VelmDataModule == nullptr || gridModel_ != nullptr) return;
  gridModel_ = new JournalGridModel(VelmDataModule->LogTable, VelmDataModule->LogDataSource, this);
  LogGrid->SetJournalModel(gridModel_);
  connect(&VelmDataModule->LogDataSource, &db::DataSource::RecordScrolled, this, &TMainForm::RefreshDisplay);
  connect(&VelmDataModule->LogDataSource, &db::DataSource::DataChanged, this, &TMainForm::RefreshDisplay);
  for (const char* name : {"TopSpdBtn", "PrevSpdBtn", "NextSpdBtn", "LastSpdBtn"}) Button(name)->setEnabled(true);
  RefreshDisplay();
  RefreshUnitLabels();
}

// The sort the journal had at the last shutdown. A stored name the journal
// has no index of (the store edited or damaged) leaves the primary order.
void TMainForm::ApplyStoredSort() {
  if (gridModel_ == nullptr || VelmDataModule == nullptr) return;
  const std::optional<QString> stored = velmq::GetUconfString("Default", "Sort Field", 1024);
  if (!stored || stored->isEmpty()) return;
  db::Table& table = VelmDataModule->LogTable;
  if (!table.IndexNames().contains(*stored, Qt::CaseInsensitive)) return;
  SwitchIndex(table, *stored);
}

void TMainForm::RefreshDisplay() {
  if (VelmDataModule == nullptr) return;
  db::Table& table = VelmDataModule->LogTable;
  const bool hasRecord = table.Active() && table.RecordCount() > 0;
  Panel1->ShowTexts(hasRecord ? journal_view::RecordTexts(journal::ReadRecord(table)) : journal_view::EmptyTexts());
  LogScrollBox->verticalScrollBar()->setValue(0);
  emit DisplayRefreshed();
}

void TMainForm::RefreshRecordCount() {
  if (VelmDataModule == nullptr) return;
  const db::Table& table = VelmDataModule->LogTable;
  const int count = table.Active() ? table.RecordCount() : 0;
  TotalText->setText(journal_view::RecordCountText(count));
  const bool allowed = journal_view::CreatingCommandsAllowed(count, VelmDataModule->SearchMode != 0);
  for (const char* name : journal_view::kCreatingButtons) {
    if (builtCreatingCommands_.contains(QLatin1String(name))) Button(name)->setEnabled(allowed);
  }
  for (const char* name : journal_view::kCreatingItems) {
    if (builtCreatingCommands_.contains(QLatin1String(name))) Item(name)->setEnabled(allowed);
  }
}

void TMainForm::CreatingCommandBuilt(const char* name) {
  builtCreatingCommands_.insert(QLatin1String(name));
  RefreshRecordCount();
}

void TMainForm::RefreshUnitLabels() {
  if (VelmDataModule == nullptr) return;
  Panel1->ShowUnits(journal_view::UnitLabels(VelmDataModule->CapacityUnit, VelmDataModule->PressureUnit,
                                             VelmDataModule->WeightUnit));
}

void TMainForm::MoveRecord(void (*move)(db::Table&)) {
  if (gridModel_ == nullptr || VelmDataModule == nullptr) return;
  LogGrid->clearSelection();
  move(VelmDataModule->LogTable);
  LogGrid->SelectCurrentRow();
}

void TMainForm::TopSpdBtnClick() {
  MoveRecord([](db::Table& t) { t.First(); });
}
void TMainForm::PrevSpdBtnClick() {
  MoveRecord([](db::Table& t) { t.Prior(); });
}
void TMainForm::NextSpdBtnClick() {
  MoveRecord([](db::Table& t) { t.Next(); });
}
void TMainForm::LastSpdBtnClick() {
  MoveRecord([](db::Table& t) { t.Last(); });
}

void TMainForm::LogGridTitleClick(int column) {
  if (gridModel_ == nullptr || VelmDataModule == nullptr) return;
  if (column < 0 || column >= gridModel_->columnCount()) column = 0;
  const QString index = sort_.Click(gridModel_->FieldName(column));
  if (!index.isEmpty()) {
    SwitchIndex(VelmDataModule->LogTable, index);
  }
  LogGrid->SetSelectedColumn(column);
}

void TMainForm::LogGridCellClick() {
  // A graph of one dive follows the record clicked.
  if (graphForm_ != nullptr && graphForm_->isVisible() && VelmDataModule != nullptr &&
      VelmDataModule->GraphKind == 1 && LogGrid->selectionModel()->selectedRows().size() == 1) {
    const db::Table& log = VelmDataModule->LogTable;
    if (graphForm_->LoadGraph({log.GetBookmark()}) == -10) {
      VelmDataModule->ShowMessageId(1860, 1, os::MsgIcon::Information);
    } else {
      graphForm_->activateWindow();
    }
  }
  LogScrollBox->verticalScrollBar()->setValue(0);
  emit CurrentRecordClicked();
}
