#include "app/Mainunit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "platform/os/FreeSpace.h"
#include "store/Dataunit.h"
#include "tests/support/ScriptedUi.h"
#include "watchlink/Commainunit.h"

namespace {

TEST(MainForm, MenuTreeCaptionsAndOrder) {
  TMainForm form;
  EXPECT_EQ(form.windowTitle(), "KELDORAN GRAPH 2");
  struct Menu {
    const char* name;
    const char* caption;
    std::vector<std::pair<const char*, const char*>> items;  // separators: caption ""
  };
  const std::vector<Menu> menus = {
      {"File", "&Files",
       {{"NewEdit", "&New edit..."}, {"Edit", "&Edit..."}, {"Del", "&Delete"},
        {"AlbMenu", "&Album edit..."}, {"N1", ""}, {"HTML", "&Html write..."},
        {"Print", "&Print..."}, {"N2", ""}, {"Exit", "E&xit"}}},
      {"Display", "Disp&lay",
       {{"Serch", "&Search..."}, {"GraphDisp", "&Graph draw"}, {"N5", ""},
        {"LogDisp", "Display &Journal"}, {"AlbumMenu", "&Album thumbnail display"}}},
      {"Setting", "&Setting",
       {{"Config", "&Environment setting..."}, {"User", "Journal &User defind article..."},
        {"Log", "Journal &article setting..."}}},
      {"Option", "&Option",
       {{"DataRecv", "data &Receive..."}, {"Export", "&Export..."}, {"Import", "&Import..."},
        {"N3", ""}, {"Ver1", "Data exchange from Orvane for &Windows..."},
        {"Dos", "Data exchange from Orvane for &DOS..."}}},
      {"Help", "&Help", {{"Cont", "&Help Topics"}, {"N4", ""}, {"Version", "&About keldorangraph..."}}},
  };
  const QList<QAction*> top = form.menuBar()->actions();
  ASSERT_EQ(top.size(), static_cast<qsizetype>(menus.size()));
  for (std::size_t m = 0; m < menus.size(); ++m) {
    QMenu* menu = top[static_cast<qsizetype>(m)]->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), menus[m].name);
    EXPECT_EQ(menu->title(), menus[m].caption);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(menus[m].items.size())) << menus[m].name;
    for (qsizetype i = 0; i < items.size(); ++i) {
      const auto& [name, caption] = menus[m].items[static_cast<std::size_t>(i)];
      EXPECT_EQ(items[i]->objectName(), name);
      EXPECT_EQ(items[i]->isSeparator(), *caption == '\0') << name;
      if (*caption != '\0') {
        EXPECT_EQ(items[i]->text(), caption);
      }
    }
  }
  EXPECT_TRUE(form.Item("LogDisp")->isChecked());
}

TEST(MainForm, ToolButtonsPositionsHintsAndPictures) {
  TMainForm form;
  const std::vector<std::tuple<const char*, int, const char*>> buttons = {
      {"DiarySpdBtn", 8, "Display Journal"}, {"GraphSpdBtn", 48, "Graph draw"},
      {"PrintSpdBtn", 88, "Print"},          {"HTMLSpdBtn", 118, "Html write"},
      {"NewSpdBtn", 148, "New edit"},        {"EditSpdBtn", 178, "Edit"},
      {"SerchSpdBtn", 216, "Search"},        {"TopSpdBtn", 250, "First Record"},
      {"PrevSpdBtn", 280, "Previous Record"}, {"NextSpdBtn", 310, "Next Record"},
      {"LastSpdBtn", 340, "Last Record"},    {"RecvSpdBtn", 378, "Data receive"},
      {"ExpSpdBtn", 408, "Export"},          {"AlbEditSpdBtn", 438, "Album edit"},
  };
  for (const auto& [name, left, hint] : buttons) {
    QToolButton* b = form.Button(name);
    ASSERT_NE(b, nullptr) << name;
    EXPECT_EQ(b->geometry().left(), left) << name;
    EXPECT_EQ(b->size(), QSize(29, 26)) << name;
    EXPECT_EQ(b->toolTip(), hint) << name;
    EXPECT_FALSE(b->icon().isNull()) << name;
  }
  EXPECT_TRUE(form.Button("DiarySpdBtn")->isCheckable());
  EXPECT_TRUE(form.Button("DiarySpdBtn")->isChecked());
  EXPECT_TRUE(form.Button("SerchSpdBtn")->isCheckable());
  EXPECT_FALSE(form.Button("SerchSpdBtn")->isChecked());
  EXPECT_EQ(form.findChild<QLabel*>("TotalLabel")->text(), "Number of Rec.");
}

