#include "settings/Logreg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "profile_library/velm.h"
#include "settings/Regedit.h"
#include "store/Dataunit.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

class LogregTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  }
  template <typename T>
  static T* Find(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  // The entry edit dialog, operated by the test: types `keys` (nothing when
  // empty) and presses OK.
  void TypeInEditor(QString keys, bool eraseAfter = false) {
    ui.OnModal([this, keys, eraseAfter](QDialog& d) {
      captions.push_back(d.windowTitle());
      auto* edit = d.findChild<QLineEdit*>("RegistEdit");
      if (!keys.isEmpty()) QTest::keyClicks(edit, keys);
      if (eraseAfter) {
        for (int i = 0; i < keys.size(); ++i) QTest::keyClick(edit, Qt::Key_Backspace);
      }
      static_cast<TRegistEditDlg&>(d).OKBtnClick();
      return d.result();
    });
  }

  test::ScriptedUi ui;
  TVelmDataModule dm;
  std::vector<QString> captions;
};

TEST_F(LogregTest, TextsAndAnEmptyStart) {
  TLogItemRegDlg dlg;
  ASSERT_TRUE(dlg.Loaded());
  EXPECT_EQ(dlg.windowTitle(), "Journal article setting");
  for (const char* name : {"DiverAddButton", "LocationAddButton", "WeatherAddButton", "TankMatAddButton"}) {
    EXPECT_TRUE(Find<QPushButton>(dlg, name)->isEnabled()) << name;
  }
  EXPECT_EQ(Find<QPushButton>(dlg, "WeatherModifyButton")->text(), "Modify");
  EXPECT_FALSE(Find<QPushButton>(dlg, "WeatherDeleteButton")->isEnabled());
}

TEST_F(LogregTest, AHundredWeathersDisableAddUntilOneIsDeleted) {
  set_uconf_int("Weather", "Count", 10, 100);
  for (int n = 1; n <= 100; ++n) {
    set_uconf_index_data("Weather", n, QByteArray::number(n).constData());
  }
  TLogItemRegDlg dlg;
  auto* list = Find<QListWidget>(dlg, "WeatherListBox");
  auto* add = Find<QPushButton>(dlg, "WeatherAddButton");
  ASSERT_EQ(list->count(), 100);
  EXPECT_FALSE(add->isEnabled());
  list->setCurrentRow(10, QItemSelectionModel::ClearAndSelect);
  Find<QPushButton>(dlg, "WeatherDeleteButton")->click();
  EXPECT_EQ(list->count(), 99);
  EXPECT_TRUE(add->isEnabled());
  EXPECT_EQ(list->currentItem()->text(), "12");  // the follower is selected
}

TEST_F(LogregTest, AddWithoutTypingAddsNothingButAnErasedTextAddsAnEmptyEntry) {
  TLogItemRegDlg dlg;
  auto* list = Find<QListWidget>(dlg, "DiverListBox");
  auto* add = Find<QPushButton>(dlg, "DiverAddButton");
  TypeInEditor("");
  add->click();
  EXPECT_EQ(list->count(), 0);
  EXPECT_EQ(captions.back(), "Add - [ Diver ]");

  TypeInEditor("Zed", /*eraseAfter=*/true);
  add->click();
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), "");

  TypeInEditor("A very long diver name over twenty");
  add->click();
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(1)->text(), "A very long diver na");  // the field's width
  EXPECT_TRUE(list->item(1)->isSelected());
}

TEST_F(LogregTest, ModifyMoveAndDeleteSeveral) {
  test::WriteAll(InProgram("USERCONF/LOCA.LST"), "a\nb\nc\nd\ne\n");
  TLogItemRegDlg dlg;
  auto* list = Find<QListWidget>(dlg, "LocationListBox");
  list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
  TypeInEditor("2");
  Find<QPushButton>(dlg, "LocationModifyButton")->click();
  EXPECT_EQ(captions.back(), "Modify - [ Loc./Site ]");
  EXPECT_EQ(list->item(0)->text(), "a2");

  Find<QPushButton>(dlg, "LocationDownButton")->click();
  EXPECT_EQ(list->item(1)->text(), "a2");
  EXPECT_TRUE(list->item(1)->isSelected());
  Find<QPushButton>(dlg, "LocationUpButton")->click();
  EXPECT_EQ(list->item(0)->text(), "a2");
  EXPECT_FALSE(Find<QPushButton>(dlg, "LocationUpButton")->isEnabled());

  list->clearSelection();
  list->item(1)->setSelected(true);
  list->item(2)->setSelected(true);
  Find<QPushButton>(dlg, "LocationDeleteButton")->click();
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->currentItem()->text(), "d");
  EXPECT_TRUE(list->currentItem()->isSelected());
}

TEST_F(LogregTest, OkSavesThroughTheDataModuleAndTheDropDownOffersTheCurrentList) {
  TLogItemRegDlg dlg;
  TypeInEditor("Ann");
  Find<QPushButton>(dlg, "DiverAddButton")->click();
  auto* buddy = Find<QComboBox>(dlg, "BuddyComboBox");
  buddy->showPopup();
  EXPECT_EQ(buddy->count(), 1);
  EXPECT_EQ(buddy->itemText(0), "Ann");
  buddy->hidePopup();
  buddy->setCurrentIndex(0);

  Find<QPushButton>(dlg, "OKButton")->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dm.DiverList, QStringList({"Ann"}));
  EXPECT_EQ(dm.DefaultBuddy, "Ann");
  EXPECT_TRUE(dm.DefaultDiver.isEmpty());
  EXPECT_EQ(test::ReadAll(InProgram("USERCONF/DIVER.LST")), "Ann\n");
}

TEST_F(LogregTest, HelpOpensItsContext) {
  TLogItemRegDlg dlg;
  Find<QPushButton>(dlg, "HelpButton")->click();
  EXPECT_EQ(ui.HelpContexts(), std::vector<int>({3007}));
}

}  // namespace
