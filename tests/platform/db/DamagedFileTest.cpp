// A damaged or truncated table is an engine error at open, never a crash.
#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <random>

#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "tests/support/TestFolders.h"

namespace {

using db::DbError;
using db::ErrorKind;
using db::FieldDef;

class DamagedFileTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    db::Table t;
    Point(t);
    t.FieldDefs() = {FieldDef::Integer("Id"), FieldDef::String("Name", 100),
                     FieldDef::DateTime("When")};
    t.IndexDefs() = {{"", {"Id"}, true, false}, {"NAME", {"Name"}, false, false}};
    t.CreateTable();
    t.Open();
    for (int id = 1; id <= 60; ++id) {
      t.Append();
      t.FieldByName("Id").SetAsInteger(id);
      t.FieldByName("Name").SetAsString(QStringLiteral("n%1").arg(id));
      t.Post();
    }
    t.Close();
    good_ = test::ReadAll(InProgram("T.DB"));
  }
  void Point(db::Table& t) {
    t.SetDatabaseName(ProgramFolder());
    t.SetTableName("T.DB");
  }
  static void Le16(QByteArray& b, int at, int v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
  }
  int HeaderSize() const {
    return static_cast<unsigned char>(good_[2]) | (static_cast<unsigned char>(good_[3]) << 8);
  }
  int BlockSize() const { return static_cast<unsigned char>(good_[5]) * 1024; }
  // Opens the table; returns the error kind, or nothing when it opened.
  std::optional<ErrorKind> OpenError(const QByteArray& bytes, int* records = nullptr) {
    test::WriteAll(InProgram("T.DB"), bytes);
    db::Table t;
    Point(t);
    try {
      t.Open();
      for (t.First(); !t.Eof(); t.Next()) t.FieldByName("Name").AsString();
      if (records) *records = t.RecordCount();
      return std::nullopt;
    } catch (const DbError& e) {
      EXPECT_FALSE(e.Message().isEmpty());
      return e.Kind();
    }
  }
  QByteArray good_;
};

TEST_F(DamagedFileTest, EachDamageIsReportedAsCorruption) {
  struct Case {
    const char* name;
    std::function<void(QByteArray&)> damage;
  };
  const int hs = HeaderSize();
  const int bs = BlockSize();
  const std::vector<Case> cases = {
      {"empty file", [](QByteArray& b) { b.clear(); }},
      {"cut in the fixed header", [](QByteArray& b) { b.truncate(0x50); }},
      {"cut in the field list", [](QByteArray& b) { b.truncate(0x100); }},
      {"only the header left", [hs](QByteArray& b) { b.truncate(hs); }},
      {"cut inside the last block's records", [](QByteArray& b) { b.truncate(b.size() - 3000); }},
      {"record size changed", [](QByteArray& b) { b[0] = static_cast<char>(b[0] + 1); }},
      {"header size beyond the file", [](QByteArray& b) { Le16(b, 2, 0xF800); }},
      {"header size too small", [](QByteArray& b) { Le16(b, 2, 0x10); }},
      {"file type of an index", [](QByteArray& b) { b[4] = 1; }},
      {"block size 0", [](QByteArray& b) { b[5] = 0; }},
      {"unknown field type", [](QByteArray& b) { b[0x78 + 2] = 0x42; }},
      {"no fields", [](QByteArray& b) { Le16(b, 0x21, 0); }},
      {"more key fields than fields", [](QByteArray& b) { Le16(b, 0x23, 9); }},
      {"version byte out of range", [](QByteArray& b) { b[0x39] = 0x30; }},
      {"encrypted", [](QByteArray& b) { b[0x5C] = 0x12; }},
      {"first block past the file", [](QByteArray& b) { Le16(b, 0x0E, 900); }},
      {"more blocks than the file holds", [](QByteArray& b) { Le16(b, 0x0C, 900); }},
      {"chain loops back", [hs](QByteArray& b) { Le16(b, hs, 1); }},
      {"record count beyond the block", [hs](QByteArray& b) { Le16(b, hs + 4, 0x7000); }},
      {"record count not a multiple", [hs](QByteArray& b) { Le16(b, hs + 4, 7); }},
      {"keys out of order", [hs](QByteArray& b) { b[hs + 6 + 3] = static_cast<char>(0x7F); }},
      {"field names unterminated",
       [hs](QByteArray& b) {
         for (int i = 0x78; i < hs; ++i) {
           if (b[i] == 0) b[i] = 'x';
         }
       }},
      {"block next past the blocks", [hs, bs](QByteArray& b) { Le16(b, hs + bs, 0xFFFF); }},
  };
  for (const Case& c : cases) {
    QByteArray bytes = good_;
    c.damage(bytes);
    const auto kind = OpenError(bytes);
    ASSERT_TRUE(kind.has_value()) << c.name << " opened";
    EXPECT_EQ(*kind, ErrorKind::Corruption) << c.name;
  }
}

TEST_F(DamagedFileTest, ImpossibleDateValuesAreReportedWhenRead) {
  // "When" of the first record: after Id (4) and Name (100).
  const int at = HeaderSize() + 6 + 104;
  for (const char* bytes : {"FFFFFFFFFFFFFFFF", "7FF8000000000000", "8000000000000001"}) {
    QByteArray file = good_;
    file.replace(at, 8, QByteArray::fromHex(bytes));
    test::WriteAll(InProgram("T.DB"), file);
    db::Table t;
    Point(t);
    t.Open();
    try {
      t.FieldByName("When").AsString();
      ADD_FAILURE() << bytes << " read as a date";
    } catch (const DbError& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::Corruption) << bytes;
    }
  }
}

TEST_F(DamagedFileTest, DamagedIndexDefinitionsAreReported) {
  const QByteArray kix = test::ReadAll(InProgram("T.KIX"));
  const std::pair<const char*, QByteArray> cases[] = {
      {"foreign file", "hello"},
      {"unknown field", kix + "X\t\tNoSuchField\r\n"},
      {"bad option", kix + "X\tQ\tName\r\n"},
      {"no fields", kix + "X\t\r\n"},
  };
  for (const auto& [name, bytes] : cases) {
    test::WriteAll(InProgram("T.KIX"), bytes);
    db::Table t;
    Point(t);
    try {
      t.Open();
      ADD_FAILURE() << name << " opened";
    } catch (const DbError& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::Corruption) << name;
    }
  }
}

TEST_F(DamagedFileTest, EveryTruncationAndRandomDamageFailsCleanly) {
  // A cut in the zeros after the last record loses nothing and may open.
  for (int size = 0; size < good_.size(); size += 61) {
    int records = 0;
    const auto error = OpenError(good_.left(size), &records);
    EXPECT_TRUE(error.has_value() || records == 60) << "cut at " << size;
  }
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    QByteArray bytes = good_;
    for (int k = 0; k < 4; ++k) {
      bytes[static_cast<int>(rng() % static_cast<unsigned>(bytes.size()))] =
          static_cast<char>(rng());
    }
    OpenError(bytes);  // opens or reports; must not crash or read out of bounds
  }
}

}  // namespace