TEST(MainForm, DetailPanelToggleKeepsButtonAndMenuInStep) {
  TMainForm form;
  form.show();
  QWidget* panel = form.findChild<QWidget*>("LogScrollBox");
  QToolButton* button = form.Button("DiarySpdBtn");
  QAction* item = form.Item("LogDisp");

  button->click();  // the button changes its own state
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(item->isChecked());
  EXPECT_FALSE(button->isChecked());

  item->trigger();  // the menu item also moves the button
  EXPECT_TRUE(panel->isVisible());
  EXPECT_TRUE(item->isChecked());
  EXPECT_TRUE(button->isChecked());

  item->trigger();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(button->isChecked());
}

TEST(MainForm, CommandsNotYetAvailableAreDisabled) {
  TMainForm form;
  for (const char* name : {"Del", "Import", "Serch", "Config"}) {
    EXPECT_FALSE(form.Item(name)->isEnabled()) << name;
  }
  for (const char* name : {"Exit", "Version", "LogDisp", "Log", "Edit"}) {
    EXPECT_TRUE(form.Item(name)->isEnabled()) << name;
  }
}

TEST(MainForm, ArticleSettingChecksTheSpaceFirst) {
  test::ScriptedUi ui;
  TVelmDataModule dm;
  dm.ProgramFolder = QDir::tempPath();
  TMainForm form;
  os::SetFreeSpaceSource([](const QString&) { return qint64(1) << 20; });
  form.Item("Log")->trigger();
  os::SetFreeSpaceSource({});
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1830}));
  EXPECT_EQ(ui.ModalCount(), 0);
}

TEST(MainForm, ReceiveChecksTheSpaceThenShowsTheReceiveDialogOwnedByTheWindow) {
  test::ScriptedUi ui;
  TVelmDataModule dm;
  dm.ProgramFolder = QDir::tempPath();
  dm.SerialPort = 2;
  TMainForm form;
  ASSERT_TRUE(form.Button("RecvSpdBtn")->isEnabled());

  os::SetFreeSpaceSource([](const QString&) { return qint64(1) << 20; });
  form.Button("RecvSpdBtn")->click();
  os::SetFreeSpaceSource({});
  EXPECT_EQ(ui.MessageIds(), std::vector<int>({1830}));
  EXPECT_EQ(ui.ModalCount(), 0);

  ui.Clear();
  std::vector<QString> shown;
  ui.OnModal([&](QDialog& dialog) {
    shown.push_back(dialog.objectName());
    EXPECT_EQ(dialog.parentWidget(), &form);
    EXPECT_EQ(static_cast<TCommForm&>(dialog).PortNumber, 2);
    return static_cast<int>(QDialog::Accepted);
  });
  form.Item("DataRecv")->trigger();
  form.Button("RecvSpdBtn")->click();
  EXPECT_EQ(shown, std::vector<QString>({"CommForm", "CommForm"}));
  EXPECT_TRUE(ui.Messages().empty());
}

TEST(MainForm, AboutBoxIsShownModally) {
  test::ScriptedUi ui;
  QString shown;
  ui.OnModal([&](QDialog& dialog) {
    shown = dialog.objectName();
    EXPECT_NE(dialog.findChild<QLabel*>("ProductName"), nullptr);
    return static_cast<int>(QDialog::Accepted);
  });
  TMainForm form;
  form.Item("Version")->trigger();
  EXPECT_EQ(ui.ModalCount(), 1);
  EXPECT_EQ(shown, "AboutBox");
}

}  // namespace
