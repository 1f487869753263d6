#pragma once
// The detail panel `Panel1` inside `LogScrollBox`: captions and value texts
// of the current record, the unit labels, the temperature pictures and the
// read-only memo `DBMemo`. The texts come from journal_view; this class only
// places and fills the controls, found by their component names.
#include <utility>
#include <vector>

#include <QWidget>

#include "app/JournalDisplay.h"

class QLabel;
class QPlainTextEdit;

class DetailPanel : public QWidget {
  Q_OBJECT

 public:
  explicit DetailPanel(QWidget* parent = nullptr);

  void ShowTexts(const journal_view::DetailTexts& texts);
  void ShowUnits(const std::vector<std::pair<const char*, QString>>& labels);
  // The text of a label, a group box title or the memo, by component name.
  QString Text(const char* name) const;
  // The picture name a temperature picture shows ("CENTI_BITMAP", ...).
  QString Picture(const char* name) const;

 private:
  QLabel* Label(const char* name) const;

  QPlainTextEdit* memo_ = nullptr;
};
