#pragma once
// The journal entry form: creates a journal record by hand, or completes
// and corrects the current one. Checks each entry as the user leaves a
// field and works out the air consumption.
#include <array>

#include <QDialog>
#include <QHash>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QGroupBox;
struct JournalRecord;

class TDiaryEditForm : public QDialog {
  Q_OBJECT

 public:
  explicit TDiaryEditForm(QWidget* parent = nullptr);
  ~TDiaryEditForm() override;

  // 1 edits the journal's current record, 2 makes new records.
  void SetMode(int mode);

  void OkButtonClick();
  void CancelButtonClick();
  void PrevButtonClick();
  void NextButtonClick();
  void ConsButtonClick();
  void HelpButtonClick();

  // Leaving a control: `next` is the control that receives the focus.
  void DateEditExit(QLineEdit* left, QWidget* next);
  void NoEditExit(QLineEdit* left, QWidget* next);
  void RestTimeHEditExit(QLineEdit* left);
  void RestTimeMEditExit(QLineEdit* left);
  void MemoExit(QWidget* next);
  void SiteComboBoxChange(QComboBox* box);

  int EditMode = 2;
  int UnitMode = 1;
  int WatchFlag = 2;
  bool Modified = false;

 private:
  void FillLists();
  void FillContents(int n);
  void LoadRecord();
  bool SaveRecord();
  void SetUnitMode(int mode);
  void SetWatchControlsEnabled(bool enabled);
  bool CheckRequired();
  void Message(int textId, int captionId) const;
  int Caption() const;
  bool MoveAndLoad(bool forward);
  // Builds the record from the controls; false after message 1891 when the
  // date or a time does not convert.
  bool RecordFromControls(JournalRecord& record);
  void FocusChanged(QWidget* old, QWidget* now);
  bool Unchanged(QWidget* control) const;
  void RememberTexts();

  QLineEdit* MakeEdit(const char* name, int maxLength);
  QComboBox* MakeCombo(const char* name, int maxLength);

  QLineEdit *YearEdit, *MonthEdit, *DateEdit, *NoEdit;
  QComboBox *SiteComboBox, *DiverComboBox, *BuddyComboBox, *WeatherComboBox, *MatComboBox;
  QLineEdit *TmpEdit, *VisiEdit, *WeightEdit, *CapaEdit, *StartPreEdit, *FinishPreEdit,
      *ConsumptionEdit;
  QLineEdit *AveDEdit, *MaxDEdit, *AveWEdit, *MinWEdit;
  // Rest, entry, surfacing and dive time: hour, minute, second each.
  std::array<std::array<QLineEdit*, 3>, 4> TimeEdits;
  std::array<QComboBox*, 4> UentComboBox;
  std::array<QComboBox*, 4> UvComboBox;
  QPlainTextEdit* Memo;
  QPushButton *PrevButton, *NextButton, *OkButton, *CancelButton, *HelpButton, *ConsButton;
  std::array<QLabel*, 3> LengthUnitLabel;
  std::array<QLabel*, 3> TmpImage;

  QHash<QWidget*, QString> entered_;  // texts when the control was entered or loaded
};
