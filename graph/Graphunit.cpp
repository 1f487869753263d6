#include "graph/Graphunit.h"

#include <bit>

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include "graph/Modecheckunit.h"
#include "platform/chart/ChartWidget.h"
#include "platform/os/LocaleFont.h"
#include "platform/os/WindowPlacement.h"
#include "profile_library/velm.h"
#include "resources/Pictures.h"
#include "resources/Strings.h"
#include "store/Dataunit.h"

TGraphForm* GraphForm = nullptr;

namespace {

constexpr int kCaption = 1;           // "KELDORAN GRAPH 2"
constexpr int kNoSpace = 1830;        // "Unable to execute due to insufficient disk space"
constexpr int kNoGraphData = 1860;    // "No graph data found"
constexpr int kNoJournal = 1861;      // "No journal record found"
constexpr int kTooManyRecords = 1870;  // "Exceed executable diving records"

constexpr int kStep = 5;          // seconds per arrow key
constexpr int kLongStep = 300;    // seconds per Shift+arrow
constexpr int kFirstWater = 8;    // series index of line 1's temperature points

void Fill(QWidget* widget, const QColor& color) {
  QPalette p = widget->palette();
  p.setColor(QPalette::Window, color);
  widget->setPalette(p);
  widget->setAutoFillBackground(true);
}

QLabel* Label(QWidget* parent, const QString& name, int x, int y, int w) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setGeometry(x, y, w, 16);
  return label;
}

}  // namespace

