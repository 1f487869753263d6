// The progress window: texts, token rule, bar limits and painting while the
// caller holds the event loop.
#include "watchlink/Dipeunit.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QLabel>
#include <QProgressBar>

#include "platform/os/LocaleFont.h"

namespace {

class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

class DipeFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(form.ShowProgress("Data receive", "COM1", "Start", 0, " "), 1);
  }
  TDipeForm form;
};

TEST_F(DipeFormTest, ShowSetsEverythingAndShowsModeless) {
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.isModal());
  EXPECT_EQ(form.windowTitle(), "Data receive");
  EXPECT_EQ(form.Label1->text(), "COM1");
  EXPECT_EQ(form.Label2->text(), "Start");
  EXPECT_EQ(form.Label3->text(), " ");
  EXPECT_EQ(form.ProBar->value(), 0);
  EXPECT_EQ(form.ProBar->geometry(), QRect(16, 64, 297, 16));
}

TEST_F(DipeFormTest, EmptyTextsLeaveTheirLines) {
  form.UpdateProgress("", "", "", 40, "", 1);
  EXPECT_EQ(form.windowTitle(), "Data receive");
  EXPECT_EQ(form.Label1->text(), "COM1");
  EXPECT_EQ(form.Label2->text(), "Start");
  EXPECT_EQ(form.Label3->text(), " ");
  EXPECT_EQ(form.ProBar->value(), 40);

  form.UpdateProgress("", "", "receiveing", 50, "1/2", 1);
  EXPECT_EQ(form.Label1->text(), "COM1");
  EXPECT_EQ(form.Label2->text(), "receiveing");
  EXPECT_EQ(form.Label3->text(), "1/2");
}

TEST_F(DipeFormTest, BarPositionsOutsideTheRangeShowAtTheLimit) {
  const std::pair<int, int> cases[] = {{37, 37}, {-1, 0}, {150, 100}, {100, 100}, {0, 0}, {-80, 0}};
  for (auto [position, shown] : cases) {
    form.UpdateProgress("", "", "", position, "", 1);
    EXPECT_EQ(form.ProBar->value(), shown) << position;
  }
}

TEST_F(DipeFormTest, OtherTokensDoNothing) {
  for (int token : {0, -1, 2}) {
    form.UpdateProgress("X", "Y", "Z", 77, "W", token);
    form.HideProgress(token);
    EXPECT_EQ(form.windowTitle(), "Data receive") << token;
    EXPECT_EQ(form.Label1->text(), "COM1");
    EXPECT_EQ(form.ProBar->value(), 0);
    EXPECT_TRUE(form.isVisible());
  }
  form.HideProgress(1);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(DipeFormTest, UpdatePaintsBeforeReturning) {
  PaintCounter counter;
  form.Label3->installEventFilter(&counter);
  form.UpdateProgress("", "", "", 10, "3/9", 1);  // no event loop runs here
  EXPECT_GT(counter.paints, 0);
}

TEST(DipeForm, FontSizeEightOutsideTheJapaneseLocale) {
  const QFont designed = QWidget().font();
  ASSERT_NE(designed.pointSize(), 8);
  os::SetUserDefaultLocaleId(1033);
  const TDipeForm english;
  EXPECT_EQ(english.font().pointSize(), 8);
  EXPECT_EQ(english.font().family(), designed.family());
  os::SetUserDefaultLocaleId(os::kJapaneseLocaleId);
  const TDipeForm japanese;
  EXPECT_EQ(japanese.font().pointSize(), designed.pointSize());
  os::SetUserDefaultLocaleId(0);
}

TEST(DipeForm, GlobalInstanceIsClearedWithItsWindow) {
  {
    TDipeForm form;
    DipeForm = &form;
  }
  EXPECT_EQ(DipeForm, nullptr);
}

}  // namespace
