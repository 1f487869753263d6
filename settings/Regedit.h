#pragma once
#include <QDialog>

class QLineEdit;

// The entry edit dialog: one line of text for a list editor. OK answers
// Accepted only when the text was changed, so confirming an untouched entry
// changes nothing.
class TRegistEditDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TRegistEditDlg(QWidget* parent = nullptr);

  // Set by the caller before showing.
  void SetEntry(const QString& caption, int maxLength, const QString& text = QString());
  QString Text() const;

  void OKBtnClick();

 private:
  QLineEdit* RegistEdit = nullptr;
  bool changed_ = false;
};