TGraphForm::TGraphForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("GraphForm"));
  setAttribute(Qt::WA_QuitOnClose, false);  // closing the main window ends the program
  os::ApplyLocaleFont(this);
  setWindowTitle(res::LoadStr(129));
  resize(640, 480);
  setFocusPolicy(Qt::StrongFocus);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  ToolPanel = new QWidget(this);
  ToolPanel->setObjectName(QStringLiteral("ToolPanel"));
  ToolPanel->setFixedHeight(32);
  auto* tools = new QHBoxLayout(ToolPanel);
  tools->setContentsMargins(4, 3, 4, 3);
  const auto button = [this](const char* name, int textId) {
    auto* b = new QPushButton(res::LoadStr(textId), ToolPanel);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  PanelSpdBtn = button("PanelSpdBtn", 130);
  LineSpdBtn = button("LineSpdBtn", 131);
  PrintSpdBtn = button("PrintSpdBtn", 132);
  MainSpdBtn = button("MainSpdBtn", 224);
  ExitSpdBtn = button("ExitSpdBtn", 133);
  // The appearance dialogs and graph printing are not part of the program yet.
  PanelSpdBtn->setEnabled(false);
  LineSpdBtn->setEnabled(false);
  PrintSpdBtn->setEnabled(false);
  for (QPushButton* b : {PanelSpdBtn, LineSpdBtn, PrintSpdBtn, MainSpdBtn, ExitSpdBtn}) tools->addWidget(b);
  tools->addStretch(1);
  const auto move = [this](const char* name, const char* glyph, Qt::ArrowType arrow) {
    auto* b = new QToolButton(ToolPanel);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);
    if (glyph != nullptr) {
      b->setIcon(res::LoadIcon(glyph));
    } else {
      b->setArrowType(arrow);
    }
    return b;
  };
  TopSpdBtn = move("TopSpdBtn", "GTOP_BMP", Qt::NoArrow);
  PrevSpdBtn = move("PrevSpdBtn", "GPREV_BMP", Qt::NoArrow);
  UpDownLeft = move("UpDownLeft", nullptr, Qt::LeftArrow);
  UpDownRight = move("UpDownRight", nullptr, Qt::RightArrow);
  NextSpdBtn = move("NextSpdBtn", "GNEXT_BMP", Qt::NoArrow);
  LastSpdBtn = move("LastSpdBtn", "GLAST_BMP", Qt::NoArrow);
  for (QToolButton* b : {TopSpdBtn, PrevSpdBtn, UpDownLeft, UpDownRight, NextSpdBtn, LastSpdBtn}) tools->addWidget(b);
  column->addWidget(ToolPanel);

  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  DBChart = new chart::ChartWidget(this);
  DBChart->setObjectName(QStringLiteral("DBChart"));
  body->addWidget(DBChart, 1);
  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setFixedWidth(192);
  ScrollBox1->setFocusPolicy(Qt::NoFocus);
  auto* legend = new QWidget;
  legend->setObjectName(QStringLiteral("LegendColumn"));
  legend->setMinimumSize(170, 42 + 45 * graph::kLines);
  CreateLegend(legend);
  ScrollBox1->setWidget(legend);
  body->addWidget(ScrollBox1);
  column->addLayout(body, 1);

  chart::Chart& c = DBChart->model();
  c.legendVisible = false;
  c.series.resize(2 * graph::kLines);
  for (int i = 0; i < graph::kLines; ++i) {
    chart::Series& depth = c.series[static_cast<std::size_t>(i)];
    depth.kind = chart::SeriesKind::Line;
    depth.verticalAxis = chart::AxisSide::Left;
    chart::Series& water = c.series[static_cast<std::size_t>(kFirstWater + i)];
    water.kind = chart::SeriesKind::Points;
    water.verticalAxis = chart::AxisSide::Right;
    water.markSize = 3;
  }

  connect(ExitSpdBtn, &QPushButton::clicked, this, &QWidget::hide);
  connect(MainSpdBtn, &QPushButton::clicked, this, [this] {
    if (ActivateMain) ActivateMain();
  });
  connect(UpDownRight, &QToolButton::clicked, this, [this] { MoveCursorBy(kStep); });
  connect(UpDownLeft, &QToolButton::clicked, this, [this] { MoveCursorBy(-kStep); });
  connect(NextSpdBtn, &QToolButton::clicked, this, [this] { MoveCursorBy(kLongStep); });
  connect(PrevSpdBtn, &QToolButton::clicked, this, [this] { MoveCursorBy(-kLongStep); });
  connect(LastSpdBtn, &QToolButton::clicked, this, [this] { MoveCursorTo(TimeSpan); });
  connect(TopSpdBtn, &QToolButton::clicked, this, [this] { MoveCursorTo(0); });

  // The picture table for printing, made anew at every start.
  if (VelmDataModule != nullptr) {
    Table.SetDatabaseName(VelmDataModule->WorkFolder);
    Table.SetTableName(QStringLiteral("GraphView.DB"));
    if (Table.Exists()) Table.DeleteTable();
    Table.FieldDefs() = {db::FieldDef::Graphic(QStringLiteral("Graph"))};
    Table.CreateTable();
    Table.Open();
  }

  for (int j = 1; j <= graph::kLines; ++j) ResetLine(j);
  ApplyGraphConf();
  CursorTime = 0;
}

TGraphForm::~TGraphForm() {
  Table.Close();
  if (GraphForm == this) GraphForm = nullptr;
}

