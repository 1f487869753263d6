#include "platform/os/LocaleFont.h"

#include <gtest/gtest.h>

#include <QWidget>

TEST(LocaleFont, OnlyTheJapaneseLocaleKeepsTheDesignedFont) {
  struct Case {
    int locale;
    bool arial8;
  };
  const Case cases[] = {{1033, true}, {2057, true}, {1031, true}, {1041, false}};
  for (const Case& c : cases) {
    os::SetUserDefaultLocaleId(c.locale);
    QWidget w;
    QFont designed(QStringLiteral("DejaVu Serif"));
    designed.setPointSize(14);
    w.setFont(designed);
    os::ApplyLocaleFont(&w);
    EXPECT_EQ(w.font().family() == QStringLiteral("Arial"), c.arial8) << c.locale;
    EXPECT_EQ(w.font().pointSize(), c.arial8 ? 8 : 14) << c.locale;
  }
  os::SetUserDefaultLocaleId(0);
}
