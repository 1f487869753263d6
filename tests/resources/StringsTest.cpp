#include "resources/Strings.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include "resources/Pictures.h"

TEST(Strings, TextsAreLoadedByNumber) {
  EXPECT_EQ(res::LoadStr(1), "KELDORAN GRAPH 2");
  EXPECT_EQ(res::LoadStr(48), "ID");
  EXPECT_EQ(res::LoadStr(81), "WatchData");
  EXPECT_EQ(res::LoadStr(1830), "Unable to execute due to insufficient disk space");
  EXPECT_EQ(res::LoadStr(1001), "Sun");
  EXPECT_EQ(res::LoadStr(1007), "Sat");
  EXPECT_FALSE(res::HasStr(999999));
  EXPECT_TRUE(res::LoadStr(999999).isEmpty());
}

TEST(Strings, JournalFieldNamesAreComplete) {
  for (int id = 48; id <= 81; ++id) EXPECT_FALSE(res::LoadStr(id).isEmpty()) << id;
}

// Every string number the program's sources name must be in the table.
// Sources name them as LoadStr(n), ShowMessageId(n, m, ...), menu items
// AddItem(menu, "Name", n), and named constants annotated with their text:
//   constexpr int kNoSpace = 1830;  // "Unable to execute ..."
// whose annotation must match the table.
TEST(Strings, EveryNumberTheCodeUsesExists) {
  const QRegularExpression calls(
      QStringLiteral(R"((?:LoadStr|LoadCaption)\((\d+)\)|ShowMessageId\((\d+),\s*(\d+)|)"
                     R"(AddItem\([^,]+,\s*"[^"]+",\s*(\d+)\))"));
  const QRegularExpression annotated(
      QStringLiteral(R"re(constexpr int k\w+ = (\d+);\s*//\s*"(.*)")re"));
  int seen = 0;
  QDirIterator it(QStringLiteral(KELDORAN_SOURCE_DIR), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                  QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (path.contains(QStringLiteral("/tests/")) || path.contains(QStringLiteral("/build")))
      continue;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString source = QString::fromUtf8(f.readAll());
    for (auto m = calls.globalMatch(source); m.hasNext();) {
      const auto match = m.next();
      for (int g = 1; g <= 4; ++g) {
        if (match.captured(g).isEmpty()) continue;
        ++seen;
        EXPECT_TRUE(res::HasStr(match.captured(g).toInt()))
            << path.toStdString() << ": string " << match.captured(g).toStdString();
      }
    }
    for (auto m = annotated.globalMatch(source); m.hasNext();) {
      const auto match = m.next();
      ++seen;
      EXPECT_EQ(res::LoadStr(match.captured(1).toInt()), match.captured(2))
          << path.toStdString() << ": string " << match.captured(1).toStdString();
    }
  }
  EXPECT_GT(seen, 20);  // the scan found the program's uses
}

TEST(Pictures, EveryNamedPictureDraws) {
  for (const char* name :
       {"TITLE_BITMAP", "SPLIT_WIN_BMP", "GRAPH_BMP", "PRINT_BMP", "HTML_BMP", "LOG_NEW_BMP",
        "LOG_EDIT_BMP", "SEARCH_BMP", "LOG_TOP_BMP", "LOG_PREV_BMP", "LOG_NEXT_BMP",
        "LOG_END_BMP", "LOG_WATCH_BMP", "DATA_SAVE_BMP", "ALBUM_BMP", "CENTI_BITMAP",
        "FAHR_BITMAP", "UNFIND_BITMAP", "KELDORAN_ICON"}) {
    const QImage image = res::LoadPicture(name, QSize(40, 36)).toImage();
    ASSERT_FALSE(image.isNull()) << name;
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) > 0;
    EXPECT_GT(painted, 40) << name;
  }
  EXPECT_TRUE(res::LoadPicture("NO_SUCH_BMP").isNull());
}
