#pragma once
// A Paradox table and its cursor.
//
// `Table` reads and writes real Paradox files (.DB, .PX for keyed tables,
// .MB when the table has blob fields). The whole table is loaded at open;
// the cursor runs over the current index order, which is the primary key
// order (or the physical order of an unkeyed table) or one of the named
// secondary indexes. Secondary index orders live in memory: the order of
// the current index is built when the index is chosen and kept current by
// every post and delete. Their definitions persist beside the table in
// "NAME.KIX" (see FORMAT.md).
//
// Durability: Post and Delete write the changed data blocks, the counters
// of the header and the changed .PX blocks before they return; nothing is
// buffered in the process.
//
// Every failure throws db::DbError.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <set>
#include <span>
#include <vector>

#include "platform/db/Format.h"

class QFile;

namespace db {

enum class DataState { Inactive, Browse, Edit, Insert };

class DataSet;

// One field of the current record, addressed by position. Values convert
// with the process-wide formats (platform/os/Formats.h).
class Field {
 public:
  Field(DataSet* set, int index) : set_(set), index_(index) {}
  const QString& Name() const;
  FieldType Type() const;
  int Size() const;
  int Index() const { return index_; }

  bool IsNull() const;
  QString AsString() const;
  void SetAsString(const QString& text);
  int AsInteger() const;
  void SetAsInteger(int value);
  double AsFloat() const;
  void SetAsFloat(double value);
  // Date-time in days since 1899-12-30 (a Time field gives the fraction).
  double AsDateTime() const;
  void SetAsDateTime(double value);
  // Blob fields: the value as stored (a Graphic without its 8-byte prefix).
  QByteArray AsBlob() const;
  void SetAsBlob(const QByteArray& value);
  void Clear();

  bool Visible() const;
  void SetVisible(bool visible);

 private:
  const std::uint8_t* Bytes() const;
  std::uint8_t* WritableBytes() const;
  DataSet* set_;
  int index_;
};

// What views hear from a data set.
enum class DataEvent {
  Scrolled,      // the cursor moved to another record
  DataChanged,   // records changed, the order changed, or the set opened or closed
  StateChanged,  // browse / edit / insert / inactive
};

class DataObserver {
 public:
  virtual ~DataObserver() = default;
  virtual void DataSetEvent(DataEvent event) = 0;
};

// What a table and a query share: the fields, a read cursor, the controls
// switch and the observers.
class DataSet {
 public:
  DataSet() = default;
  DataSet(const DataSet&) = delete;
  DataSet& operator=(const DataSet&) = delete;
  virtual ~DataSet() = default;

  virtual void Open() = 0;
  virtual void Close() = 0;
  bool Active() const { return state_ != DataState::Inactive; }
  DataState State() const { return state_; }

  virtual void First() = 0;
  virtual void Next() = 0;
  virtual void Prior() = 0;
  virtual void Last() = 0;
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  virtual int RecordCount() const = 0;
  // 1-based position in the current order; 0 when there is no record.
  int RecNo() const { return RecordCount() == 0 ? 0 : pos_ + 1; }

  // Fields of the open data set.
  const std::vector<FieldDef>& FieldList() const { return fields_; }
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  int FieldIndex(const QString& name) const;  // -1 when absent (names compare without case)
  Field FieldByName(const QString& name);     // throws NotFound
  Field Fields(int index) { return Field(this, index); }
  int KeyFieldCount() const { return keyFields_; }

  // While disabled (calls nest), observers hear nothing; enabling the last
  // level tells them that the data changed.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disabled_ > 0; }
  void AddObserver(DataObserver* observer);
  void RemoveObserver(DataObserver* observer);

 protected:
  friend class Field;
  friend class BatchMove;
  // Bytes of field `i` of the current record (the edit buffer while
  // editing); throws when there is no current record.
  virtual const std::uint8_t* FieldBytes(int i) const = 0;
  virtual std::uint8_t* WritableFieldBytes(int i);
  // The stored form of blob field `i` of the current record.
  virtual QByteArray StoredBlob(int i) const = 0;
  virtual void SetStoredBlob(int i, const QByteArray& stored);
  virtual QString DisplayName() const = 0;

  void Notify(DataEvent event);
  void SetFieldList(std::vector<FieldDef> fields, int keyFields);
  // One record on or back among `count` records; at the end (or the
  // start) the cursor stays and Eof (or Bof) becomes true.
  void StepNext(std::size_t count);
  void StepPrior();
  [[noreturn]] void NoRecord() const;

