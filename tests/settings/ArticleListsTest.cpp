#include "settings/ArticleLists.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "profile_library/velm.h"
#include "store/Dataunit.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TestFolders.h"

namespace {

using articles::ArticleLists;
using articles::Buttons;

class ArticleListsTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
  }
  QString Uconf(const char* name) const { return InProgram(QStringLiteral("USERCONF/") + name); }

  test::ScriptedUi ui;
  TVelmDataModule dm;
};

TEST_F(ArticleListsTest, EmptyStoreLoadsEmptyListsAndSavingUnmarkedWritesNothing) {
  ArticleLists l;
  ASSERT_EQ(articles::Load(l), articles::LoadResult::Loaded);
  EXPECT_TRUE(l.Weather.isEmpty() && l.Tank.isEmpty() && l.Divers.isEmpty() && l.Places.isEmpty());
  EXPECT_TRUE(l.DefaultDiver.isEmpty());
  const QStringList before = QDir(InProgram("USERCONF")).entryList(QDir::Files);
  l.Divers << "Ann";  // changed, but not marked
  EXPECT_TRUE(articles::Save(l, dm));
  EXPECT_EQ(QDir(InProgram("USERCONF")).entryList(QDir::Files), before);
}

TEST_F(ArticleListsTest, SavedListsReadBackAndTheDataModuleFollows) {
  ArticleLists l;
  ASSERT_EQ(articles::Load(l), articles::LoadResult::Loaded);
  l.Divers = {"Ann", "", "Smith, John"};  // an empty entry and a comma survive
  l.Places = {"Blue Hole", "Reef, north"};
  l.Weather = {"Sunny, calm", "Rain"};
  l.Tank = {"Steel"};
  l.DefaultDiver = "Nobody Listed";  // need not be in the list
  l.DiversChanged = l.PlacesChanged = l.WeatherChanged = l.TankChanged = true;
  l.DefaultDiverChanged = true;
  ASSERT_TRUE(articles::Save(l, dm));

  EXPECT_EQ(test::ReadAll(Uconf("DIVER.LST")), "Ann\n\nSmith, John\n");
  EXPECT_FALSE(QFileInfo::exists(Uconf("REGIST.MOV")));
  EXPECT_FALSE(QFileInfo::exists(Uconf("REGIST.TMP")));
  EXPECT_EQ(dm.DiverList, l.Divers);
  EXPECT_EQ(dm.DiverCount, 3);
  EXPECT_EQ(dm.PlaceList, l.Places);
  EXPECT_EQ(dm.WeatherList, l.Weather);
  EXPECT_EQ(dm.WeatherCount, 2);
  EXPECT_EQ(dm.TankList, l.Tank);
  EXPECT_EQ(dm.DefaultDiver, "Nobody Listed");
  EXPECT_EQ(get_uconf_int("Count", "Diver Lst", 10), 3);
  EXPECT_EQ(get_uconf_int("Count", "Loca Lst", 10), 2);

  ArticleLists back;
  ASSERT_EQ(articles::Load(back), articles::LoadResult::Loaded);
  EXPECT_EQ(back.Divers, l.Divers);
  EXPECT_EQ(back.Places, l.Places);
  EXPECT_EQ(back.Weather, l.Weather);
  EXPECT_EQ(back.Tank, l.Tank);
  EXPECT_EQ(back.DefaultDiver, "Nobody Listed");

  // A shorter list replaces the longer one completely.
  back.Weather = {"Fog"};
  back.WeatherChanged = true;
  ASSERT_TRUE(articles::Save(back, dm));
  ArticleLists again;
  articles::Load(again);
  EXPECT_EQ(again.Weather, QStringList({"Fog"}));
}

TEST_F(ArticleListsTest, AFailedWriteKeepsTheOldListFile) {
  test::WriteAll(Uconf("DIVER.LST"), "Old\n");
  QDir().mkpath(Uconf("REGIST.TMP"));  // the temporary file cannot be written
  ArticleLists l;
  ASSERT_EQ(articles::Load(l), articles::LoadResult::Loaded);
  l.Divers = {"New"};
  l.DiversChanged = true;
  l.DefaultDiverChanged = true;
  l.DefaultDiver = "Later step";
  EXPECT_FALSE(articles::Save(l, dm));
  EXPECT_EQ(test::ReadAll(Uconf("DIVER.LST")), "Old\n");
  EXPECT_TRUE(dm.DefaultDiver.isEmpty());  // the save stopped before it
}

TEST_F(ArticleListsTest, AListLeftOnlyUnderTheMoveFileIsRestored) {
  test::WriteAll(Uconf("REGIST.MOV"), "Ann\nBob\n");  // DIVER.LST was moved aside
  test::WriteAll(Uconf("LOCA.LST"), "Reef\n");
  ArticleLists l;
  ASSERT_EQ(articles::Load(l), articles::LoadResult::Loaded);
  EXPECT_EQ(l.Divers, QStringList({"Ann", "Bob"}));
  EXPECT_EQ(test::ReadAll(Uconf("DIVER.LST")), "Ann\nBob\n");
  EXPECT_FALSE(QFileInfo::exists(Uconf("REGIST.MOV")));
}

TEST_F(ArticleListsTest, WithoutAUserFolderNothingLoads) {
  QDir(InProgram("USERCONF")).removeRecursively();
  ArticleLists l;
  EXPECT_EQ(articles::Load(l), articles::LoadResult::NoUserFolder);
}

TEST(ArticleButtons, Rule) {
  struct Case {
    int count, maximum;
    QList<int> selected;
    Buttons expected;  // add, modify, remove, up, down
  };
  const Case cases[] = {
      {0, 100, {}, {true, false, false, false, false}},
      {100, 100, {}, {false, false, false, false, false}},
      {99, 100, {}, {true, false, false, false, false}},
      {3, 1000, {0}, {true, true, true, false, true}},
      {3, 1000, {1}, {true, true, true, true, true}},
      {3, 1000, {2}, {true, true, true, true, false}},
      {1, 1000, {0}, {true, true, true, false, false}},
      {3, 1000, {0, 2}, {true, false, true, false, false}},
      {1000, 1000, {5}, {false, true, true, true, true}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(articles::ButtonRule(c.count, c.maximum, c.selected), c.expected)
        << c.count << " selected " << c.selected.size();
  }
}

TEST(ArticleButtons, DeletingRowsSelectsTheFollower) {
  struct Case {
    QStringList list;
    QList<int> selected;
    QStringList after;
    int select;
  };
  const Case cases[] = {
      {{"a", "b", "c", "d", "e"}, {1, 2}, {"a", "d", "e"}, 1},
      {{"a", "b", "c"}, {2}, {"a", "b"}, 1},        // past the end: the last row
      {{"a", "b", "c"}, {0, 1, 2}, {}, -1},
      {{"a", "b", "c", "d"}, {3, 1}, {"a", "c"}, 1},
  };
  for (Case c : cases) {
    QStringList list = c.list;
    EXPECT_EQ(articles::DeleteRows(list, c.selected), c.select);
    EXPECT_EQ(list, c.after);
  }
}

}  // namespace
