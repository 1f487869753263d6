// Byte layouts read and written here (offsets hex; "LE" little-endian).
//
// .DB header, fixed part (0x00-0x57), the fields this engine uses:
//   00 LE16 record size      02 LE16 header size (multiple of 0x800)
//   04 u8   file type (0 keyed, 2 unkeyed)   05 u8 block size in KiB
//   06 LE32 records          0A LE16 blocks in the chain
//   0C LE16 blocks in file   0E LE16 first block     10 LE16 last block
//   21 LE16 fields           23 LE16 key fields (the first k fields)
//   25 LE32 FF00FF00 (not encrypted, level 4+)        29 u8 sort order 0x4C
//   2D u8   data change counter (copied into the .PX at 2C)
//   39 u8   file version (0x0C = level 7)             3A LE16 = blocks in file
//   49 LE32 last auto-increment value    4D LE16 head of the free-block list
//   51 LE16 bytes of the header in use   56 u8 0x20
// Extension 0x58-0x77 (file version >= 5): 58/5A LE16 0x010C, 5C LE32 second
//   encryption word (0), 60 LE32 update time, 64 LE16 fields + 1, 66 LE16
//   offset of the field numbers - 0x58, 6A LE16 code page 1252, 6C/6D u8 1,
//   6E LE16 offset of the sort-order name - 0x58, 70 LE16 1.
// Variable part (from 0x78, or 0x58 below version 5): per field a type byte
//   and a size byte; 4 zero bytes; 4 zero bytes per field; the table name
//   (261 bytes at version 0x0C, else 79); the field names, each ending in
//   NUL; at version >= 5 the field numbers 1..n (LE16) and "DBWINUS0\0".
//
// Data block: LE16 next block, LE16 previous block, S16 (records - 1) *
//   record size, then the records back to back; the rest of the block is 0.
//
// Record values are big-endian: integers with the top bit flipped, doubles
//   with the top bit set when positive and every bit inverted when negative,
//   so that unsigned byte order is value order and all-zero bytes are blank.
//   Date = day number (0001-01-01 = 1); Time = ms since midnight;
//   Timestamp = double of day number * 86400000 + ms of the day.
//
// .PX: the fixed header part with file type 1, record size = key bytes + 6,
//   root block at 1E, levels at 20, key fields at 21, the data change
//   counter of the .DB at 2C; variable part at 0x58: the key fields' type and
//   size bytes, 4 zero bytes and the name "NAME.PX" in 261 bytes. Blocks as
//   data blocks; an entry is the key bytes plus three sign-flipped BE16
//   words: block number, record count, 0. Level 1 has one entry per data
//   block in chain order (key of its first record); with two levels the
//   root is block 1 and first in the chain.
//
// .MB: 4096-byte units. Unit 0 is the header (type 0). A single-blob block
//   run: u8 2, LE16 units, LE32 length, LE16 modification number, data. A
//   sub-allocated block: u8 3, LE16 1, 9 bytes, then 64 slots of 5 bytes at
//   offset 12 (u8 start/16, u8 16-byte chunks, LE16 modification number,
//   u8 bytes used in the last chunk). Blob field in a record: leader bytes
//   (a copy of the value's start), then LE32 offset | slot (0xFF = single
//   blob block), LE32 length, LE16 modification number.
#include "platform/db/Format.h"

#include <QStringList>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <ctime>

#include "platform/db/DbError.h"
#include "platform/os/Codec.h"

