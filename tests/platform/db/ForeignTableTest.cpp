// Tables written elsewhere: the other common field types, and blobs in
// sub-allocated blocks, read correctly.
#include <gtest/gtest.h>

#include <QDate>
#include <cstring>

#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "tests/support/TestFolders.h"

extern "C" {
#include <paradox.h>
}

namespace {

using db::FieldType;

class ForeignTableTest : public test::TestFolders {};

TEST_F(ForeignTableTest, ATableWrittenByPxlibReadsWithEveryType) {
  const QByteArray path = InProgram("OTHER.DB").toLocal8Bit();
  char names[][12] = {"Small", "Big",   "Real",    "Money", "Flag",  "Day",
                      "Clock", "Stamp", "Counter", "Raw",   "Exact", "Text"};
  pxfield_t fields[] = {
      {names[0], pxfShort, 2, 0},    {names[1], pxfLong, 4, 0},      {names[2], pxfNumber, 8, 0},
      {names[3], pxfCurrency, 8, 0}, {names[4], pxfLogical, 1, 0},   {names[5], pxfDate, 4, 0},
      {names[6], pxfTime, 4, 0},     {names[7], pxfTimestamp, 8, 0}, {names[8], pxfAutoInc, 4, 0},
      {names[9], pxfBytes, 3, 0},    {names[10], pxfBCD, 17, 2},     {names[11], pxfAlpha, 10, 0},
  };
  const int n = static_cast<int>(sizeof fields / sizeof fields[0]);
  // pxlib keeps the field array; give it its own copy.
  auto* owned = static_cast<pxfield_t*>(std::malloc(sizeof fields));
  std::memcpy(owned, fields, sizeof fields);
  for (int i = 0; i < n; ++i) owned[i].px_fname = strdup(fields[i].px_fname);
  pxdoc_t* doc = PX_new();
  ASSERT_EQ(PX_create_file(doc, owned, n, path.constData(), pxfFileTypNonIndexDB), 0);
  int recordSize = 0;
  for (const auto& f : fields) recordSize += f.px_flen;
  const long day = QDate(2001, 5, 12).toJulianDay() - 1721425;
  for (int r = 0; r < 2; ++r) {
    std::vector<char> rec(static_cast<std::size_t>(recordSize), 0);
    char* p = rec.data();
    if (r == 0) {
      PX_put_data_short(doc, p, 2, -12);
      PX_put_data_long(doc, p + 2, 4, 123456);
      PX_put_data_double(doc, p + 6, 8, -2.5);
      PX_put_data_double(doc, p + 14, 8, 19.99);
      PX_put_data_byte(doc, p + 22, 1, 1);
      PX_put_data_long(doc, p + 23, 4, static_cast<int>(day));
      PX_put_data_long(doc, p + 27, 4, 9 * 3600000 + 5 * 60000);
      PX_put_data_double(doc, p + 31, 8, day * 86400000.0 + 43200000.0);
      PX_put_data_long(doc, p + 39, 4, 7);
      char raw[] = "abc";
      PX_put_data_bytes(doc, p + 43, 3, raw);
      char bcd[] = "-12.34";
      PX_put_data_bcd(doc, p + 46, 2, bcd);
      char text[] = "foreign";
      PX_put_data_alpha(doc, p + 63, 10, text);
    }
    ASSERT_GE(PX_put_record(doc, rec.data()), 0);
  }
  PX_close(doc);
  PX_delete(doc);

  db::Table t;
  t.SetDatabaseName(ProgramFolder());
  t.SetTableName("OTHER.DB");
  t.Open();
  ASSERT_EQ(t.RecordCount(), 2);
  EXPECT_EQ(t.FieldList()[4].type, FieldType::Logical);
  t.First();
  const std::pair<const char*, const char*> expected[] = {
      {"Small", "-12"},      {"Big", "123456"},
      {"Real", "-2.5"},      {"Money", "19.99"},
      {"Flag", "True"},      {"Day", "2001/05/12"},
      {"Clock", "09:05:00"}, {"Stamp", "2001/05/12 12:00:00"},
      {"Counter", "7"},      {"Raw", "abc"},
      {"Exact", "-12.34"},   {"Text", "foreign"},
  };
  for (const auto& [field, text] : expected)
    EXPECT_EQ(t.FieldByName(field).AsString(), text) << field;
  EXPECT_EQ(t.FieldByName("Small").AsInteger(), -12);
  EXPECT_DOUBLE_EQ(t.FieldByName("Exact").AsFloat(), -12.34);
  t.Next();
  for (const auto& [field, text] : expected) EXPECT_TRUE(t.FieldByName(field).IsNull()) << field;
}

TEST_F(ForeignTableTest, MemoInASubAllocatedBlockReads) {
  db::Table t;
  t.SetDatabaseName(ProgramFolder());
  t.SetTableName("MEMO.DB");
  t.FieldDefs() = {db::FieldDef::Integer("Id"), {"Note", FieldType::Memo, 15}};
  t.IndexDefs() = {{"", {"Id"}, true, false}};
  t.CreateTable();
  t.Open();
  const QByteArray text = QByteArray("Sub-allocated ") + QByteArray(541, 'z');  // 555 bytes
  t.Append();
  t.FieldByName("Id").SetAsInteger(1);
  t.FieldByName("Note").SetAsString(QString::fromLatin1(text));
  t.Post();
  t.Close();

  // Move the value into slot 63 of a sub-allocated block, as Paradox stores
  // small blobs, and point the record's descriptor at that slot.
  QByteArray mb = test::ReadAll(InProgram("MEMO.MB"));
  QByteArray block(4096, '\0');
  block[0] = 3;
  block[1] = 1;
  const int slot = 12 + 5 * 63;
  block[slot] = 0x15;    // data at 0x150
  block[slot + 1] = 35;  // 16-byte chunks
  block[slot + 2] = 1;   // modification number
  block[slot + 4] = 11;  // bytes used in the last chunk: 34 * 16 + 11 = 555
  block.replace(0x150, text.size(), text);
  mb.replace(4096, 4096, block);
  test::WriteAll(InProgram("MEMO.MB"), mb);
  QByteArray dbFile = test::ReadAll(InProgram("MEMO.DB"));
  const int headerSize =
      static_cast<unsigned char>(dbFile[2]) | (static_cast<unsigned char>(dbFile[3]) << 8);
  const int descriptor = headerSize + 6 + 4 + 5;
  ASSERT_EQ(static_cast<unsigned char>(dbFile[descriptor]), 0xFF);
  dbFile[descriptor] = 63;
  test::WriteAll(InProgram("MEMO.DB"), dbFile);

  t.Open();
  EXPECT_EQ(t.FieldByName("Note").AsString().toLatin1(), text);
  t.Close();
  block[slot + 4] = 12;  // the slot no longer agrees with the descriptor
  mb.replace(4096, 4096, block);
  test::WriteAll(InProgram("MEMO.MB"), mb);
  t.Open();
  EXPECT_THROW(t.FieldByName("Note").AsString(), db::DbError);
}

}  // namespace
