#pragma once
// The main window: menu bar, tool bar with the record count, the journal
// detail panel (left) and the journal grid (right).
#include <QMainWindow>
#include <QSet>
#include <array>
#include <vector>

#include "app/JournalDisplay.h"

namespace db {
class Table;
struct Bookmark;
}  // namespace db
class DetailPanel;
class JournalGrid;
class JournalGridModel;
class QAction;
class TGraphForm;
class QLabel;
class QScrollArea;
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
  // Receive dialog, then the journal display follows (app/MainReceive.cpp).
  void RecvSpdBtnClick();
  void NewSpdBtnClick();
  void EditSpdBtnClick();
  // Shows or hides the detail panel; `fromMenu` when the menu item sent it.
  void DiarySpdBtnClick(bool fromMenu);
  // Draws the journal's selected rows; until the grid offers a selection,
  // the current record.
  void GraphSpdBtnClick();
  // Bookmarks of the grid's selected rows, the current row added to them.
  std::vector<db::Bookmark> SelectedRecords();
  // Connects the graph window: the Graph command, and the print and HTML
  // commands switched off while it shows.
  void AttachGraphForm(TGraphForm* graph);

  // Journal display (grid and detail panel).
  JournalGrid* Grid() const { return LogGrid; }
  DetailPanel* Detail() const { return Panel1; }
  // Clear the selection, move to the first, previous, next or last record
  // and select it.
  void TopSpdBtnClick();
  void PrevSpdBtnClick();
  void NextSpdBtnClick();
  void LastSpdBtnClick();
  // Sorts the journal by the column's field; a second click on the same
  // field sorts it the other way.
  void LogGridTitleClick(int column);
  void LogGridCellClick();
  // The detail panel from the current record.
  void RefreshDisplay();
  // The record count, and the commands that create records enabled exactly
  // while the journal may take one more (journal_view::CreatingCommandsAllowed).
  // Every command that may change the journal calls this afterwards.
  void RefreshRecordCount();
  // The unit labels from the data module's unit texts.
  void RefreshUnitLabels();
  // A creating command (journal_view::kCreatingButtons, kCreatingItems)
  // whose handler is attached: from now on the record count refresh
  // enables and disables it.
  void CreatingCommandBuilt(const char* name);

  // Called once, when the window is first shown.
  void FormFirstShow();

 signals:
  void FirstShown();
  // A click on a grid cell made its record current (graph redraw, album).
  void CurrentRecordClicked();
  // The detail panel has been refreshed for a new current record.
  void DisplayRefreshed();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateMenus();
  void CreateToolBar(QWidget* toolPanel);
  QAction* AddItem(class QMenu* menu, const char* name, int captionId);
  void AttachJournal();
  void ApplyStoredSort();
  void MoveRecord(void (*move)(db::Table&));

  QWidget* ToolPanel = nullptr;
  QWidget* ToolBtnPanel = nullptr;
  QLabel* TotalLabel = nullptr;
  QLabel* TotalText = nullptr;
  QScrollArea* LogScrollBox = nullptr;
  DetailPanel* Panel1 = nullptr;
  QWidget* Panel2 = nullptr;
  JournalGrid* LogGrid = nullptr;
  JournalGridModel* gridModel_ = nullptr;
  journal_view::TitleSort sort_;
  QSet<QString> builtCreatingCommands_;
  bool shownOnce_ = false;
  TGraphForm* graphForm_ = nullptr;
  bool outputLocked_ = false;
  std::array<bool, 4> outputEnabled_{};  // print and HTML, kept while the graph shows
};