namespace db {
namespace {

constexpr int kFixedPart = 0x58;
constexpr int kExtendedStart = 0x78;
constexpr int kHeaderUnit = 0x800;
constexpr std::uint8_t kSortOrder = 0x4C;
constexpr const char* kSortOrderName = "DBWINUS0";
constexpr int kCodePage = 1252;
constexpr int kVersion7 = 0x0C;
constexpr int kTableNameLength7 = 261;
constexpr int kTableNameLengthOld = 79;
constexpr std::int32_t kDayOf18991230 = 693594;  // day number of the program's day 0
constexpr double kMsPerDay = 86400000.0;

[[noreturn]] void Corrupt(const QString& what, const QString& detail) {
  throw DbError(ErrorKind::Corruption, QStringLiteral("%1 is damaged: %2").arg(what, detail));
}

int RoundUp(int v, int unit) { return (v + unit - 1) / unit * unit; }

}  // namespace

bool IsBlobType(FieldType type) {
  switch (type) {
    case FieldType::Memo:
    case FieldType::Binary:
    case FieldType::FmtMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
      return true;
    default:
      return false;
  }
}

int FieldWidth(FieldType type, int size) {
  switch (type) {
    case FieldType::Alpha:
    case FieldType::Bytes:
      return size >= 1 && size <= 255 ? size : 0;
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoInc:
      return 4;
    case FieldType::Short:
      return 2;
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Timestamp:
      return 8;
    case FieldType::Logical:
      return 1;
    case FieldType::Memo:
    case FieldType::Binary:
    case FieldType::FmtMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
      return size >= 10 && size <= 250 ? size : 0;
    case FieldType::Bcd:
      return size >= 0 && size <= 32 ? 17 : 0;
  }
  return 0;
}

namespace codec {

void PutLong(std::uint8_t* p, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v) ^ 0x80000000u;
  p[0] = static_cast<std::uint8_t>(u >> 24);
  p[1] = static_cast<std::uint8_t>(u >> 16);
  p[2] = static_cast<std::uint8_t>(u >> 8);
  p[3] = static_cast<std::uint8_t>(u);
}

std::optional<std::int32_t> GetLong(const std::uint8_t* p) {
  const std::uint32_t u = (static_cast<std::uint32_t>(p[0]) << 24) |
                          (static_cast<std::uint32_t>(p[1]) << 16) |
                          (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
  if (u == 0) return std::nullopt;
  return static_cast<std::int32_t>(u ^ 0x80000000u);
}

void PutShort(std::uint8_t* p, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(static_cast<std::uint16_t>(v) ^ 0x8000u);
  p[0] = static_cast<std::uint8_t>(u >> 8);
  p[1] = static_cast<std::uint8_t>(u);
}

std::optional<std::int16_t> GetShort(const std::uint8_t* p) {
  const auto u = static_cast<std::uint16_t>((p[0] << 8) | p[1]);
  if (u == 0) return std::nullopt;
  return static_cast<std::int16_t>(u ^ 0x8000u);
}

void PutDouble(std::uint8_t* p, double v) {
  if (v == 0.0 || std::isnan(v)) v = 0.0;  // no -0.0, no NaN on disk
  std::uint64_t b = std::bit_cast<std::uint64_t>(v);
  if (v >= 0) {
    b |= 0x8000000000000000ull;
  } else {
    b = ~b;
  }
  for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(b >> (56 - 8 * i));
}

std::optional<double> GetDouble(const std::uint8_t* p) {
  std::uint64_t b = 0;
  for (int i = 0; i < 8; ++i) b = (b << 8) | p[i];
  if (b == 0) return std::nullopt;
  if (b & 0x8000000000000000ull) {
    b &= ~0x8000000000000000ull;
  } else {
    b = ~b;
  }
  return std::bit_cast<double>(b);
}

std::optional<double> GetBcd(const std::uint8_t* p, int decimals) {
  bool blank = true;
  for (int i = 0; i < 17; ++i) blank = blank && p[i] == 0;
  if (blank) return std::nullopt;
  const bool negative = (p[0] & 0x80) == 0;
  double value = 0;
  for (int i = 1; i < 17; ++i) {
    std::uint8_t b = negative ? static_cast<std::uint8_t>(~p[i]) : p[i];
    const int hi = b >> 4;
    const int lo = b & 0x0F;
    value = value * 100 + std::min(hi, 9) * 10 + std::min(lo, 9);
  }
  value /= std::pow(10.0, decimals);
  return negative ? -value : value;
}

std::int32_t DayNumberFromDateTime(double dateTime) {
  return static_cast<std::int32_t>(std::trunc(dateTime)) + kDayOf18991230;
}

double DateTimeFromDayNumber(std::int32_t dayNumber) {
  return static_cast<double>(dayNumber - kDayOf18991230);
}

std::int32_t TimeMsFromDateTime(double dateTime) {
  const double frac = std::fabs(dateTime - std::trunc(dateTime));
  const auto ms = static_cast<std::int32_t>(std::llround(frac * kMsPerDay));
  return std::min(ms, static_cast<std::int32_t>(kMsPerDay) - 1);
}

double DateTimeFromTimeMs(std::int32_t ms) { return ms / kMsPerDay; }

double TimestampMsFromDateTime(double dateTime) {
  return static_cast<double>(DayNumberFromDateTime(dateTime)) * kMsPerDay +
         TimeMsFromDateTime(dateTime);
}

double DateTimeFromTimestampMs(double ms) {
  const double day = std::floor(ms / kMsPerDay);
  const double frac = (ms - day * kMsPerDay) / kMsPerDay;
  const double days = day - kDayOf18991230;
  return days >= 0 ? days + frac : days - frac;
}

}  // namespace codec

using codec::Le16;
using codec::Le32;
using codec::PutLe16;
using codec::PutLe32;

DbHeader ParseDbHeader(std::span<const std::uint8_t> b, std::int64_t fileSize,
                       const QString& what) {
  if (fileSize < kFixedPart || b.size() < static_cast<std::size_t>(kFixedPart)) {
    Corrupt(what, QStringLiteral("the file is too short for a table header"));
  }
  DbHeader h;
  h.recordSize = Le16(&b[0x00]);
  h.headerSize = Le16(&b[0x02]);
  h.fileType = b[0x04];
  const int blockKiB = b[0x05];
  h.numRecords = Le32(&b[0x06]);
  h.usedBlocks = Le16(&b[0x0A]);
  h.fileBlocks = Le16(&b[0x0C]);
  h.firstBlock = Le16(&b[0x0E]);
  h.lastBlock = Le16(&b[0x10]);
  const int numFields = Le16(&b[0x21]);
  h.keyFields = Le16(&b[0x23]);
  h.changeCount = b[0x2D];
  h.version = b[0x39];
  h.autoInc = Le32(&b[0x49]);
  h.firstFreeBlock = Le16(&b[0x4D]);

  if (h.fileType != kFileKeyed && h.fileType != kFileUnkeyed) {
    Corrupt(what, QStringLiteral("file type %1 is not a data table").arg(h.fileType));
  }
  if (blockKiB < 1 || blockKiB > 32)
    Corrupt(what, QStringLiteral("block size %1 KiB").arg(blockKiB));
  h.blockSize = blockKiB * 1024;
  if (h.version < 3 || h.version > 15)
    Corrupt(what, QStringLiteral("file version %1").arg(h.version));
  if (h.headerSize < kFixedPart || h.headerSize > fileSize ||
      static_cast<std::size_t>(h.headerSize) > b.size()) {
    Corrupt(what, QStringLiteral("header size %1 does not fit the file").arg(h.headerSize));
  }
  if (h.recordSize <= 0 || h.recordSize > h.blockSize - kBlockHeader) {
    Corrupt(what, QStringLiteral("record size %1").arg(h.recordSize));
  }
  if (numFields < 1 || numFields > 255) Corrupt(what, QStringLiteral("%1 fields").arg(numFields));
  if (h.keyFields > numFields || h.keyFields > 16 ||
      (h.fileType == kFileKeyed) != (h.keyFields > 0)) {
    Corrupt(what, QStringLiteral("%1 key fields").arg(h.keyFields));
  }
  const std::uint32_t enc1 = Le32(&b[0x25]);
  const bool extended = h.version >= 5;
  if ((enc1 != 0 && enc1 != 0xFF00FF00u) ||
      (extended && Le32(&b[0x5C]) != 0 && h.headerSize >= 0x60)) {
    throw DbError(ErrorKind::Corruption,
                  QStringLiteral("%1 is encrypted; encrypted tables cannot be read").arg(what));
  }

  const int end = h.headerSize;
  int pos = extended ? kExtendedStart : kFixedPart;
  if (pos + 2 * numFields > end)
    Corrupt(what, QStringLiteral("the field list runs past the header"));
  int width = 0;
  h.fields.resize(static_cast<std::size_t>(numFields));
  for (int i = 0; i < numFields; ++i) {
    FieldDef& f = h.fields[static_cast<std::size_t>(i)];
    f.type = static_cast<FieldType>(b[static_cast<std::size_t>(pos + 2 * i)]);
    f.size = b[static_cast<std::size_t>(pos + 2 * i + 1)];
    const int w = FieldWidth(f.type, f.size);
    const bool fixed = f.type != FieldType::Alpha && f.type != FieldType::Bytes &&
                       f.type != FieldType::Bcd && !IsBlobType(f.type);
    if (w == 0 || (fixed && f.size != w)) {
      Corrupt(what, QStringLiteral("field %1 has type %2 and size %3")
                        .arg(i + 1)
                        .arg(int(f.type))
                        .arg(f.size));
    }
    if (i < h.keyFields && IsBlobType(f.type))
      Corrupt(what, QStringLiteral("a blob field in the key"));
    width += w;
  }
  if (width != h.recordSize) {
    Corrupt(what, QStringLiteral("the fields take %1 bytes but records have %2")
                      .arg(width)
                      .arg(h.recordSize));
  }
  pos += 2 * numFields + 4 + 4 * numFields +
         (h.version == kVersion7 ? kTableNameLength7 : kTableNameLengthOld);
  for (int i = 0; i < numFields; ++i) {
    int n = pos;
    while (n < end && b[static_cast<std::size_t>(n)] != 0) ++n;
    if (n >= end) Corrupt(what, QStringLiteral("the field names run past the header"));
    h.fields[static_cast<std::size_t>(i)].name =
        os::FromAnsi(reinterpret_cast<const char*>(&b[static_cast<std::size_t>(pos)]), n - pos);
    pos = n + 1;
  }
  return h;
}

int ChooseBlockSize(int recordSize) {
  for (int kib : {2, 4, 8, 16, 32}) {
    if (3 * recordSize <= kib * 1024 - kBlockHeader) return kib * 1024;
  }
  return 32 * 1024;
}

std::vector<std::uint8_t> BuildDbHeader(const std::vector<FieldDef>& fields, int keyFields,
                                        int blockSize, const QString& tableFileName) {
  const int n = static_cast<int>(fields.size());
  QByteArray names;
  int recordSize = 0;
  for (const FieldDef& f : fields) {
    names += os::ToAnsi(f.name);
    names += '\0';
    recordSize += FieldWidth(f.type, f.size);
  }
  const int fieldNumbersOff =
      kExtendedStart + 2 * n + 4 + 4 * n + kTableNameLength7 + static_cast<int>(names.size());
  const int sortIdOff = fieldNumbersOff + 2 * n;
  const int realHeaderSize = sortIdOff + static_cast<int>(std::strlen(kSortOrderName)) + 1;
  const int headerSize = RoundUp(realHeaderSize, kHeaderUnit);

  std::vector<std::uint8_t> h(static_cast<std::size_t>(headerSize), 0);
  PutLe16(&h[0x00], static_cast<std::uint32_t>(recordSize));
  PutLe16(&h[0x02], static_cast<std::uint32_t>(headerSize));
  h[0x04] = static_cast<std::uint8_t>(keyFields > 0 ? kFileKeyed : kFileUnkeyed);
  h[0x05] = static_cast<std::uint8_t>(blockSize / 1024);
  PutLe16(&h[0x12], 3);
  PutLe16(&h[0x21], static_cast<std::uint32_t>(n));
  PutLe16(&h[0x23], static_cast<std::uint32_t>(keyFields));
  PutLe32(&h[0x25], 0xFF00FF00u);
  h[0x29] = kSortOrder;
  h[0x2D] = 1;
  h[0x2E] = 1;
  h[0x39] = kVersion7;
  h[0x3E] = 0x1F;
  h[0x3F] = 0x0F;
  PutLe16(&h[0x51], static_cast<std::uint32_t>(realHeaderSize));
  h[0x56] = 0x20;
  PutLe16(&h[0x58], 0x0100 | kVersion7);
  PutLe16(&h[0x5A], 0x0100 | kVersion7);
  PutLe32(&h[0x60], static_cast<std::uint32_t>(std::time(nullptr)));
  PutLe16(&h[0x64], static_cast<std::uint32_t>(n + 1));
  PutLe16(&h[0x66], static_cast<std::uint32_t>(fieldNumbersOff - kFixedPart));
  PutLe16(&h[0x6A], kCodePage);
  h[0x6C] = 1;
  h[0x6D] = 1;
  PutLe16(&h[0x6E], static_cast<std::uint32_t>(sortIdOff - kFixedPart));
  PutLe16(&h[0x70], 1);

  int pos = kExtendedStart;
  for (const FieldDef& f : fields) {
    h[static_cast<std::size_t>(pos++)] = static_cast<std::uint8_t>(f.type);
    const bool sized = f.type == FieldType::Alpha || f.type == FieldType::Bytes ||
                       f.type == FieldType::Bcd || IsBlobType(f.type);
    h[static_cast<std::size_t>(pos++)] =
        static_cast<std::uint8_t>(sized ? f.size : FieldWidth(f.type, f.size));
  }
  pos += 4 + 4 * n;
  const QByteArray tableName = os::ToAnsi(tableFileName).left(kTableNameLength7 - 1);
  std::memcpy(&h[static_cast<std::size_t>(pos)], tableName.constData(),
              static_cast<std::size_t>(tableName.size()));
  pos += kTableNameLength7;
  std::memcpy(&h[static_cast<std::size_t>(pos)], names.constData(),
              static_cast<std::size_t>(names.size()));
  pos += static_cast<int>(names.size());
  for (int i = 1; i <= n; ++i, pos += 2)
    PutLe16(&h[static_cast<std::size_t>(pos)], static_cast<std::uint32_t>(i));
  std::memcpy(&h[static_cast<std::size_t>(pos)], kSortOrderName, std::strlen(kSortOrderName));
  return h;
}

int PatchedHeaderBytes(const DbHeader& h) { return h.version >= 5 ? kExtendedStart : kFixedPart; }

void PatchDbHeader(std::vector<std::uint8_t>& b, const DbHeader& h) {
  PutLe32(&b[0x06], h.numRecords);
  PutLe16(&b[0x0A], static_cast<std::uint32_t>(h.usedBlocks));
  PutLe16(&b[0x0C], static_cast<std::uint32_t>(h.fileBlocks));
  PutLe16(&b[0x0E], static_cast<std::uint32_t>(h.firstBlock));
  PutLe16(&b[0x10], static_cast<std::uint32_t>(h.lastBlock));
  b[0x2D] = h.changeCount;
  PutLe16(&b[0x3A], static_cast<std::uint32_t>(h.fileBlocks));
  PutLe32(&b[0x49], h.autoInc);
  PutLe16(&b[0x4D], static_cast<std::uint32_t>(h.firstFreeBlock));
  if (h.version >= 5) PutLe32(&b[0x60], static_cast<std::uint32_t>(std::time(nullptr)));
}

namespace {

void PutIndexWord(std::uint8_t* p, int v, const QString& what) {
  if (v < 0 || v > 0xFFFF)
    throw DbError(ErrorKind::Usage, QStringLiteral("%1: index count too large").arg(what));
  const auto u = static_cast<std::uint16_t>(v ^ 0x8000);
  p[0] = static_cast<std::uint8_t>(u >> 8);
  p[1] = static_cast<std::uint8_t>(u);
}

}  // namespace

std::vector<std::uint8_t> BuildPxFile(const std::vector<FieldDef>& keyFields, int keyLength,
                                      const std::vector<PxLeaf>& leaves, std::uint8_t dbChangeCount,
                                      const QString& pxFileName) {
  const int entry = keyLength + 6;
  const int n = static_cast<int>(leaves.size());
  int blockSize = 4096;
  int per = (blockSize - kBlockHeader) / entry;
  while (n > per && (n + per - 1) / per > per && blockSize < 32768) {
    blockSize *= 2;
    per = (blockSize - kBlockHeader) / entry;
  }
  const bool twoLevels = n > per;
  const int leafBlocks = n == 0 ? 0 : (n + per - 1) / per;
  if (twoLevels && leafBlocks > per) {
    throw DbError(ErrorKind::Usage,
                  QStringLiteral("%1: too many data blocks for the primary index").arg(pxFileName));
  }
  const int pxBlocks = twoLevels ? leafBlocks + 1 : leafBlocks;
  const int entries = n + (twoLevels ? leafBlocks : 0);
  const int k = static_cast<int>(keyFields.size());

  std::vector<std::uint8_t> px(static_cast<std::size_t>(kHeaderUnit + pxBlocks * blockSize), 0);
  std::uint8_t* h = px.data();
  PutLe16(&h[0x00], static_cast<std::uint32_t>(entry));
  PutLe16(&h[0x02], kHeaderUnit);
  h[0x04] = kFileIndex;
  h[0x05] = static_cast<std::uint8_t>(blockSize / 1024);
  PutLe32(&h[0x06], static_cast<std::uint32_t>(entries));
  PutLe16(&h[0x0A], static_cast<std::uint32_t>(pxBlocks));
  PutLe16(&h[0x0C], static_cast<std::uint32_t>(pxBlocks));
  PutLe16(&h[0x0E], pxBlocks > 0 ? 1 : 0);
  PutLe16(&h[0x10], static_cast<std::uint32_t>(pxBlocks));
  PutLe16(&h[0x12], 4);
  PutLe16(&h[0x1E], 1);
  h[0x20] = static_cast<std::uint8_t>(n == 0 ? 0 : (twoLevels ? 2 : 1));
  PutLe16(&h[0x21], static_cast<std::uint32_t>(k));
  h[0x29] = kSortOrder;
  h[0x2C] = dbChangeCount;
  h[0x39] = kVersion7;
  PutLe16(&h[0x3A], static_cast<std::uint32_t>(pxBlocks));
  PutLe32(&h[0x49], 1);
  PutLe16(&h[0x51], static_cast<std::uint32_t>(kFixedPart + 2 * k + 4 + kTableNameLength7));
  int pos = kFixedPart;
  for (const FieldDef& f : keyFields) {
    h[pos++] = static_cast<std::uint8_t>(f.type);
    h[pos++] = static_cast<std::uint8_t>(f.type == FieldType::Alpha || f.type == FieldType::Bytes ||
                                                 f.type == FieldType::Bcd
                                             ? f.size
                                             : FieldWidth(f.type, f.size));
  }
  pos += 4;
  const QByteArray name = os::ToAnsi(pxFileName).left(kTableNameLength7 - 1);
  std::memcpy(&h[pos], name.constData(), static_cast<std::size_t>(name.size()));

  auto blockAt = [&](int number) { return px.data() + kHeaderUnit + (number - 1) * blockSize; };
  auto putEntry = [&](std::uint8_t* p, const std::uint8_t* key, int block, int count) {
    std::memcpy(p, key, static_cast<std::size_t>(keyLength));
    PutIndexWord(p + keyLength, block, pxFileName);
    PutIndexWord(p + keyLength + 2, count, pxFileName);
    PutIndexWord(p + keyLength + 4, 0, pxFileName);
  };
  auto putBlockHeader = [&](int number, int count) {
    std::uint8_t* p = blockAt(number);
    PutLe16(p, static_cast<std::uint32_t>(number < pxBlocks ? number + 1 : 0));
    PutLe16(p + 2, static_cast<std::uint32_t>(number - 1));
    PutLe16(p + 4, static_cast<std::uint32_t>(static_cast<std::uint16_t>((count - 1) * entry)));
  };
  const int firstLeafBlock = twoLevels ? 2 : 1;
  for (int leafBlock = 0; leafBlock < leafBlocks; ++leafBlock) {
    const int number = firstLeafBlock + leafBlock;
    const int from = leafBlock * per;
    const int count = std::min(per, n - from);
    int sum = 0;
    for (int i = 0; i < count; ++i) {
      const PxLeaf& leaf = leaves[static_cast<std::size_t>(from + i)];
      putEntry(blockAt(number) + kBlockHeader + i * entry, leaf.firstKey, leaf.block, leaf.count);
      sum += leaf.count;
    }
    putBlockHeader(number, count);
    if (twoLevels)
      putEntry(blockAt(1) + kBlockHeader + leafBlock * entry,
               leaves[static_cast<std::size_t>(from)].firstKey, number, sum);
  }
  if (twoLevels) putBlockHeader(1, leafBlocks);
  return px;
}

void PatchPxEntry(std::vector<std::uint8_t>& px, int keyLength, std::size_t chainIndex,
                  const std::uint8_t* firstKey, int count, std::set<int>& touched) {
  const int entry = keyLength + 6;
  const int blockSize = px[0x05] * 1024;
  const std::size_t per = static_cast<std::size_t>((blockSize - kBlockHeader) / entry);
  const bool twoLevels = px[0x20] == 2;
  const int leafBlock = static_cast<int>(chainIndex / per);
  const int number = (twoLevels ? 2 : 1) + leafBlock;
  auto at = [&](int block, std::size_t index) {
    return px.data() + kHeaderUnit +
           static_cast<std::size_t>(block - 1) * static_cast<std::size_t>(blockSize) +
           kBlockHeader + index * static_cast<std::size_t>(entry);
  };
  std::uint8_t* p = at(number, chainIndex % per);
  std::memcpy(p, firstKey, static_cast<std::size_t>(keyLength));
  PutIndexWord(p + keyLength + 2, count, QStringLiteral("index"));
  touched.insert(number);
  if (!twoLevels) return;
  // The root entry of that leaf block: its first key and the sum of its counts.
  const std::uint8_t* leaf =
      px.data() + kHeaderUnit +
      static_cast<std::size_t>(number - 1) * static_cast<std::size_t>(blockSize);
  const int entries = static_cast<std::int16_t>(Le16(leaf + 4)) / entry + 1;
  int sum = 0;
  for (int i = 0; i < entries; ++i) {
    const std::uint8_t* e = at(number, static_cast<std::size_t>(i)) + keyLength + 2;
    sum += ((e[0] << 8) | e[1]) ^ 0x8000;
  }
  std::uint8_t* root = at(1, static_cast<std::size_t>(leafBlock));
  std::memcpy(root, at(number, 0), static_cast<std::size_t>(keyLength));
  PutIndexWord(root + keyLength + 2, sum, QStringLiteral("index"));
  touched.insert(1);
}

std::vector<std::uint8_t> BuildMbHeader() {
  std::vector<std::uint8_t> h(kMbUnit, 0);
  h[0x00] = 0;
  PutLe16(&h[0x01], 1);
  PutLe16(&h[0x03], 1);
  const std::uint8_t constants[] = {0x82, 0x73, 0x02, 0x00, 0x29, 0x00};
  std::memcpy(&h[0x05], constants, sizeof constants);
  PutLe16(&h[0x0B], 0x1000);
  PutLe16(&h[0x0D], 0x1000);
  h[0x10] = 0x10;
  PutLe16(&h[0x11], 0x40);
  PutLe16(&h[0x13], 0x0800);
  PutLe16(&h[0x29], 0x02A1);
  return h;
}

std::vector<std::uint8_t> BuildMbSingleBlob(const QByteArray& value) {
  const int units = (static_cast<int>(value.size()) + 9 + kMbUnit - 1) / kMbUnit;
  std::vector<std::uint8_t> b(static_cast<std::size_t>(units) * kMbUnit, 0);
  b[0] = 2;
  PutLe16(&b[1], static_cast<std::uint32_t>(units));
  PutLe32(&b[3], static_cast<std::uint32_t>(value.size()));
  PutLe16(&b[7], 1);
  std::memcpy(&b[9], value.constData(), static_cast<std::size_t>(value.size()));
  return b;
}

BlobRef ReadBlobRef(const std::uint8_t* field, int fieldWidth) {
  const std::uint8_t* d = field + fieldWidth - 10;
  BlobRef r;
  const std::uint32_t first = Le32(d);
  r.offset = first & 0xFFFFFF00u;
  r.index = static_cast<int>(first & 0xFF);
  r.length = Le32(d + 4);
  r.modNo = Le16(d + 8);
  return r;
}

void WriteBlobRef(std::uint8_t* field, int fieldWidth, const BlobRef& ref) {
  std::uint8_t* d = field + fieldWidth - 10;
  PutLe32(d, ref.offset | static_cast<std::uint32_t>(ref.index));
  PutLe32(d + 4, ref.length);
  PutLe16(d + 8, ref.modNo);
}

QByteArray ExtractBlob(std::span<const std::uint8_t> block, const BlobRef& ref,
                       const QString& what) {
  if (ref.index == 0xFF) {
    if (block.size() < 9 || block[0] != 2)
      Corrupt(what, QStringLiteral("blob block at %1 is missing").arg(ref.offset));
    const std::uint32_t units = Le16(&block[1]);
    const std::uint32_t length = Le32(&block[3]);
    if (length != ref.length ||
        static_cast<std::uint64_t>(length) + 9 > static_cast<std::uint64_t>(units) * kMbUnit ||
        static_cast<std::uint64_t>(length) + 9 > block.size()) {
      Corrupt(what, QStringLiteral("blob block at %1 does not match its record").arg(ref.offset));
    }
    return QByteArray(reinterpret_cast<const char*>(&block[9]), static_cast<qsizetype>(length));
  }
  if (ref.index >= 64 || block.size() < static_cast<std::size_t>(kMbUnit) || block[0] != 3) {
    Corrupt(what, QStringLiteral("blob slot %1 at %2 is missing").arg(ref.index).arg(ref.offset));
  }
  const std::uint8_t* slot = &block[static_cast<std::size_t>(12 + 5 * ref.index)];
  const std::uint32_t start = slot[0] * 16u;
  const std::uint32_t chunks = slot[1];
  const std::uint32_t last = slot[4];
  if (start == 0 || chunks == 0 || last < 1 || last > 16 ||
      (chunks - 1) * 16 + last != ref.length ||
      start + ref.length > static_cast<std::uint32_t>(kMbUnit)) {
    Corrupt(what, QStringLiteral("blob slot %1 at %2 does not match its record")
                      .arg(ref.index)
                      .arg(ref.offset));
  }
  return QByteArray(reinterpret_cast<const char*>(&block[start]),
                    static_cast<qsizetype>(ref.length));
}

QByteArray GraphicToStored(const QByteArray& image) {
  QByteArray out(8, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(out.data());
  PutLe16(p, 1);
  PutLe16(p + 2, 0x0100);
  PutLe32(p + 4, static_cast<std::uint32_t>(image.size()));
  return out + image;
}

QByteArray GraphicFromStored(const QByteArray& stored) {
  if (stored.size() >= 8) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(stored.constData());
    if (Le16(p) == 1 && Le32(p + 4) == static_cast<std::uint32_t>(stored.size() - 8))
      return stored.mid(8);
  }
  return stored;
}

}  // namespace db