  std::vector<FieldDef> fields_;
  std::vector<int> offsets_;
  std::vector<char> visible_;
  int keyFields_ = 0;
  int recordSize_ = 0;
  DataState state_ = DataState::Inactive;
  int pos_ = 0;
  bool bof_ = true;
  bool eof_ = true;

 private:
  int disabled_ = 0;
  std::vector<DataObserver*> observers_;
};

// Identifies a record while its table stays open.
struct Bookmark {
  std::uint32_t slot = 0;
  std::uint32_t serial = 0;  // 0: no bookmark
  bool operator==(const Bookmark&) const = default;
};

class Table : public DataSet {
 public:
  Table();
  ~Table() override;

  // Where the table lives: a folder and a file name ("LOG.DB"; ".DB" is
  // added when the name has no extension).
  void SetDatabaseName(const QString& folder);
  const QString& DatabaseName() const { return database_; }
  void SetTableName(const QString& name);
  const QString& TableName() const { return tableName_; }
  QString FilePath() const;  // of the .DB
  bool Exists() const;

  // Definitions used by CreateTable.
  std::vector<FieldDef>& FieldDefs() { return fieldDefs_; }
  std::vector<IndexDef>& IndexDefs() { return indexDefs_; }

  // Creates the table (replacing an existing one of that name and its
  // companion files), empty, closed.
  void CreateTable();
  // Deletes the table's files; the table must be closed.
  void DeleteTable();
  // Removes every record; works open or closed.
  void EmptyTable();

  void Open() override;
  void Close() override;

  // The index the cursor follows; "" is the primary order. The names of
  // the table's secondary indexes (also after reopening).
  void SetIndexName(const QString& name);
  const QString& IndexName() const { return indexName_; }
  QStringList IndexNames() const;
  // Adds a named secondary index to an existing keyed table, open or closed;
  // its definition is stored with the table at once.
  void AddIndex(const IndexDef& index);
  const std::vector<IndexDef>& Indexes() const { return indexes_; }  // of the open table

  void First() override;
  void Next() override;
  void Prior() override;
  void Last() override;
  int RecordCount() const override { return static_cast<int>(order_.size()); }
  Bookmark GetBookmark() const;
  void GotoBookmark(const Bookmark& mark);  // throws NotFound for a deleted record
  bool BookmarkValid(const Bookmark& mark) const;
  // The text of field `field` of the record at 0-based `position` of the
  // current order, as Field::AsString gives it, without moving the cursor
  // (the stored record, not an edit buffer). Views read rows off screen
  // through this. Throws NotFound for a position or field out of range.
  QString DisplayText(int position, int field) const;
  // The bookmark of the record at 0-based `position` of the current order,
  // the cursor staying where it is; throws NotFound when out of range.
  Bookmark BookmarkAt(int position) const;
  // Moves to the first record whose leading fields of the current index
  // equal the texts; false (cursor unchanged) when there is none.
  bool FindKey(const QStringList& values);

  void Append();
  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();

  // Restricts this table to the records whose `detailField` equals the
  // master's `masterField` on the master's current record. The current
  // index of this table must begin with `detailField`. nullptr ends the link.
  // The master must outlive the link.
  void SetMasterSource(Table* master, const QString& masterField, const QString& detailField);

 protected:
  const std::uint8_t* FieldBytes(int i) const override;
  std::uint8_t* WritableFieldBytes(int i) override;
  QByteArray StoredBlob(int i) const override;
  void SetStoredBlob(int i, const QByteArray& stored) override;
  QString DisplayName() const override;

 private:
  friend class BatchMove;
  friend class Query;
  struct Block {
    std::vector<std::uint32_t> recs;
    bool used = false;
  };
  class MasterLink;
  static constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;

  QString BasePath() const;  // folder + name without extension
  QString FamilyFile(const QString& ext) const;
  void Require(bool condition, const char* what) const;
  void RequireWritable() const;

  // Loading.
  void Load(std::span<const std::uint8_t> data, std::int64_t fileSize);
  void LoadIndexDefs();
  void WriteIndexDefs() const;

