#include "app/JournalGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include "app/JournalGridModel.h"

namespace {

constexpr int kRowHeight = 19;
constexpr int kIndicatorWidth = 14;
constexpr int kMaxInitialWidth = 240;

}  // namespace

JournalGrid::JournalGrid(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("LogGrid"));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(true);
  setShowGrid(true);
  setWordWrap(false);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setMinimumWidth(kIndicatorWidth);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  // The selection stays as visible when the grid has no focus.
  QPalette p = palette();
  p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
  setPalette(p);

  connect(this, &QAbstractItemView::clicked, this, [this] { emit CellClicked(); });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &JournalGrid::TitleClicked);
}

void JournalGrid::SetJournalModel(JournalGridModel* model) {
  model_ = model;
  setModel(model);
  connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &JournalGrid::RememberWidths);
  connect(model, &QAbstractItemModel::modelReset, this, [this] {
    ApplyWidths();
    FollowCursor();
  });
  connect(model, &JournalGridModel::CurrentRowChanged, this, &JournalGrid::FollowCursor);
  ApplyWidths();
  FollowCursor();
}

void JournalGrid::RememberWidths() {
  for (int c = 0; c < model_->columnCount(); ++c) widths_.insert(model_->FieldName(c), columnWidth(c));
}

void JournalGrid::ApplyWidths() {
  const QFontMetrics titles = horizontalHeader()->fontMetrics();
  const int charWidth = fontMetrics().averageCharWidth();
  for (int c = 0; c < model_->columnCount(); ++c) {
    const QString name = model_->FieldName(c);
    const auto it = widths_.constFind(name);
    if (it != widths_.constEnd()) {
      setColumnWidth(c, *it);
    } else {
      const int values = model_->DisplayWidth(c) * charWidth;
      setColumnWidth(c, std::min(kMaxInitialWidth, std::max(titles.horizontalAdvance(name), values) + 12));
    }
  }
}

void JournalGrid::FollowCursor() {
  const int row = model_->CurrentRow();
  if (row < 0 || model_->columnCount() == 0) return;
  const QModelIndex index = model_->index(row, std::min(selectedColumn_, model_->columnCount() - 1));
  following_ = true;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  following_ = false;
  scrollTo(index);
}

void JournalGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (!current.isValid()) return;
  selectedColumn_ = current.column();
  if (!following_) model_->MoveTo(current.row());
}

void JournalGrid::SelectCurrentRow() {
  const int row = model_ == nullptr ? -1 : model_->CurrentRow();
  if (row < 0) return;
  selectionModel()->select(model_->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int JournalGrid::SelectedRowCount() const {
  return selectionModel() == nullptr ? 0 : static_cast<int>(selectionModel()->selectedRows().size());
}

void JournalGrid::SetSelectedColumn(int column) {
  selectedColumn_ = std::max(0, column);
  FollowCursor();
}