void TGraphForm::CreateLegend(QWidget* column) {
  PtimeLabel = Label(column, QStringLiteral("PtimeLabel"), 8, 4, 100);
  PtimeLabel->setText(res::LoadStr(134));
  PTimeText = Label(column, QStringLiteral("PTimeText"), 8, 22, 100);
  PTimeText->setText(graph::CursorTimeText(0));
  for (int j = 1; j <= graph::kLines; ++j) {
    DiveLine& l = Lines[static_cast<std::size_t>(j - 1)];
    const QString n = QString::number(j);
    l.LinePanel = new QWidget(column);
    l.LinePanel->setObjectName(QStringLiteral("LinePanel") + n);
    l.LinePanel->setGeometry(4, 42 + 45 * (j - 1), 161, 41);
    l.ClPanel = new QWidget(l.LinePanel);
    l.ClPanel->setObjectName(QStringLiteral("ClPanel") + n);
    l.ClPanel->setGeometry(3, 3, 19, 18);
    l.DateLabel = Label(l.LinePanel, QStringLiteral("DateLabel") + n, 26, 4, 132);
    l.NoLabel = Label(l.LinePanel, QStringLiteral("NoLabel") + n, 3, 23, 19);
    l.NoText = Label(l.LinePanel, QStringLiteral("NoText") + n, 22, 23, 13);
    l.DepthLabel = Label(l.LinePanel, QStringLiteral("DepthLabel") + n, 35, 23, 34);
    l.DepthText = Label(l.LinePanel, QStringLiteral("DepthText") + n, 69, 23, 26);
    l.WaterLabel = Label(l.LinePanel, QStringLiteral("WaterLabel") + n, 95, 23, 36);
    l.WaterText = Label(l.LinePanel, QStringLiteral("WaterText") + n, 131, 23, 29);
  }
}

void TGraphForm::ResetLine(int line) {
  if (line < 1 || line > graph::kLines) return;
  DiveLine& l = Lines[static_cast<std::size_t>(line - 1)];
  l.LinePanel->hide();
  l.DateLabel->clear();
  l.NoText->clear();
  l.DepthText->clear();
  l.WaterText->clear();
  l.NoLabel->setText(QStringLiteral("No."));
  l.DepthLabel->setText(res::LoadStr(135));
  l.WaterLabel->setText(u' ' + res::LoadStr(136));
  l.loaded = false;
  l.depth = {};
  l.water = {};
  chart::Chart& c = DBChart->model();
  for (int s : {line - 1, kFirstWater + line - 1}) {
    c.series[static_cast<std::size_t>(s)].data.clear();
    c.series[static_cast<std::size_t>(s)].active = false;
  }
  c.cursor.visible = Lines[0].loaded;
  DBChart->update();
}

void TGraphForm::FillLegendLine(int line, const store::LegendText& legend) {
  if (line < 1 || line > graph::kLines) return;
  DiveLine& l = Lines[static_cast<std::size_t>(line - 1)];
  l.DateLabel->setText(legend.date);
  l.NoText->setText(legend.number);
  GraphLine style;
  if (VelmDataModule != nullptr) style = VelmDataModule->GraphLines[static_cast<std::size_t>(line - 1)];
  const QColor color = graph::ToColor(style.Color);
  Fill(l.ClPanel, color);
  chart::Chart& c = DBChart->model();
  c.series[static_cast<std::size_t>(line - 1)].color = color;
  c.series[static_cast<std::size_t>(line - 1)].penWidth = style.Width;
  c.series[static_cast<std::size_t>(kFirstWater + line - 1)].color = color;
  l.LinePanel->show();
  l.DepthText->clear();
  l.WaterText->clear();
  CursorTime = 0;
}

int TGraphForm::LoadLine(int line, int unit) {
  TVelmDataModule& dm = *VelmDataModule;
  store::GraphLoad load = dm.LoadProfile(dm.LogTable, line, unit);
  if (load.result == store::kNoProfile || !load.legend) {
    ResetLine(line);
    return store::kNoProfile;
  }
  FillLegendLine(line, *load.legend);
  DiveLine& l = Lines[static_cast<std::size_t>(line - 1)];
  // The rows the line's work tables hold, as the loader wrote them.
  l.depth = std::move(load.depth);
  l.water = std::move(load.water);
  l.loaded = true;
  chart::Chart& c = DBChart->model();
  chart::Series& depth = c.series[static_cast<std::size_t>(line - 1)];
  depth.data = graph::SeriesPoints(l.depth);
  depth.active = true;
  chart::Series& water = c.series[static_cast<std::size_t>(kFirstWater + line - 1)];
  water.data = graph::SeriesPoints(l.water);
  water.active = true;
  return load.result;
}

