#pragma once
// The program's user-facing seams on a console: the progress of a download
// as text lines, and message boxes as "caption: text" on standard error.
// Nothing here asks the user anything; a console run cannot answer.
#include <QString>

#include "platform/os/UiServices.h"
#include "watchlink/Progress.h"

namespace console {

// Every call prints "caption | line 1 | line 2 | bar% | line 3" on standard
// output, with the lines as the progress window would show them now.
class ConsoleProgress final : public ProgressDisplay {
 public:
  int ShowProgress(const QString& caption, const QString& line1, const QString& line2, int position,
                   const QString& line3) override;
  void UpdateProgress(const QString& caption, const QString& line1, const QString& line2,
                      int position, const QString& line3, int token) override;
  void HideProgress(int token) override;

 private:
  void Print(int position);
  QString caption_, line1_, line2_, line3_;
};

// Message boxes print their caption and text on standard error and answer
// OK, or No / Cancel to a question: nothing is ever confirmed on the
// user's behalf. A warning or error counts as a failure of the run. No
// dialog or file chooser can be shown: they come back cancelled.
class ConsoleUi final : public os::UiServices {
 public:
  int MessageBox(const os::MessageRequest& request) override;
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override;
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override;
  std::optional<QColor> ChooseColor(QWidget*, const QColor&) override;
  bool ShellOpen(const QString&) override;
  void ShowHelp(const QString&, int) override;
  int ShowModal(QDialog& dialog) override;

  // True once a warning or an error was shown.
  bool Failed() const { return failed_; }

 private:
  bool failed_ = false;
};

// "text" and a line end on standard error / output, in UTF-8.
void Error(const QString& text);
void Out(const QString& text);

}  // namespace console
