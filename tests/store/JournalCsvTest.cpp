#include "store/JournalCsv.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cstring>
#include <unistd.h>

#include "platform/os/Formats.h"
#include "tests/store/JournalRecordPrint.h"
#include "tests/support/TestFolders.h"


namespace {

JournalRecord FullRecord(int id) {
  JournalRecord r;
  r.ID = id;
  r.Mode = 2;
  r.Date = *fmt::TryEncodeDate(2001, 5, 12);
  r.No = "3";
  r.EntryTime = *fmt::TryEncodeTime(9, 5, 0);
  r.SurfTime = *fmt::TryEncodeTime(9, 50, 30);
  r.Diver = "Diver Name Twenty Ch";  // 20 characters
  r.Site = "Blue Hole, Dahab 20c";
  r.Buddy = QStringLiteral(u"Buddy \u00e9l\u00e8ve 20 chars");
  r.AveDepth = "123";
  r.MaxDepth = "12345";
  r.AveWater = "25.8";
  r.MinWater = "18.2";
  r.RestTime = *fmt::TryEncodeTime(1, 30, 0);
  r.DiveTime = *fmt::TryEncodeTime(0, 45, 30);
  r.Weather = "Sunny, calm!";
  r.Temp = "31.5";
  r.Clarity = "20.0";
  r.TankMaterial = "Aluminium!";  // 10 characters
  r.TankCapacity = "11.1";
  r.StartPres = "200";
  r.EndPres = "50";
  r.AirConsum = "1.47";
  r.Weight = "4.5";
  for (int i = 0; i < 4; ++i) {
    r.UserArticle[static_cast<std::size_t>(i)] = QStringLiteral("Article %1 12").arg(i).left(12);
    r.UserContent[static_cast<std::size_t>(i)] = QStringLiteral("Content %1 of twenty!").arg(i).left(20);
  }
  r.Memo = QString(196, u'm') + "\r\nab";  // 200 characters with a line break
  r.WatchData = 1;
  return r;
}

class JournalCsvTest : public test::TestFolders {
 protected:
  QString Path() const { return InProgram("logtable.csv"); }
  // The records read back; `skipped` counts whole records without an ID.
  std::vector<JournalRecord> ReadBack(csv::ReadResult* result = nullptr, int* skipped = nullptr) const {
    std::vector<JournalRecord> out;
    int none = 0;
    const auto r = csv::ReadFile(Path(), [&](const char* bytes) {
      if (const auto rec = csv::DecodeRecord(bytes)) out.push_back(*rec);
      else ++none;
    });
    if (result) *result = r;
    if (skipped) *skipped = none;
    return out;
  }
  static csv::RecordSource From(const std::vector<JournalRecord>& records) {
    auto at = std::make_shared<std::size_t>(0);
    return [&records, at](char* next) {
      if (*at >= records.size()) return false;
      const QByteArray bytes = csv::EncodeRecord(records[(*at)++]);
      std::memcpy(next, bytes.constData(), csv::kRecordSize);
      return true;
    };
  }
};

TEST_F(JournalCsvTest, RecordLayoutIsFixed) {
  const QByteArray bytes = csv::EncodeRecord(FullRecord(42));
  ASSERT_EQ(bytes.size(), 545);
  EXPECT_EQ(bytes.mid(0, 4), "  42");
  EXPECT_EQ(bytes[5], 'F');
  EXPECT_EQ(bytes.mid(7, 10), "2001/05/12");
  EXPECT_EQ(bytes.mid(20, 8), "09:05:00");
  EXPECT_EQ(bytes.mid(71, 8), "00:45:30");
  EXPECT_EQ(bytes[80], '1');
  EXPECT_EQ(bytes.mid(173, 10), "Aluminium!");
  EXPECT_EQ(bytes.mid(541, 4), "ab\r\n");
  for (int comma : {4, 6, 17, 19, 28, 37, 43, 49, 55, 61, 70, 79, 81, 102, 123, 144, 157, 162,
                    167, 172, 183, 188, 193, 198, 206, 219, 240, 253, 274, 287, 308, 321, 342}) {
    EXPECT_EQ(bytes[comma], ',') << comma;
  }
  EXPECT_EQ(bytes.count('\0'), 0);

  JournalRecord empty;
  empty.ID = 7;
  const QByteArray blank = csv::EncodeRecord(empty);
  EXPECT_EQ(blank.mid(0, 6), "   7,M");
  EXPECT_EQ(blank.mid(7, 10), QByteArray(10, ' '));  // no date: a blank column
  EXPECT_EQ(blank.mid(343, 200), QByteArray(200, ' '));

  // Numbers print as "%d" would; what does not fit its column is cut.
  struct Number {
    int id, watchData;
    const char* idColumn;
    char watchDataColumn;
  };
  for (const Number& n : {Number{12345, 12, "1234", '1'}, Number{-5, -1, "  -5", '-'},
                          Number{0, 2, "   0", '2'}}) {
    JournalRecord r;
    r.ID = n.id;
    r.WatchData = n.watchData;
    const QByteArray b = csv::EncodeRecord(r);
    EXPECT_EQ(b.mid(0, 4), n.idColumn) << n.id;
    EXPECT_EQ(b[80], n.watchDataColumn) << n.watchData;
    EXPECT_EQ(b[81], ',') << n.watchData;
  }
}

TEST_F(JournalCsvTest, WriteAndReadBackEveryFieldAtFullWidth) {
  JournalRecord empty;
  empty.ID = 9999;
  empty.WatchData = 2;
  JournalRecord midnight = FullRecord(2);
  midnight.Mode = 1;
  midnight.EntryTime = 0.0;  // a real time of 00:00:00, not an empty one
  midnight.Memo = "line one\nline two\n";
  midnight.Memo.chop(1);     // trailing blanks and breaks cannot be told from padding
  const std::vector<JournalRecord> records = {FullRecord(1), empty, midnight};
  ASSERT_TRUE(csv::WriteFile(Path(), From(records)));
  EXPECT_EQ(QFile(Path()).size(), 3 * 545);

  csv::ReadResult result;
  const auto back = ReadBack(&result);
  EXPECT_EQ(result.records, 3);
  ASSERT_EQ(back.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(back[i], records[i]) << i;
}

TEST_F(JournalCsvTest, LongerTextsAreCutToTheirColumns) {
  JournalRecord r = FullRecord(5);
  r.TankMaterial = "Steel 15 litre";
  r.Memo = QString(250, u'x');
  r.No = "12";
  ASSERT_TRUE(csv::WriteFile(Path(), From({r})));
  const auto back = ReadBack();
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].TankMaterial, "Steel 15 l");
  EXPECT_EQ(back[0].Memo, QString(200, u'x'));
  EXPECT_EQ(back[0].No, "1");
  EXPECT_EQ(back[0].Weather, r.Weather);  // the neighbours are intact
}

