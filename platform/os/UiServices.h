#pragma once
// One seam for everything that talks to the user through the platform:
// message boxes, common dialogs, the shell's "open", help, and showing a
// dialog modally. Production uses Qt; tests install a scripted version that
// records each call and answers from a queue, so no test ever waits on a
// real modal box.
#include <optional>

#include <QColor>
#include <QString>

class QWidget;
class QDialog;

namespace os {

enum class MsgIcon { None, Warning, Information, Question, Error };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
// Values as the Windows message box returns them.
enum MsgResult { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

struct MessageRequest {
  QWidget* owner = nullptr;
  int textId = 0;      // string number of the text, 0 when it is not from the table
  int captionId = 0;   // string number of the caption, 0 likewise
  QString text;
  QString caption;
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::Ok;
};

class UiServices {
 public:
  virtual ~UiServices() = default;
  virtual int MessageBox(const MessageRequest& request) = 0;
  // Empty result: the user cancelled.
  virtual QString OpenFileName(QWidget* owner, const QString& caption, const QString& folder,
                               const QString& filter) = 0;
  virtual QString SaveFileName(QWidget* owner, const QString& caption, const QString& path,
                               const QString& filter) = 0;
  virtual std::optional<QColor> ChooseColor(QWidget* owner, const QColor& initial) = 0;
  // Opens a file or folder with the program the desktop associates with it.
  virtual bool ShellOpen(const QString& path) = 0;
  // Opens the help file at a context number; 0 opens its contents.
  virtual void ShowHelp(const QString& helpFile, int context) = 0;
  // Shows the dialog modally and returns its result (QDialog::Accepted or
  // Rejected).
  virtual int ShowModal(QDialog& dialog) = 0;
};

// The services in use; the Qt ones unless a test installed its own.
UiServices& Ui();
// Install `services` (not owned); nullptr restores the Qt ones.
void SetUi(UiServices* services);

inline int ShowModal(QDialog& dialog) { return Ui().ShowModal(dialog); }

}  // namespace os
