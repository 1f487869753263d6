#pragma once
// Asks for one unit when the dives to draw mix metric and imperial records.
#include <QDialog>

class QLabel;
class QPushButton;

class TModeCheckDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TModeCheckDlg(QWidget* parent = nullptr);

  // 1 (metres) or 2 (feet) after OK; 0 otherwise.
  int Unit = 0;

  QLabel* Label1;
  QLabel* Label2;
  QPushButton* CentiGradeBtn;
  QPushButton* FarhenheitBtn;
  QPushButton* CancelButton;
};

// Shows the dialog modally; the chosen unit, or 0 when cancelled.
int AskGraphUnit(QWidget* owner);