TEST_F(JournalCsvTest, APartialLastRecordIsIgnored) {
  ASSERT_TRUE(csv::WriteFile(Path(), From({FullRecord(1), FullRecord(2)})));
  QFile f(Path());
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_TRUE(f.resize(545 + 300));
  f.close();
  csv::ReadResult result;
  const auto back = ReadBack(&result);
  EXPECT_EQ(result.records, 1);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].ID, 1);
}

TEST_F(JournalCsvTest, UnreadableNumbersAndDatesDoNotStopTheReading) {
  QByteArray bad = csv::EncodeRecord(FullRecord(3));
  bad.replace(0, 4, "  x3");              // no ID: the record cannot be placed
  QByteArray oddDate = csv::EncodeRecord(FullRecord(4));
  oddDate.replace(7, 10, "2001/13/45");  // an impossible date reads as empty
  test::WriteAll(Path(), bad + oddDate + csv::EncodeRecord(FullRecord(5)));
  int skipped = 0;
  const auto back = ReadBack(nullptr, &skipped);
  EXPECT_EQ(skipped, 1);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].ID, 4);
  EXPECT_FALSE(back[0].Date);
  EXPECT_EQ(back[0].Diver, FullRecord(4).Diver);
  EXPECT_EQ(back[1], FullRecord(5));
}

TEST_F(JournalCsvTest, AFailedWriteIsReportedAndKeepsTheOldFile) {
  EXPECT_FALSE(csv::WriteFile(InProgram("missing/logtable.csv"), From({FullRecord(1)})));
  EXPECT_FALSE(csv::ReadFile(InProgram("missing/logtable.csv"), [](const char*) {}).opened);
}

TEST_F(JournalCsvTest, AWriteKilledHalfWayLeavesThePreviousFileIntact) {
  ASSERT_TRUE(csv::WriteFile(Path(), From({FullRecord(1), FullRecord(2)})));
  const QByteArray before = test::ReadAll(Path());

  // The process dies after 500 of 1000 records have been written.
  EXPECT_EXIT(
      {
        int n = 0;
        csv::WriteFile(Path(), [&n](char* next) {
          if (n == 500) _exit(3);
          std::memcpy(next, csv::EncodeRecord(FullRecord(++n)).constData(), csv::kRecordSize);
          return true;
        });
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(test::ReadAll(Path()), before);
}

}  // namespace