  // Records and blocks.
  const std::uint8_t* Rec(std::uint32_t slot) const {
    return arena_.data() + static_cast<std::size_t>(slot) * recordSize_;
  }
  std::uint8_t* Rec(std::uint32_t slot) {
    return arena_.data() + static_cast<std::size_t>(slot) * recordSize_;
  }
  std::uint32_t NewSlot(const std::uint8_t* bytes);
  void FreeSlot(std::uint32_t slot);
  int Capacity() const { return (blockSize_ - kBlockHeader) / recordSize_; }
  int AllocateBlock();
  void FreeBlock(int block);
  std::size_t ChainIndex(int block) const;
  void ChainInsert(std::size_t at, int block);
  void ChainErase(std::size_t at);
  // Puts a slot into the data blocks: by key in a keyed table, else before
  // `beforeSlot` (or at the end when it is kNoSlot).
  void PlaceInBlocks(std::uint32_t slot, std::uint32_t beforeSlot);
  void InsertIntoBlock(int block, std::size_t at, std::uint32_t slot);
  void RemoveFromBlocks(std::uint32_t slot);
  int ComparePrimary(const std::uint8_t* a, const std::uint8_t* b) const;
  std::uint32_t FindPrimary(const std::uint8_t* key) const;  // slot or UINT32_MAX

  // Order.
  bool Less(std::uint32_t a, std::uint32_t b) const;
  int CompareIndex(const std::uint8_t* a, const std::uint8_t* b, int fieldCount) const;
  void BuildOrder();
  std::size_t OrderPosition(std::uint32_t slot) const;
  void InsertInOrder(std::uint32_t slot, std::uint32_t beforeSlot);
  bool MatchesMaster(std::uint32_t slot) const;
  void MasterMoved();
  void SettleCursor(std::size_t position);
  void CheckBrowseMode();
  std::uint32_t CurrentSlot() const;
  void ReleaseAll();

  // Writing.
  void Flush();  // closes the table when a write fails
  void FlushChanges();
  void WriteBlock(int block);
  // The file image of `block` into `out` (the block size, zeroed).
  void FillBlock(int block, std::uint8_t* out) const;
  void WritePx();
  void WriteAt(QFile& file, std::int64_t offset, const std::uint8_t* data, std::int64_t size,
               const QString& path);
  QByteArray ReadMb(const BlobRef& ref) const;
  // The stored blob of field `i` in the record bytes `record`.
  QByteArray BlobOf(const std::uint8_t* record, int i) const;
  BlobRef StoreBlob(int field, const QByteArray& stored);
  void ReleaseBlob(const std::uint8_t* field, int width);
  void ResetToEmpty();

  QString database_;
  QString tableName_;
  QString indexName_;
  std::vector<FieldDef> fieldDefs_;
  std::vector<IndexDef> indexDefs_;

  // Open state.
  std::vector<IndexDef> indexes_;
  int activeIndex_ = -1;  // into indexes_, -1 primary/physical
  std::vector<int> activeFields_;
  bool activeDescending_ = false;
  DbHeader header_;
  std::vector<std::uint8_t> headerBytes_;
  int blockSize_ = 0;
  std::unique_ptr<QFile> dbFile_;
  std::unique_ptr<QFile> mbFile_;
  std::int64_t mbSize_ = 0;
  std::vector<std::uint8_t> pxImage_;
  std::vector<std::uint8_t> arena_;
  std::vector<std::uint32_t> serials_;
  std::vector<std::uint16_t> slotBlock_;
  std::vector<std::uint32_t> freeSlots_;
  std::vector<Block> blocks_;  // by block number; [0] unused
  std::vector<int> chain_;     // block numbers in chain order
  int live_ = 0;               // records in the blocks
  int keyLength_ = 0;
  std::unique_ptr<QFile> pxFile_;
  bool chainChanged_ = true;  // the .PX needs a full rebuild at the next write
  std::set<int> pxDirty_;     // data blocks whose .PX entry may have changed
  std::vector<int> freeBlocks_;
  std::set<int> dirty_;
  std::set<int> fresh_;  // blocks taken into use since the last flush
  bool changed_ = false;
  std::vector<std::uint32_t> order_;

  bool writable_ = true;  // false when the file could only be opened for reading

  // Edit state.
  std::vector<std::uint8_t> buffer_;
  std::vector<std::pair<int, QByteArray>> blobEdits_;
  std::uint32_t editSlot_ = 0;

  std::unique_ptr<MasterLink> master_;
};

}  // namespace db
