#pragma once
// Paradox file layouts: the table header, field encodings, data blocks, the
// primary index (.PX) and the blob file (.MB). The byte-level decisions are
// written down in FORMAT.md beside this file; the layouts each function reads
// or writes are described at the top of Format.cpp.
//
// All decoders take a byte span and a length and never read outside it; a
// length or offset read from a file is checked before it is used.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

namespace db {

// Paradox field type codes as they stand in the header.
enum class FieldType : std::uint8_t {
  Alpha = 0x01,
  Date = 0x02,
  Short = 0x03,
  Long = 0x04,
  Currency = 0x05,
  Number = 0x06,
  Logical = 0x09,
  Memo = 0x0C,
  Binary = 0x0D,
  FmtMemo = 0x0E,
  Ole = 0x0F,
  Graphic = 0x10,
  Time = 0x14,
  Timestamp = 0x15,
  AutoInc = 0x16,
  Bcd = 0x17,
  Bytes = 0x18,
};

bool IsBlobType(FieldType type);

// A field as defined by a program or read from a header. `size` is the
// length of Alpha and Bytes fields, the declared width (leader + 10) of
// blob fields and the number of decimals of BCD fields; the fixed-size
// types ignore it.
struct FieldDef {
  QString name;
  FieldType type = FieldType::Alpha;
  int size = 0;

  static FieldDef String(const QString& name, int length) {
    return {name, FieldType::Alpha, length};
  }
  static FieldDef Integer(const QString& name) { return {name, FieldType::Long, 4}; }
  static FieldDef DateTime(const QString& name) { return {name, FieldType::Timestamp, 8}; }
  static FieldDef TimeOfDay(const QString& name) { return {name, FieldType::Time, 4}; }
  static FieldDef Graphic(const QString& name) { return {name, FieldType::Graphic, 10}; }
  bool operator==(const FieldDef&) const = default;
};

// Bytes a field takes in a record; 0 for a type/size pair that is invalid.
int FieldWidth(FieldType type, int size);

// An index: the primary one (its fields must be the table's first fields)
// or a named secondary one over one or more fields.
struct IndexDef {
  QString name;
  QStringList fields;
  bool primary = false;
  bool descending = false;
  bool operator==(const IndexDef&) const = default;
};

// ---- value encodings inside records (big-endian, sign-transformed) ----
namespace codec {

void PutLong(std::uint8_t* p, std::int32_t v);
std::optional<std::int32_t> GetLong(const std::uint8_t* p);
void PutShort(std::uint8_t* p, std::int16_t v);
std::optional<std::int16_t> GetShort(const std::uint8_t* p);
void PutDouble(std::uint8_t* p, double v);
std::optional<double> GetDouble(const std::uint8_t* p);
std::optional<double> GetBcd(const std::uint8_t* p, int decimals);

// Date-time values of the program (days since 1899-12-30, fraction = time
// of day) to and from the Paradox encodings.
std::int32_t DayNumberFromDateTime(double dateTime);  // 0001-01-01 = 1
double DateTimeFromDayNumber(std::int32_t dayNumber);
double TimestampMsFromDateTime(double dateTime);  // ms since 0000-12-31
double DateTimeFromTimestampMs(double ms);
std::int32_t TimeMsFromDateTime(double dateTime);  // ms since midnight
double DateTimeFromTimeMs(std::int32_t ms);

inline std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void PutLe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace codec

// ---- the .DB header ----
inline constexpr int kFileKeyed = 0;
inline constexpr int kFileIndex = 1;
inline constexpr int kFileUnkeyed = 2;
inline constexpr int kBlockHeader = 6;

struct DbHeader {
  int recordSize = 0;
  int headerSize = 0;
  int fileType = kFileUnkeyed;
  int blockSize = 0;  // bytes
  std::uint32_t numRecords = 0;
  int usedBlocks = 0;
  int fileBlocks = 0;
  int firstBlock = 0;
  int lastBlock = 0;
  int keyFields = 0;
  int version = 0x0C;
  std::uint8_t changeCount = 1;
  std::uint32_t autoInc = 0;
  int firstFreeBlock = 0;
  std::vector<FieldDef> fields;
};

// Parses and checks a header; throws DbError(Corruption) naming `what`.
DbHeader ParseDbHeader(std::span<const std::uint8_t> bytes, std::int64_t fileSize,
                       const QString& what);
// A complete level-7 header (headerSize bytes) for a new table.
std::vector<std::uint8_t> BuildDbHeader(const std::vector<FieldDef>& fields, int keyFields,
                                        int blockSize, const QString& tableFileName);
// Writes the counters of `h` into an existing header's fixed part.
void PatchDbHeader(std::vector<std::uint8_t>& header, const DbHeader& h);
// How many bytes of the header PatchDbHeader may change.
int PatchedHeaderBytes(const DbHeader& h);

// Block size for a new table: the smallest of 2 and 4 KiB that holds three
// records, else the smallest power of two up to 32 KiB.
int ChooseBlockSize(int recordSize);

// ---- the .PX primary index ----
struct PxLeaf {
  const std::uint8_t* firstKey = nullptr;  // key bytes of the block's first record
  int block = 0;
  int count = 0;
};
// The whole .PX file for the data blocks in chain order.
std::vector<std::uint8_t> BuildPxFile(const std::vector<FieldDef>& keyFields, int keyLength,
                                      const std::vector<PxLeaf>& leaves, std::uint8_t dbChangeCount,
                                      const QString& pxFileName);

// Updates, in a .PX image built by BuildPxFile for the same number of data
// blocks, the level-1 entry of the data block at chain position
// `chainIndex` (and its root entry); adds the numbers of the .PX blocks it
// changed to `touched`.
void PatchPxEntry(std::vector<std::uint8_t>& px, int keyLength, std::size_t chainIndex,
                  const std::uint8_t* firstKey, int count, std::set<int>& touched);

// ---- the .MB blob file ----
inline constexpr int kMbUnit = 4096;
std::vector<std::uint8_t> BuildMbHeader();
// One type-2 block run holding `value`; its length is a multiple of 4096.
std::vector<std::uint8_t> BuildMbSingleBlob(const QByteArray& value);
// Blob descriptor at the end of a blob field.
struct BlobRef {
  std::uint32_t offset = 0;  // of the .MB block, multiple of 4096
  int index = 0;             // 0xFF single-blob block, else sub-allocated slot
  std::uint32_t length = 0;
  std::uint16_t modNo = 0;
};
BlobRef ReadBlobRef(const std::uint8_t* field, int fieldWidth);
void WriteBlobRef(std::uint8_t* field, int fieldWidth, const BlobRef& ref);
// Extracts a blob of a .MB image region read at `ref.offset`; `block` holds
// the bytes from that offset (as many as the file had, up to the needed
// size). Throws DbError(Corruption) on any mismatch.
QByteArray ExtractBlob(std::span<const std::uint8_t> block, const BlobRef& ref,
                       const QString& what);

// Graphic values carry an 8-byte prefix before the image in the .MB.
QByteArray GraphicToStored(const QByteArray& image);
QByteArray GraphicFromStored(const QByteArray& stored);

}  // namespace db
