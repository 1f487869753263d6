#pragma once
// The article setting dialog: edits the diver, place, weather and tank
// material lists and the three default values.
#include <QDialog>

#include "settings/ArticleLists.h"

class QComboBox;
class QListWidget;
class QPushButton;

class TLogItemRegDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TLogItemRegDlg(QWidget* parent = nullptr);

  // False when the load step could not read the lists: such a dialog is
  // closed before it is shown and saves nothing.
  bool Loaded() const { return loaded_; }

  void OKButtonClick();
  void HelpButtonClick();

 private:
  struct Group {
    QListWidget* list = nullptr;
    QPushButton* add = nullptr;
    QPushButton* modify = nullptr;
    QPushButton* remove = nullptr;
    QPushButton* up = nullptr;
    QPushButton* down = nullptr;
    int maximum = 0;
    int width = 0;
    int nameId = 0;
    bool* changed = nullptr;
  };

  QWidget* MakeGroup(Group& g, const char* prefix, const QString& title);
  void Fill(Group& g, const QStringList& entries);
  void ApplyButtonRule(Group& g);
  void AddClick(Group& g);
  void ModifyClick(Group& g);
  void DeleteClick(Group& g);
  void MoveClick(Group& g, int step);
  QString EditCaption(int actionId, int nameId) const;
  QComboBox* MakeDefaultBox(const char* name, Group& source, bool* changed);
  static QStringList Entries(const Group& g);
  static QList<int> SelectedRows(const Group& g);

  articles::ArticleLists lists_;
  Group weather_, tank_, divers_, places_;
  QComboBox* DiverComboBox = nullptr;
  QComboBox* BuddyComboBox = nullptr;
  QComboBox* LocationComboBox = nullptr;
  bool loaded_ = false;
};
