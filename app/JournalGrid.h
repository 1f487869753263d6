#pragma once
// The journal grid `LogGrid`: a read-only table view over the journal model
// with titles, a row indicator, resizable columns and whole-row multiple
// selection that stays visible without focus. Its current row is the
// journal's current record both ways: moving in the grid moves the cursor,
// a cursor move elsewhere moves the grid. Column widths the user set are
// kept, by field name, across every reset of the model.
#include <QHash>
#include <QTableView>

class JournalGridModel;

class JournalGrid : public QTableView {
  Q_OBJECT

 public:
  explicit JournalGrid(QWidget* parent = nullptr);

  void SetJournalModel(JournalGridModel* model);
  JournalGridModel* JournalModel() const { return model_; }

  // Selects the current record's row, adding it to the selection.
  void SelectCurrentRow();
  int SelectedRowCount() const;
  // The column the current cell keeps across cursor moves and resets.
  void SetSelectedColumn(int column);
  int SelectedColumn() const { return selectedColumn_; }

 signals:
  // A cell was clicked (after the click made its record current).
  void CellClicked();
  // A column title was clicked.
  void TitleClicked(int column);

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void FollowCursor();
  void RememberWidths();
  void ApplyWidths();

  JournalGridModel* model_ = nullptr;
  QHash<QString, int> widths_;  // by field name
  int selectedColumn_ = 0;
  bool following_ = false;
};
