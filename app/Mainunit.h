#pragma once
// The main window: menu bar, tool bar with the record count, the journal
// detail panel (left) and the journal grid (right).
#include <QMainWindow>
#include <array>

class QAction;
class TGraphForm;
class QLabel;
class QScrollArea;
class QTableView;
class QToolButton;
class QWidget;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // Menu items and tool buttons by their component names ("NewEdit",
  // "GraphSpdBtn", ...).
  QAction* Item(const char* name) const;
  QToolButton* Button(const char* name) const;

  // Handlers.
  void ExitClick();
  void VersionClick();
  void LogClick();
  // Shows or hides the detail panel; `fromMenu` when the menu item sent it.
  void DiarySpdBtnClick(bool fromMenu);
  // Draws the journal's selected rows; until the grid offers a selection,
  // the current record.
  void GraphSpdBtnClick();
  // Connects the graph window: the Graph command, and the print and HTML
  // commands switched off while it shows.
  void AttachGraphForm(TGraphForm* graph);

  // Called once, when the window is first shown.
  void FormFirstShow();

 signals:
  void FirstShown();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateMenus();
  void CreateToolBar(QWidget* toolPanel);
  QAction* AddItem(class QMenu* menu, const char* name, int captionId);

  QWidget* ToolPanel = nullptr;
  QWidget* ToolBtnPanel = nullptr;
  QLabel* TotalLabel = nullptr;
  QLabel* TotalText = nullptr;
  QScrollArea* LogScrollBox = nullptr;
  QWidget* Panel1 = nullptr;
  QWidget* Panel2 = nullptr;
  QTableView* LogGrid = nullptr;
  bool shownOnce_ = false;
  TGraphForm* graphForm_ = nullptr;
  bool outputLocked_ = false;
  std::array<bool, 4> outputEnabled_{};  // print and HTML, kept while the graph shows
};
