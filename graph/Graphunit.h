#pragma once
// The graph window: the depth lines and temperature points of up to eight
// dives over elapsed time, a cursor line, and a legend column with each
// dive's date, number and values at the cursor. Created once at start and
// shown without being modal.
#include <array>
#include <functional>
#include <vector>

#include <QWidget>

#include "graph/GraphLogic.h"
#include "platform/db/Table.h"
#include "store/ProfileTables.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace chart {
class ChartWidget;
}

class TGraphForm : public QWidget {
  Q_OBJECT

 public:
  explicit TGraphForm(QWidget* parent = nullptr);
  ~TGraphForm() override;

  // The Graph command on the journal's selected rows (bookmarks of the
  // journal table, in selection order; the current record is among them).
  void GraphSpdBtnClick(const std::vector<db::Bookmark>& selected);
  // Loads the selection; the loader's unit, 0 when the single record drawn
  // already is selected again, or -10, -18, -6, -80.
  int LoadGraph(const std::vector<db::Bookmark>& selected);
  int LoadSelectedDives(const std::vector<db::Bookmark>& selected);

  void FillLegendLine(int line, const store::LegendText& legend);
  void ResetLine(int line);
  void ApplyGraphConf();
  // Writes the gradient picture to "Grad.BMP" in the work folder; its path.
  QString MakeGradientBitmap(WinColor start, WinColor end);
  void UpdateCursorValues();
  // Keys of the window: arrows move the cursor, Enter and Esc hide it.
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void MoveCursorBy(int seconds);
  void MoveCursorTo(int seconds);
  void FormHide();

  // The cursor's elapsed time in whole seconds.
  int CursorTime = 0;
  int TimeSpan = 0;
  QString ImagePath;
  // The ID drawn last in the single-dive state; 0 when forgotten.
  int LastGraphId = 0;

  // Installed by the main window: its print and HTML commands are switched
  // off while the graph shows; focusing it.
  std::function<void(bool enabled)> SetMainOutputEnabled;
  std::function<void()> ActivateMain;

  chart::ChartWidget* DBChart;
  QWidget* ToolPanel;
  QPushButton* PanelSpdBtn;
  QPushButton* LineSpdBtn;
  QPushButton* PrintSpdBtn;
  QPushButton* MainSpdBtn;
  QPushButton* ExitSpdBtn;
  QToolButton* TopSpdBtn;
  QToolButton* PrevSpdBtn;
  QToolButton* UpDownLeft;
  QToolButton* UpDownRight;
  QToolButton* NextSpdBtn;
  QToolButton* LastSpdBtn;
  QScrollArea* ScrollBox1;
  QLabel* PtimeLabel;
  QLabel* PTimeText;

  struct DiveLine {
    QWidget* LinePanel = nullptr;
    QWidget* ClPanel = nullptr;
    QLabel* DateLabel = nullptr;
    QLabel* NoLabel = nullptr;
    QLabel* NoText = nullptr;
    QLabel* DepthLabel = nullptr;
    QLabel* DepthText = nullptr;
    QLabel* WaterLabel = nullptr;
    QLabel* WaterText = nullptr;
    bool loaded = false;
    graph::LineValues depth;
    graph::LineValues water;
  };
  std::array<DiveLine, graph::kLines> Lines;

  db::Table Table;  // "GraphView.DB": the captured picture for printing

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void CreateLegend(QWidget* column);
  // Loads the current journal record into `line`; the loader's result.
  int LoadLine(int line, int unit);
  void ShowGraph();
};

// The one instance, set by the process entry.
extern TGraphForm* GraphForm;
