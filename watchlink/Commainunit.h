#pragma once
// The receive dialog: tells the user to put the watch in transfer mode, lets
// the serial port be chosen and runs one download per press of Start. Every
// dive received becomes a profile file and a journal record with the same
// number. Also the serial port choice dialog.
#include <QDialog>
#include "platform/os/UiServices.h"
#include "watchlink/ReceiveSteps.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;

class TCommForm : public QDialog {
  Q_OBJECT

 public:
  explicit TCommForm(QWidget* parent = nullptr);

  void FormCreate();
  void StartButtonClick();
  void FinishButtonClick();
  void ComButtonClick();
  void HelpButtonClick();

  // Esc and the window's close box end the dialog like End, so the journal
  // mirror follows the records received.
  void reject() override;

  // The download (watch::ReceiveWatchData); tests put a scripted
  // communication unit in its place.
  watch::Download Download;

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QPushButton* StartButton;
  QPushButton* FinishButton;
  QPushButton* ComButton;
  QPushButton* HelpButton;

  int PortNumber = 1;     // serial port of the next download, 1 to 3
  QString LogFolder;      // the log-book folder when the dialog was created
  bool RecordAdded = false;

 private:
  // A message box owned by the dialog, caption "Data receive".
  void Message(int textId, const QString& text, os::MsgIcon icon);
};

// The serial port choice: "COM1" to "COM3".
class TPortForm : public QDialog {
  Q_OBJECT

 public:
  explicit TPortForm(QWidget* parent = nullptr);

  // The chosen item, 0 to 2; -1 when none is.
  int ItemIndex() const;
  void SetItemIndex(int index);

  void OkButtonClick();
  void CancelButtonClick();

  QGroupBox* RadioGroup;
  QPushButton* OkButton;
  QPushButton* CancelButton;

 private:
  QButtonGroup* items_;
};