int TGraphForm::LoadGraph(const std::vector<db::Bookmark>& selected) {
  const int n = static_cast<int>(selected.size());
  const int check = graph::CheckSelection(n);
  if (check == graph::kTooManyDives) {
    VelmDataModule->ShowMessageId(kTooManyRecords, kCaption, os::MsgIcon::Information);
    return check;
  }
  if (check != 0) return check;
  TVelmDataModule& dm = *VelmDataModule;
  dm.ResetExtremes();
  if (dm.GraphKind == 0) {
    dm.GraphKind = n < 2 ? 1 : 2;
    if (n < 2) LastGraphId = 0;
  } else if (dm.GraphKind == 2) {
    return graph::kMultiShown;
  } else if (n >= 2) {
    dm.GraphKind = 2;
  }

  int result;
  if (n < 2) {
    const int id = dm.LogTable.FieldByName(res::LoadStr(48)).AsInteger();  // "ID"
    if (id == LastGraphId && Lines[0].loaded) return 0;
    for (int j = 1; j <= graph::kLines; ++j) ResetLine(j);
    LastGraphId = id;
    result = LoadLine(1, 0);
  } else {
    result = LoadSelectedDives(selected);
  }
  if (result != graph::kUnitCancelled && result != store::kNoProfile) {
    TimeSpan = dm.ScaleAxes(result, DBChart->model());
    MoveCursorTo(0);
  }
  DBChart->update();
  return result;
}

int TGraphForm::LoadSelectedDives(const std::vector<db::Bookmark>& selected) {
  TVelmDataModule& dm = *VelmDataModule;
  db::Table& log = dm.LogTable;
  const db::Bookmark position = log.GetBookmark();
  log.DisableControls();
  const auto restore = [&] {
    if (log.BookmarkValid(position)) log.GotoBookmark(position);
    log.EnableControls();
  };
  const QString modeField = res::LoadStr(49);  // "Mode"
  int unit = log.FieldByName(modeField).AsInteger();
  for (const db::Bookmark& mark : selected) {
    if (!log.BookmarkValid(mark)) continue;
    log.GotoBookmark(mark);
    if (log.FieldByName(modeField).AsInteger() == unit) continue;
    const int chosen = AskGraphUnit(this);
    if (chosen == 0) {
      restore();
      return graph::kUnitCancelled;
    }
    unit = chosen;
    break;
  }
  for (int j = 1; j <= graph::kLines; ++j) ResetLine(j);
  int j = 1;
  for (const db::Bookmark& mark : selected) {
    if (j > graph::kLines) break;
    if (!log.BookmarkValid(mark)) continue;
    log.GotoBookmark(mark);
    if (LoadLine(j, unit) != store::kNoProfile) ++j;
  }
  restore();
  return j == 1 ? store::kNoProfile : unit;
}

void TGraphForm::GraphSpdBtnClick(const std::vector<db::Bookmark>& selected) {
  TVelmDataModule& dm = *VelmDataModule;
  if (!dm.EnsureProgramFolderSpace()) return;
  if (dm.LogTable.RecordCount() == 0) {
    dm.ShowMessageId(kNoJournal, kCaption, os::MsgIcon::Information);
    return;
  }
  if (dm.GraphKind == 2 || (dm.GraphKind == 1 && dm.LogTable.RecordCount() > 1)) {
    ShowGraph();
    return;
  }
  const int r = LoadGraph(selected);
  if (r == store::kNoProfile) {
    dm.ShowMessageId(kNoGraphData, kCaption, os::MsgIcon::Information);
    dm.GraphKind = 0;
    dm.CloseGraphTables();
    if (isVisible()) hide();
    return;
  }
  if ((r == graph::kTooManyDives || r == graph::kUnitCancelled || r == graph::kMultiShown) &&
      !isVisible()) {
    dm.GraphKind = 0;
    dm.CloseGraphTables();
    return;
  }
  ShowGraph();
}

