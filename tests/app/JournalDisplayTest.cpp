#include "app/JournalDisplay.h"

#include <gtest/gtest.h>

#include "platform/os/Formats.h"
#include "store/JournalTable.h"

namespace {

using journal_view::TitleSort;

TEST(JournalDisplay, TitleClicksToggleOnlyTheLastField) {
  struct Case {
    std::vector<const char*> clicks;
    std::vector<const char*> indexes;
  };
  const std::vector<Case> cases = {
      {{"Diver", "Diver", "Diver"}, {"Diver", "REV_DIVER", "Diver"}},
      {{"Date", "Date"}, {"DATE", "REV_DATE"}},
      {{"Diver", "Buddy", "Diver"}, {"Diver", "Buddy", "Diver"}},
      {{"Clarity", "Clarity", "Memo", "Memo"}, {"Clarity", "REV_VISI", "Memo", "REV_MEMO"}},
      {{"User Article Content4", "User Article Content4"}, {"User Article Content4", "REV_UEV4"}},
      // A name that is no journal field has no descending index.
      {{"Nothing", "Nothing"}, {"Nothing", ""}},
  };
  for (const Case& c : cases) {
    TitleSort sort;
    for (std::size_t i = 0; i < c.clicks.size(); ++i) {
      EXPECT_EQ(sort.Click(c.clicks[i]), c.indexes[i]) << c.clicks[0] << " click " << i;
    }
  }
}

// Every index a title click can choose exists among the journal's indexes,
// orders by the clicked field first and runs the right way.
TEST(JournalDisplay, SortIndexesMatchTheJournalsIndexes) {
  const std::vector<db::IndexDef> defs = journal::IndexDefs();
  const QStringList names = journal_view::FieldNames();
  ASSERT_EQ(names.size(), 34);
  for (int id = 50; id <= 80; ++id) {
    const QString field = names[id - 48];
    for (const bool descending : {false, true}) {
      const QString index = journal_view::SortIndexName(id, field, descending);
      const auto it = std::find_if(defs.begin(), defs.end(), [&](const db::IndexDef& d) { return d.name == index; });
      ASSERT_NE(it, defs.end()) << field.toStdString() << " " << descending << " " << index.toStdString();
      EXPECT_EQ(it->fields.front(), field) << index.toStdString();
      EXPECT_EQ(it->descending, descending) << index.toStdString();
    }
  }
  for (const int id : {journal::kIdField, journal::kModeField, journal::kWatchDataField, -1}) {
    EXPECT_EQ(journal_view::SortIndexName(id, "X", true), "") << id;
  }
}

TEST(JournalDisplay, CaptionsTakeTheBlankPrefixOutsideTheJapaneseLocale) {
  const std::vector<std::tuple<const char*, const char*, const char*>> expected = {
      {"NoLabel", "No.", "No."},
      {"DiverLabel", "Diver", "Diver"},
      {"AveDLabel", " Ave.Depth", "Ave.Depth"},
      {"EntryLabel", " Entry Time", "Entry Time"},
      {"ExitLabel", " Surf. Time", "Surf. Time"},
      {"MatLabel", "Material", "Material"},
      {"ConsLabel", "Air Consum.", "Air Consum."},
      {"WeightLabel", " Weight", "Weight"},
      {"UserGroupBox", "Journal user defined article", "Journal user defined article"},
  };
  const auto other = journal_view::DetailCaptions(false);
  const auto japanese = journal_view::DetailCaptions(true);
  const auto find = [](const auto& captions, const char* name) {
    for (const auto& [n, text] : captions) {
      if (qstrcmp(n, name) == 0) return text;
    }
    return QStringLiteral("<missing>");
  };
  for (const auto& [name, withBlank, bare] : expected) {
    EXPECT_EQ(find(other, name), withBlank) << name;
    EXPECT_EQ(find(japanese, name), bare) << name;
  }
}

TEST(JournalDisplay, RecordTexts) {
  JournalRecord r;
  r.Mode = 1;
  r.Date = *fmt::TryEncodeDate(2001, 5, 12);  // a Saturday
  r.No = "2";
  r.EntryTime = *fmt::TryEncodeTime(9, 5, 0);
  r.DiveTime = *fmt::TryEncodeTime(0, 45, 30);
  r.Diver = "Ann";
  r.MaxDepth = "23.4";
  r.UserArticle[3] = "Suit";
  r.UserContent[3] = "7mm";
  r.Memo = "two\nlines";
  journal_view::DetailTexts t = journal_view::RecordTexts(r);
  EXPECT_EQ(t.date, "2001/05/12");
  EXPECT_EQ(t.week, "[Sat]");
  EXPECT_EQ(t.Value("NoText"), "2");
  EXPECT_EQ(t.Value("EntryText"), "09:05:00");
  EXPECT_EQ(t.Value("DiveText"), "00:45:30");
  EXPECT_EQ(t.Value("RestText"), "00:00:00");  // an empty time reads as midnight
  EXPECT_EQ(t.Value("DiverText"), "Ann");
  EXPECT_EQ(t.Value("MaxDText"), "23.4");
  EXPECT_EQ(t.Value("UeText4"), "Suit");
  EXPECT_EQ(t.Value("UevText4"), "7mm");
  EXPECT_EQ(t.lengthUnit, "m");
  EXPECT_STREQ(t.temperaturePicture, "CENTI_BITMAP");
  EXPECT_EQ(t.memo, "two\nlines");

  r.Mode = 2;
  r.Date = 0.0;
  t = journal_view::RecordTexts(r);
  EXPECT_EQ(t.date, "");
  EXPECT_EQ(t.week, "[    ]");
  EXPECT_EQ(t.lengthUnit, "ft");
  EXPECT_STREQ(t.temperaturePicture, "FAHR_BITMAP");
  r.Date.reset();
  EXPECT_EQ(journal_view::RecordTexts(r).week, "[    ]");

  const journal_view::DetailTexts empty = journal_view::EmptyTexts();
  for (const auto& [name, text] : empty.values) EXPECT_EQ(text, "") << name;
  EXPECT_EQ(empty.week, "[    ]");
}

TEST(JournalDisplay, RecordCountAndCreatingCommands) {
  const std::vector<std::tuple<int, const char*, bool>> cases = {
      {0, "0000", true}, {42, "0042", true}, {9998, "9998", true}, {9999, "9999", false}, {10000, "10000", false}};
  for (const auto& [count, text, allowed] : cases) {
    EXPECT_EQ(journal_view::RecordCountText(count), text);
    EXPECT_EQ(journal_view::CreatingCommandsAllowed(count, false), allowed) << count;
    EXPECT_FALSE(journal_view::CreatingCommandsAllowed(count, true)) << count;
  }
}

}  // namespace
