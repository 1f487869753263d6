#pragma once
// The progress window: one modeless window, created at start and reused by
// every long operation (downloads from the watch, imports). The operations
// run on the GUI thread without processing window messages, so the window
// repaints itself at every update.
#include <QDialog>

#include "watchlink/Progress.h"

class QLabel;
class QProgressBar;

class TDipeForm : public QDialog, public ProgressDisplay {
  Q_OBJECT

 public:
  explicit TDipeForm(QWidget* parent = nullptr);
  ~TDipeForm() override;

  int ShowProgress(const QString& caption, const QString& line1, const QString& line2, int position,
                   const QString& line3) override;
  void UpdateProgress(const QString& caption, const QString& line1, const QString& line2,
                      int position, const QString& line3, int token) override;
  void HideProgress(int token) override;

  QLabel* Label1;
  QLabel* Label2;
  QProgressBar* ProBar;
  QLabel* Label3;

 private:
  void SetPosition(int position);
  void PaintNow();
};

// The one instance, set by the process entry; cleared when that window goes.
extern TDipeForm* DipeForm;