void TGraphForm::ShowGraph() {
  if (SetMainOutputEnabled) SetMainOutputEnabled(false);
  if (!isVisible()) {
    TVelmDataModule& dm = *VelmDataModule;
    // The stored placement is read once; later shows use the one kept at hiding.
    if (dm.GraphPlacement.length == 0) {
      VelmWindowPlacement stored{};
      get_window_place("Graph", &stored);
      dm.GraphPlacement = std::bit_cast<os::WindowPlacement>(stored);
    }
    show();
    if (dm.GraphPlacement.length != 0) os::ApplyPlacement(*this, dm.GraphPlacement);
  }
  raise();
  activateWindow();
}

void TGraphForm::FormHide() {
  if (VelmDataModule == nullptr) return;
  TVelmDataModule& dm = *VelmDataModule;
  dm.GraphKind = 0;
  for (int j = 1; j <= graph::kLines; ++j) ResetLine(j);
  LastGraphId = 0;
  dm.GraphPlacement = os::TakePlacement(*this);
  dm.CloseGraphTables();
  if (SetMainOutputEnabled) SetMainOutputEnabled(true);
}

void TGraphForm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

QString TGraphForm::MakeGradientBitmap(WinColor start, WinColor end) {
  const QString folder = VelmDataModule != nullptr ? VelmDataModule->WorkFolder : QDir::currentPath();
  const QString path = folder + QStringLiteral("/Grad.BMP");
  graph::GradientImage(start, end).save(path, "BMP");
  return path;
}

void TGraphForm::ApplyGraphConf() {
  if (VelmDataModule == nullptr) return;
  GraphConf& conf = VelmDataModule->Graph;
  QString gradient = conf.GradFile;
  if ((conf.Flags & GraphConf::Gradient) && (gradient.isEmpty() || !QFile::exists(gradient))) {
    gradient = MakeGradientBitmap(conf.GradStartColor, conf.GradEndColor);
    conf.GradFile = gradient;
  }
  chart::Chart& c = DBChart->model();
  graph::ApplyConfToChart(conf, c, ImagePath, gradient);
  for (DiveLine& l : Lines) Fill(l.LinePanel, graph::ToColor(conf.LegendColor));
  Fill(ScrollBox1->widget(), graph::ToColor(conf.PanelColor));
  c.cursor.color = graph::ToColor(conf.CursorColor);
  DBChart->update();
}

void TGraphForm::MoveCursorBy(int seconds) {
  CursorTime = graph::MoveCursor(CursorTime, seconds, 0, TimeSpan);
  MoveCursorTo(CursorTime);
}

void TGraphForm::MoveCursorTo(int seconds) {
  CursorTime = std::clamp(seconds, 0, std::max(TimeSpan, 0));
  chart::Chart& c = DBChart->model();
  c.cursor.position = CursorTime / 86400.0;
  c.cursor.visible = Lines[0].loaded;
  PTimeText->setText(graph::CursorTimeText(CursorTime));
  DBChart->update();
  UpdateCursorValues();
}

void TGraphForm::UpdateCursorValues() {
  for (DiveLine& l : Lines) {
    if (!l.loaded) continue;
    l.DepthText->setText(graph::CursorDepthText(l.depth.At(CursorTime)));
    l.WaterText->setText(l.water.At(CursorTime).trimmed());
  }
}

void TGraphForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const bool shift = modifiers & Qt::ShiftModifier;
  const bool ctrl = modifiers & Qt::ControlModifier;
  switch (key) {
    case Qt::Key_Right:
      if (ctrl) MoveCursorTo(TimeSpan);
      else MoveCursorBy(shift ? kLongStep : kStep);
      break;
    case Qt::Key_Left:
      if (ctrl) MoveCursorTo(0);
      else MoveCursorBy(shift ? -kLongStep : -kStep);
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      hide();
      break;
    default:
      break;
  }
}

void TGraphForm::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Left:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      FormKeyDown(event->key(), event->modifiers());
      event->accept();
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}
