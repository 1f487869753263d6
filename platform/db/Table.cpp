#include "platform/db/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cstring>

#include "platform/db/DbError.h"
#include "platform/db/Values.h"
#include "platform/os/SaveFile.h"
#include "platform/os/Codec.h"

namespace db {
namespace {

constexpr const char* kIndexFileMagic = "KELDORAN INDEXES 1";

[[noreturn]] void IoError(const QString& message) { throw DbError(ErrorKind::Io, message); }

}  // namespace

// Follows the master's current record for a detail table.
class Table::MasterLink final : public DataObserver {
 public:
  MasterLink(Table* detail, Table* master, int masterField, int detailField)
      : detail_(detail), master_(master), masterField_(masterField), detailField_(detailField) {
    master_->AddObserver(this);
  }
  ~MasterLink() override { master_->RemoveObserver(this); }
  void DataSetEvent(DataEvent event) override {
    if (event != DataEvent::StateChanged) detail_->MasterMoved();
  }
  Table* detail_;
  Table* master_;
  int masterField_;
  int detailField_;
};

Table::Table() = default;

Table::~Table() {
  master_.reset();
  if (Active()) {
    try {
      Close();
    } catch (...) {  // closing never needs to write; nothing to report here
    }
  }
}

// ---- names and files ----

void Table::SetDatabaseName(const QString& folder) {
  Require(!Active(), "change the folder of");
  database_ = folder;
}

void Table::SetTableName(const QString& name) {
  Require(!Active(), "rename");
  tableName_ = name;
}

QString Table::FilePath() const {
  QString name = tableName_;
  if (!name.contains(u'.')) name += QStringLiteral(".DB");
  const QDir dir(database_.isEmpty() ? QStringLiteral(".") : database_);
  if (!dir.exists(name)) {
    // Table names do not depend on case, as on the systems the files come from.
    const QStringList found = dir.entryList({name}, QDir::Files);
    if (found.size() == 1) name = found.first();
  }
  return database_.isEmpty() ? name : dir.filePath(name);
}

QString Table::BasePath() const {
  const QString path = FilePath();
  const int dot = static_cast<int>(path.lastIndexOf(u'.'));
  const int slash = static_cast<int>(path.lastIndexOf(u'/'));
  return dot > slash ? path.left(dot) : path;
}

QString Table::FamilyFile(const QString& ext) const { return BasePath() + u'.' + ext; }

bool Table::Exists() const { return !tableName_.isEmpty() && QFileInfo::exists(FilePath()); }

QString Table::DisplayName() const {
  return QStringLiteral("Table %1").arg(QDir::toNativeSeparators(FilePath()));
}

void Table::Require(bool condition, const char* what) const {
  if (!condition) {
    throw DbError(ErrorKind::Usage, QStringLiteral("Cannot %1 %2 in its present state")
                                        .arg(QLatin1String(what), DisplayName()));
  }
}

void Table::RequireWritable() const {
  if (!writable_)
    throw DbError(ErrorKind::Io, QStringLiteral("%1 is read-only").arg(DisplayName()));
}

// ---- create, delete, empty ----

void Table::CreateTable() {
  Require(!Active(), "create");
  if (tableName_.isEmpty())
    throw DbError(ErrorKind::Usage, QStringLiteral("A table to create needs a name"));
  const QString what = DisplayName();
  auto bad = [&](const QString& detail) -> void {
    throw DbError(ErrorKind::Usage, QStringLiteral("%1 cannot be created: %2").arg(what, detail));
  };
  if (fieldDefs_.empty() || fieldDefs_.size() > 255)
    bad(QStringLiteral("it needs 1 to 255 fields"));
  int recordSize = 0;
  for (std::size_t i = 0; i < fieldDefs_.size(); ++i) {
    const FieldDef& f = fieldDefs_[i];
    if (f.name.isEmpty() || os::ToAnsi(f.name).size() > 25)
      bad(QStringLiteral("field name \"%1\"").arg(f.name));
    for (std::size_t j = 0; j < i; ++j) {
      if (fieldDefs_[j].name.compare(f.name, Qt::CaseInsensitive) == 0)
        bad(QStringLiteral("field \"%1\" twice").arg(f.name));
    }
    if (f.type == FieldType::Bcd) bad(QStringLiteral("BCD fields are read-only here"));
    const int w = FieldWidth(f.type, f.size);
    if (w == 0) bad(QStringLiteral("field \"%1\" has an invalid size").arg(f.name));
    recordSize += w;
  }
  auto fieldNo = [&](const QString& name) {
    for (std::size_t i = 0; i < fieldDefs_.size(); ++i) {
      if (fieldDefs_[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    }
    bad(QStringLiteral("index over unknown field \"%1\"").arg(name));
    return -1;
  };
  int keyFields = 0;
  std::vector<IndexDef> secondary;
  for (const IndexDef& ix : indexDefs_) {
    if (ix.fields.isEmpty()) bad(QStringLiteral("index \"%1\" has no fields").arg(ix.name));
    for (const QString& name : ix.fields) {
      if (IsBlobType(fieldDefs_[static_cast<std::size_t>(fieldNo(name))].type))
        bad(QStringLiteral("blob field in an index"));
    }
    if (ix.primary) {
      if (keyFields > 0) bad(QStringLiteral("two primary indexes"));
      for (int i = 0; i < ix.fields.size(); ++i) {
        if (fieldNo(ix.fields[i]) != i)
          bad(QStringLiteral("the primary key must be the first fields in order"));
      }
      if (ix.descending || ix.fields.size() > 16) bad(QStringLiteral("primary key options"));
      keyFields = static_cast<int>(ix.fields.size());
    } else {
      if (ix.name.isEmpty() || ix.name.contains(u'\t') || ix.name.contains(u'\n'))
        bad(QStringLiteral("index name \"%1\"").arg(ix.name));
      for (const IndexDef& other : secondary) {
        if (other.name.compare(ix.name, Qt::CaseInsensitive) == 0)
          bad(QStringLiteral("index \"%1\" twice").arg(ix.name));
      }
      secondary.push_back(ix);
    }
  }
  if (!secondary.empty() && keyFields == 0)
    bad(QStringLiteral("secondary indexes need a primary key"));
  const int blockSize = ChooseBlockSize(recordSize);
  if (recordSize > blockSize - kBlockHeader)
    bad(QStringLiteral("records of %1 bytes are too long").arg(recordSize));

  // A new table replaces the whole family, stale index files included.
  const QFileInfo dbInfo(FilePath());
  QDir dir = dbInfo.absoluteDir();
  if (!dir.exists())
    IoError(QStringLiteral("%1 cannot be created: the folder does not exist").arg(what));
  const QString base = QFileInfo(BasePath()).fileName();
  // A .DB file of exactly the name written below is overwritten in place:
  // making the file anew would cost the file system a fresh file each time.
  QString dbFile = tableName_;
  if (!dbFile.contains(u'.')) dbFile += QStringLiteral(".DB");
  for (const QString& stale : dir.entryList({base + QStringLiteral(".*")}, QDir::Files)) {
    if (stale == dbFile && QFileInfo(dir.filePath(stale)).isWritable()) continue;
    const QString ext = stale.mid(base.size() + 1).toUpper();
    static const QStringList kFamily = {"DB", "PX", "MB", "KIX", "VAL", "TV", "TVF", "FAM"};
    if (kFamily.contains(ext) ||
        ((ext.startsWith(u'X') || ext.startsWith(u'Y')) && ext.size() <= 3)) {
      if (!dir.remove(stale))
        IoError(QStringLiteral("%1 cannot be created: %2 cannot be removed").arg(what, stale));
    }
  }

  auto writeFile = [&](const QString& path, const std::vector<std::uint8_t>& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) ||
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) || !f.resize(static_cast<qint64>(bytes.size()))) {
      IoError(QStringLiteral("%1 cannot be written: %2")
                  .arg(QDir::toNativeSeparators(path), f.errorString()));
    }
  };
  const QString dbName = QFileInfo(FilePath()).fileName();
  writeFile(FilePath(), BuildDbHeader(fieldDefs_, keyFields, blockSize, dbName));
  if (keyFields > 0) {
    std::vector<FieldDef> keys(fieldDefs_.begin(), fieldDefs_.begin() + keyFields);
    int keyLength = 0;
    for (const FieldDef& f : keys) keyLength += FieldWidth(f.type, f.size);
    writeFile(FamilyFile(QStringLiteral("PX")),
              BuildPxFile(keys, keyLength, {}, 1, base + QStringLiteral(".PX")));
  }
  if (std::any_of(fieldDefs_.begin(), fieldDefs_.end(),
                  [](const FieldDef& f) { return IsBlobType(f.type); })) {
    writeFile(FamilyFile(QStringLiteral("MB")), BuildMbHeader());
  }
  if (!secondary.empty()) {
    indexes_ = secondary;
    WriteIndexDefs();
    indexes_.clear();
  }
}

void Table::DeleteTable() {
  Require(!Active(), "delete");
  if (!Exists())
    throw DbError(ErrorKind::NotFound, QStringLiteral("%1 does not exist").arg(DisplayName()));
  for (const char* ext : {"DB", "PX", "MB", "KIX"}) {
    const QString path = FamilyFile(QLatin1String(ext));
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
      IoError(QStringLiteral("%1 cannot be deleted").arg(QDir::toNativeSeparators(path)));
    }
  }
}

void Table::EmptyTable() {
  if (!Active()) {
    Open();
    try {
      EmptyTable();
    } catch (...) {
      Close();
      throw;
    }
    Close();
    return;
  }
  CheckBrowseMode();
  RequireWritable();
  ResetToEmpty();
  order_.clear();
  SettleCursor(0);
  bof_ = eof_ = true;
  Notify(DataEvent::DataChanged);
}

void Table::ResetToEmpty() {
  arena_.clear();
  serials_.clear();
  slotBlock_.clear();
  freeSlots_.clear();
  blocks_.assign(1, Block{});
  chain_.clear();
  chainChanged_ = true;
  freeBlocks_.clear();
  dirty_.clear();
  live_ = 0;
  header_.fileBlocks = 0;
  changed_ = false;  // the counters are written now, with a bumped change counter
  Flush();
  if (!dbFile_->resize(header_.headerSize))
    IoError(QStringLiteral("%1 cannot be emptied").arg(DisplayName()));
  if (mbFile_) {
    const auto mb = BuildMbHeader();
    WriteAt(*mbFile_, 0, mb.data(), static_cast<std::int64_t>(mb.size()), mbFile_->fileName());
    mbFile_->resize(kMbUnit);
    mbSize_ = kMbUnit;
  }
}

// ---- open and close ----

void Table::Open() {
  if (Active()) return;
  if (tableName_.isEmpty())
    throw DbError(ErrorKind::Usage, QStringLiteral("A table to open needs a name"));
  const QString path = FilePath();
  if (!QFileInfo::exists(path))
    throw DbError(ErrorKind::NotFound, QStringLiteral("%1 does not exist").arg(DisplayName()));
  try {
    dbFile_ = std::make_unique<QFile>(path);
    writable_ = !readOnly_ && dbFile_->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (!writable_ && !dbFile_->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
      IoError(QStringLiteral("%1 cannot be opened: %2").arg(DisplayName(), dbFile_->errorString()));
    }
    const QByteArray raw = dbFile_->readAll();
    const std::int64_t fileSize = raw.size();
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(raw.constData()),
                                             static_cast<std::size_t>(raw.size()));
    header_ = ParseDbHeader(data, fileSize, DisplayName());
    headerBytes_.assign(data.begin(), data.begin() + header_.headerSize);
    SetFieldList(header_.fields, header_.keyFields);
    keyLength_ = offsets_[static_cast<std::size_t>(keyFields_)];
    blockSize_ = header_.blockSize;
    Load(data, fileSize);

    if (keyFields_ > 0) {
      pxFile_ = std::make_unique<QFile>(FamilyFile(QStringLiteral("PX")));
      if (!writable_) {
        // Read-only: the primary index is not needed for reading.
      } else if (pxFile_->open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        const QByteArray px = pxFile_->readAll();
        pxImage_.assign(px.begin(), px.end());
      } else if (!pxFile_->open(QIODevice::ReadWrite | QIODevice::Unbuffered |
                                QIODevice::Truncate)) {
        IoError(QStringLiteral("%1: the primary index cannot be opened").arg(DisplayName()));
      }
    }
    if (std::any_of(fields_.begin(), fields_.end(),
                    [](const FieldDef& f) { return IsBlobType(f.type); })) {
      const QString mbPath = FamilyFile(QStringLiteral("MB"));
      if (QFileInfo::exists(mbPath)) {
        mbFile_ = std::make_unique<QFile>(mbPath);
        if (!mbFile_->open((writable_ ? QIODevice::ReadWrite : QIODevice::ReadOnly) |
                           QIODevice::Unbuffered)) {
          IoError(QStringLiteral("%1: the blob file cannot be opened").arg(DisplayName()));
        }
        mbSize_ = mbFile_->size();
      }
    }
    LoadIndexDefs();
    activeIndex_ = -1;
    if (!indexName_.isEmpty()) {
      const auto it = std::find_if(indexes_.begin(), indexes_.end(), [&](const IndexDef& ix) {
        return ix.name.compare(indexName_, Qt::CaseInsensitive) == 0;
      });
      if (it == indexes_.end()) {
        throw DbError(ErrorKind::NotFound,
                      QStringLiteral("%1 has no index \"%2\"").arg(DisplayName(), indexName_));
      }
      activeIndex_ = static_cast<int>(it - indexes_.begin());
    }
    changed_ = false;
  } catch (...) {
    ReleaseAll();
    throw;
  }
  state_ = DataState::Browse;
  SetIndexName(indexName_);
  Notify(DataEvent::StateChanged);
}

void Table::Load(std::span<const std::uint8_t> data, std::int64_t fileSize) {
  const QString what = DisplayName();
  auto corrupt = [&](const QString& detail) -> void {
    throw DbError(ErrorKind::Corruption, QStringLiteral("%1 is damaged: %2").arg(what, detail));
  };
  const std::int64_t body = fileSize - header_.headerSize;
  const std::int64_t physical = (body + blockSize_ - 1) / blockSize_;
  if (header_.fileBlocks > physical) {
    corrupt(QStringLiteral("the file is truncated (%1 of %2 blocks)")
                .arg(physical)
                .arg(header_.fileBlocks));
  }
  blocks_.assign(static_cast<std::size_t>(header_.fileBlocks) + 1, Block{});
  chain_.clear();
  chainChanged_ = true;
  pxDirty_.clear();
  arena_.clear();
  serials_.clear();
  slotBlock_.clear();
  freeSlots_.clear();
  freeBlocks_.clear();
  dirty_.clear();
  live_ = 0;
  const int capacity = Capacity();
  arena_.reserve(
      static_cast<std::size_t>(std::min<std::int64_t>(header_.numRecords, physical * capacity)) *
      static_cast<std::size_t>(recordSize_));
  int block = header_.firstBlock;
  std::vector<char> seen(blocks_.size(), 0);
  while (block != 0) {
    if (block < 1 || block > header_.fileBlocks)
      corrupt(QStringLiteral("the block chain leads to block %1").arg(block));
    if (seen[static_cast<std::size_t>(block)])
      corrupt(QStringLiteral("the block chain runs in a circle"));
    seen[static_cast<std::size_t>(block)] = 1;
    const std::int64_t off = header_.headerSize + static_cast<std::int64_t>(block - 1) * blockSize_;
    if (off + kBlockHeader > fileSize)
      corrupt(QStringLiteral("block %1 lies past the end of the file").arg(block));
    const std::uint8_t* p = data.data() + off;
    const int next = codec::Le16(p);
    const auto add = static_cast<std::int16_t>(codec::Le16(p + 4));
    if (add % recordSize_ != 0 || add < -recordSize_)
      corrupt(QStringLiteral("block %1 has a bad record count").arg(block));
    const int count = add / recordSize_ + 1;
    if (count > capacity)
      corrupt(QStringLiteral("block %1 holds more records than fit").arg(block));
    if (off + kBlockHeader + static_cast<std::int64_t>(count) * recordSize_ > fileSize) {
      corrupt(QStringLiteral("the file is truncated in block %1").arg(block));
    }
    if (count > 0) {
      Block& b = blocks_[static_cast<std::size_t>(block)];
      b.used = true;
      b.recs.reserve(static_cast<std::size_t>(capacity));
      for (int r = 0; r < count; ++r) {
        const std::uint32_t slot = NewSlot(p + kBlockHeader + r * recordSize_);
        slotBlock_[slot] = static_cast<std::uint16_t>(block);
        b.recs.push_back(slot);
      }
      live_ += count;
      chain_.push_back(block);
    }
    block = next;
  }
  for (int b = 1; b <= header_.fileBlocks; ++b) {
    if (!blocks_[static_cast<std::size_t>(b)].used) {
      freeBlocks_.push_back(b);
      dirty_.insert(b);  // rewritten as free blocks at the first change
    }
  }
  if (keyFields_ > 0) {
    const std::uint8_t* previous = nullptr;
    for (int b : chain_) {
      for (std::uint32_t slot : blocks_[static_cast<std::size_t>(b)].recs) {
        if (previous && ComparePrimary(previous, Rec(slot)) >= 0) {
          corrupt(QStringLiteral("records are out of key order or have duplicate keys"));
        }
        previous = Rec(slot);
      }
    }
  }
}

void Table::LoadIndexDefs() {
  indexes_.clear();
  QFile f(FamilyFile(QStringLiteral("KIX")));
  if (!f.exists()) return;
  if (!f.open(QIODevice::ReadOnly))
    IoError(QStringLiteral("%1: the index definitions cannot be read").arg(DisplayName()));
  const QString what = DisplayName();
  auto corrupt = [&](const QString& detail) -> void {
    throw DbError(ErrorKind::Corruption,
                  QStringLiteral("%1: the index definitions are damaged: %2").arg(what, detail));
  };
  const QList<QByteArray> lines = f.readAll().split('\n');
  if (lines.isEmpty() || lines.first().trimmed() != kIndexFileMagic)
    corrupt(QStringLiteral("unknown file"));
  for (qsizetype i = 1; i < lines.size(); ++i) {
    QByteArray line = lines[i];
    if (line.endsWith('\r')) line.chop(1);
    if (line.isEmpty()) continue;
    const QList<QByteArray> parts = line.split('\t');
    if (parts.size() < 3 || parts[0].isEmpty() || (parts[1] != "" && parts[1] != "D")) {
      corrupt(QStringLiteral("line %1").arg(i + 1));
    }
    IndexDef ix;
    ix.name = os::FromAnsi(parts[0]);
    ix.descending = parts[1] == "D";
    for (qsizetype k = 2; k < parts.size(); ++k) {
      const QString name = os::FromAnsi(parts[k]);
      const int no = FieldIndex(name);
      if (no < 0 || IsBlobType(fields_[static_cast<std::size_t>(no)].type)) {
        corrupt(QStringLiteral("index \"%1\" names field \"%2\"").arg(ix.name, name));
      }
      ix.fields << fields_[static_cast<std::size_t>(no)].name;
    }
    for (const IndexDef& other : indexes_) {
      if (other.name.compare(ix.name, Qt::CaseInsensitive) == 0)
        corrupt(QStringLiteral("index \"%1\" twice").arg(ix.name));
    }
    indexes_.push_back(ix);
  }
  if (!indexes_.empty() && keyFields_ == 0)
    corrupt(QStringLiteral("secondary indexes on a table without a key"));
}

void Table::WriteIndexDefs() const {
  QSaveFile f(FamilyFile(QStringLiteral("KIX")));
  QByteArray text = QByteArray(kIndexFileMagic) + "\r\n";
  for (const IndexDef& ix : indexes_) {
    text += os::ToAnsi(ix.name) + '\t' + (ix.descending ? "D" : "");
    for (const QString& field : ix.fields) text += '\t' + os::ToAnsi(field);
    text += "\r\n";
  }
  if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size() || !os::CommitComplete(f)) {
    IoError(QStringLiteral("%1: the index definitions cannot be written").arg(DisplayName()));
  }
}

void Table::Close() {
  if (!Active()) return;
  if (state_ == DataState::Edit || state_ == DataState::Insert) Cancel();
  ReleaseAll();
  state_ = DataState::Inactive;
  Notify(DataEvent::StateChanged);
  Notify(DataEvent::DataChanged);
}

void Table::ReleaseAll() {
  dbFile_.reset();
  pxFile_.reset();
  mbFile_.reset();
  mbSize_ = 0;
  pxImage_.clear();
  arena_.clear();
  arena_.shrink_to_fit();
  serials_.clear();
  slotBlock_.clear();
  freeSlots_.clear();
  blocks_.clear();
  chain_.clear();
  freeBlocks_.clear();
  dirty_.clear();
  fresh_.clear();
  order_.clear();
  indexes_.clear();
  buffer_.clear();
  blobEdits_.clear();
  headerBytes_.clear();
  live_ = 0;
  pos_ = 0;
  bof_ = eof_ = true;
}

// ---- indexes and order ----

QStringList Table::IndexNames() const {
  QStringList names;
  if (Active()) {
    for (const IndexDef& ix : indexes_) names << ix.name;
    return names;
  }
  Table probe;
  probe.SetDatabaseName(database_);
  probe.SetTableName(tableName_);
  probe.Open();
  return probe.IndexNames();
}

void Table::AddIndex(const IndexDef& index) {
  if (!Active()) {
    Open();
    try {
      AddIndex(index);
    } catch (...) {
      Close();
      throw;
    }
    Close();
    return;
  }
  RequireWritable();
  auto bad = [&](const QString& detail) -> void {
    throw DbError(ErrorKind::Usage, QStringLiteral("%1: index \"%2\" cannot be added: %3")
                                        .arg(DisplayName(), index.name, detail));
  };
  if (keyFields_ == 0) bad(QStringLiteral("secondary indexes need a primary key"));
  if (index.primary || index.name.isEmpty() || index.name.contains(u'\t') ||
      index.name.contains(u'\n'))
    bad(QStringLiteral("its name"));
  if (index.fields.isEmpty()) bad(QStringLiteral("it has no fields"));
  for (const IndexDef& other : indexes_) {
    if (other.name.compare(index.name, Qt::CaseInsensitive) == 0)
      bad(QStringLiteral("the table has one of that name"));
  }
  IndexDef stored = index;
  stored.fields.clear();
  for (const QString& name : index.fields) {
    const int no = FieldIndex(name);
    if (no < 0 || IsBlobType(fields_[static_cast<std::size_t>(no)].type))
      bad(QStringLiteral("field \"%1\"").arg(name));
    stored.fields << fields_[static_cast<std::size_t>(no)].name;
  }
  indexes_.push_back(stored);
  try {
    WriteIndexDefs();
  } catch (...) {
    indexes_.pop_back();
    throw;
  }
}

void Table::SetIndexName(const QString& name) {
  if (!Active()) {
    indexName_ = name;
    return;
  }
  CheckBrowseMode();
  int found = -1;
  if (!name.isEmpty()) {
    for (std::size_t i = 0; i < indexes_.size(); ++i) {
      if (indexes_[i].name.compare(name, Qt::CaseInsensitive) == 0) found = static_cast<int>(i);
    }
    if (found < 0)
      throw DbError(ErrorKind::NotFound,
                    QStringLiteral("%1 has no index \"%2\"").arg(DisplayName(), name));
  }
  std::vector<int> fields;
  bool descending = false;
  if (found >= 0) {
    for (const QString& f : indexes_[static_cast<std::size_t>(found)].fields) {
      fields.push_back(FieldIndex(f));
    }
    descending = indexes_[static_cast<std::size_t>(found)].descending;
  } else {
    for (int i = 0; i < keyFields_; ++i) fields.push_back(i);
  }
  if (master_ && (fields.empty() || fields.front() != master_->detailField_)) {
    throw DbError(ErrorKind::Usage,
                  QStringLiteral("%1: the index \"%2\" does not begin with the link field")
                      .arg(DisplayName(), name));
  }
  indexName_ = found < 0 ? QString() : indexes_[static_cast<std::size_t>(found)].name;
  activeIndex_ = found;
  activeFields_ = std::move(fields);
  activeDescending_ = descending;
  BuildOrder();
  First();
  Notify(DataEvent::DataChanged);
}

int Table::ComparePrimary(const std::uint8_t* a, const std::uint8_t* b) const {
  return std::memcmp(a, b, static_cast<std::size_t>(keyLength_));
}

int Table::CompareIndex(const std::uint8_t* a, const std::uint8_t* b, int fieldCount) const {
  for (int k = 0; k < fieldCount; ++k) {
    const auto f = static_cast<std::size_t>(activeFields_[static_cast<std::size_t>(k)]);
    const int off = offsets_[f];
    const int c = std::memcmp(a + off, b + off, static_cast<std::size_t>(offsets_[f + 1] - off));
    if (c != 0) return c;
  }
  return 0;
}

bool Table::Less(std::uint32_t a, std::uint32_t b) const {
  if (activeIndex_ >= 0) {
    int c = CompareIndex(Rec(a), Rec(b), static_cast<int>(activeFields_.size()));
    if (activeDescending_) c = -c;
    if (c != 0) return c < 0;
  }
  return ComparePrimary(Rec(a), Rec(b)) < 0;
}

bool Table::MatchesMaster(std::uint32_t slot) const {
  if (!master_) return true;
  const Table* m = master_->master_;
  if (!m->Active() || m->RecordCount() == 0) return false;
  const auto mf = static_cast<std::size_t>(master_->masterField_);
  const auto df = static_cast<std::size_t>(master_->detailField_);
  const std::uint8_t* mv = m->Rec(m->order_[static_cast<std::size_t>(m->pos_)]) + m->offsets_[mf];
  return std::memcmp(mv, Rec(slot) + offsets_[df],
                     static_cast<std::size_t>(offsets_[df + 1] - offsets_[df])) == 0;
}

void Table::BuildOrder() {
  order_.clear();
  order_.reserve(static_cast<std::size_t>(live_));
  for (int b : chain_) {
    for (std::uint32_t slot : blocks_[static_cast<std::size_t>(b)].recs) {
      if (MatchesMaster(slot)) order_.push_back(slot);
    }
  }
  if (activeIndex_ >= 0) {
    std::sort(order_.begin(), order_.end(),
              [this](std::uint32_t a, std::uint32_t b) { return Less(a, b); });
  }
}

std::size_t Table::OrderPosition(std::uint32_t slot) const {
  if (keyFields_ > 0) {
    const auto it =
        std::lower_bound(order_.begin(), order_.end(), slot,
                         [this](std::uint32_t a, std::uint32_t b) { return Less(a, b); });
    if (it != order_.end() && *it == slot) return static_cast<std::size_t>(it - order_.begin());
  }
  const auto it = std::find(order_.begin(), order_.end(), slot);
  return static_cast<std::size_t>(it - order_.begin());
}

void Table::InsertInOrder(std::uint32_t slot, std::uint32_t beforeSlot) {
  if (!MatchesMaster(slot)) return;
  if (keyFields_ > 0) {
    const auto it =
        std::upper_bound(order_.begin(), order_.end(), slot,
                         [this](std::uint32_t a, std::uint32_t b) { return Less(a, b); });
    order_.insert(it, slot);
    return;
  }
  if (beforeSlot == kNoSlot) {
    order_.push_back(slot);
  } else {
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(OrderPosition(beforeSlot)), slot);
  }
}

void Table::MasterMoved() {
  if (!Active()) return;
  if (state_ == DataState::Edit || state_ == DataState::Insert) Cancel();
  BuildOrder();
  SettleCursor(0);
  bof_ = true;
  Notify(DataEvent::DataChanged);
}

void Table::SetMasterSource(Table* master, const QString& masterField, const QString& detailField) {
  master_.reset();
  if (!master) {
    if (Active()) MasterMoved();
    return;
  }
  Require(Active() && master->Active(), "link");
  const int mf = master->FieldIndex(masterField);
  const int df = FieldIndex(detailField);
  if (mf < 0 || df < 0) {
    throw DbError(ErrorKind::NotFound, QStringLiteral("%1: link field \"%2\" or \"%3\" not found")
                                           .arg(DisplayName(), masterField, detailField));
  }
  const FieldDef& a = master->fields_[static_cast<std::size_t>(mf)];
  const FieldDef& b = fields_[static_cast<std::size_t>(df)];
  if (a.type != b.type || FieldWidth(a.type, a.size) != FieldWidth(b.type, b.size)) {
    throw DbError(ErrorKind::Usage,
                  QStringLiteral("%1: link fields \"%2\" and \"%3\" differ in type")
                      .arg(DisplayName(), masterField, detailField));
  }
  if (activeFields_.empty() || activeFields_.front() != df) {
    throw DbError(ErrorKind::Usage,
                  QStringLiteral("%1: the current index does not begin with \"%2\"")
                      .arg(DisplayName(), detailField));
  }
  master_ = std::make_unique<MasterLink>(this, master, mf, df);
  MasterMoved();
}

// ---- cursor ----

std::uint32_t Table::CurrentSlot() const {
  if (!Active() || order_.empty()) NoRecord();
  return order_[static_cast<std::size_t>(pos_)];
}

void Table::CheckBrowseMode() {
  Require(Active(), "use");
  if (state_ == DataState::Edit || state_ == DataState::Insert) Post();
}

void Table::SettleCursor(std::size_t position) {
  if (order_.empty()) {
    pos_ = 0;
    bof_ = eof_ = true;
    return;
  }
  pos_ = static_cast<int>(std::min(position, order_.size() - 1));
  bof_ = eof_ = false;
}

void Table::First() {
  CheckBrowseMode();
  pos_ = 0;
  bof_ = true;
  eof_ = order_.empty();
  Notify(DataEvent::Scrolled);
}

void Table::Last() {
  CheckBrowseMode();
  pos_ = order_.empty() ? 0 : static_cast<int>(order_.size()) - 1;
  eof_ = true;
  bof_ = order_.empty();
  Notify(DataEvent::Scrolled);
}

void Table::Next() {
  CheckBrowseMode();
  StepNext(order_.size());
}

void Table::Prior() {
  CheckBrowseMode();
  StepPrior();
}

Bookmark Table::GetBookmark() const {
  const std::uint32_t slot = CurrentSlot();
  return {slot, serials_[slot]};
}

bool Table::BookmarkValid(const Bookmark& mark) const {
  return Active() && mark.serial != 0 && mark.slot < serials_.size() &&
         serials_[mark.slot] == mark.serial && slotBlock_[mark.slot] != 0;
}

void Table::GotoBookmark(const Bookmark& mark) {
  CheckBrowseMode();
  if (!BookmarkValid(mark))
    throw DbError(ErrorKind::NotFound,
                  QStringLiteral("%1: the record was deleted").arg(DisplayName()));
  const std::size_t pos = OrderPosition(mark.slot);
  if (pos >= order_.size())
    throw DbError(ErrorKind::NotFound,
                  QStringLiteral("%1: the record is not in view").arg(DisplayName()));
  SettleCursor(pos);
  Notify(DataEvent::Scrolled);
}

QString Table::DisplayText(int position, int field) const {
  if (!Active() || position < 0 || static_cast<std::size_t>(position) >= order_.size() || field < 0 ||
      field >= FieldCount()) {
    throw DbError(ErrorKind::NotFound,
                  QStringLiteral("%1: no field %2 of record %3").arg(DisplayName()).arg(field).arg(position));
  }
  const std::uint8_t* record = Rec(order_[static_cast<std::size_t>(position)]);
  const FieldDef& f = fields_[static_cast<std::size_t>(field)];
  if (IsBlobType(f.type)) {
    const QByteArray stored = BlobOf(record, field);
    return os::FromAnsi(f.type == FieldType::Graphic ? GraphicFromStored(stored) : stored);
  }
  return values::ToText(f, record + offsets_[static_cast<std::size_t>(field)]);
}

Bookmark Table::BookmarkAt(int position) const {
  if (!Active() || position < 0 || static_cast<std::size_t>(position) >= order_.size()) {
    throw DbError(ErrorKind::NotFound, QStringLiteral("%1: no record %2").arg(DisplayName()).arg(position));
  }
  const std::uint32_t slot = order_[static_cast<std::size_t>(position)];
  return {slot, serials_[slot]};
}

bool Table::FindKey(const QStringList& values) {
  CheckBrowseMode();
  if (activeFields_.empty())
    throw DbError(ErrorKind::Usage, QStringLiteral("%1 has no index to search").arg(DisplayName()));
  if (values.isEmpty() || values.size() > static_cast<qsizetype>(activeFields_.size())) {
    throw DbError(ErrorKind::Usage, QStringLiteral("%1: %2 key values for an index of %3 fields")
                                        .arg(DisplayName())
                                        .arg(values.size())
                                        .arg(activeFields_.size()));
  }
  std::vector<std::uint8_t> key(static_cast<std::size_t>(recordSize_), 0);
  const int m = static_cast<int>(values.size());
  for (int k = 0; k < m; ++k) {
    const auto f = static_cast<std::size_t>(activeFields_[static_cast<std::size_t>(k)]);
    values::FromText(fields_[f], values[k], key.data() + offsets_[f]);
  }
  const bool desc = activeIndex_ >= 0 && activeDescending_;
  auto cmp = [&](std::uint32_t slot) {
    const int c = CompareIndex(Rec(slot), key.data(), m);
    return desc ? -c : c;
  };
  const auto it = std::partition_point(order_.begin(), order_.end(),
                                       [&](std::uint32_t s) { return cmp(s) < 0; });
  if (it == order_.end() || cmp(*it) != 0) return false;
  SettleCursor(static_cast<std::size_t>(it - order_.begin()));
  Notify(DataEvent::Scrolled);
  return true;
}

// ---- editing ----

const std::uint8_t* Table::FieldBytes(int i) const {
  if (state_ == DataState::Edit || state_ == DataState::Insert)
    return buffer_.data() + offsets_[static_cast<std::size_t>(i)];
  return Rec(CurrentSlot()) + offsets_[static_cast<std::size_t>(i)];
}

std::uint8_t* Table::WritableFieldBytes(int i) {
  if (state_ != DataState::Edit && state_ != DataState::Insert) {
    throw DbError(ErrorKind::Usage,
                  QStringLiteral("%1 is not in edit or insert mode").arg(DisplayName()));
  }
  return buffer_.data() + offsets_[static_cast<std::size_t>(i)];
}

QByteArray Table::StoredBlob(int i) const {
  if (state_ == DataState::Edit || state_ == DataState::Insert) {
    for (const auto& [field, value] : blobEdits_) {
      if (field == i) return value;
    }
  }
  if (state_ == DataState::Edit || state_ == DataState::Insert) return BlobOf(buffer_.data(), i);
  return BlobOf(Rec(CurrentSlot()), i);
}

QByteArray Table::BlobOf(const std::uint8_t* record, int i) const {
  const int w = offsets_[static_cast<std::size_t>(i) + 1] - offsets_[static_cast<std::size_t>(i)];
  const std::uint8_t* p = record + offsets_[static_cast<std::size_t>(i)];
  const BlobRef ref = ReadBlobRef(p, w);
  if (ref.length == 0) return {};
  const int leader = w - 10;
  if (ref.offset == 0 && ref.index == 0) {
    if (ref.length > static_cast<std::uint32_t>(leader)) {
      throw DbError(ErrorKind::Corruption,
                    QStringLiteral("%1 is damaged: a blob longer than its leader has no block")
                        .arg(DisplayName()));
    }
    return QByteArray(reinterpret_cast<const char*>(p), static_cast<qsizetype>(ref.length));
  }
  return ReadMb(ref);
}

void Table::SetStoredBlob(int i, const QByteArray& stored) {
  std::uint8_t* p = WritableFieldBytes(i);
  const int w = offsets_[static_cast<std::size_t>(i) + 1] - offsets_[static_cast<std::size_t>(i)];
  std::memset(p, 0, static_cast<std::size_t>(w));
  const int leader = w - 10;
  const bool graphic = fields_[static_cast<std::size_t>(i)].type == FieldType::Graphic;
  const QByteArray lead = (graphic ? stored.mid(8) : stored).left(leader);
  std::memcpy(p, lead.constData(), static_cast<std::size_t>(lead.size()));
  BlobRef ref;
  ref.length = static_cast<std::uint32_t>(stored.size());
  WriteBlobRef(p, w, ref);
  for (auto& edit : blobEdits_) {
    if (edit.first == i) {
      edit.second = stored;
      return;
    }
  }
  blobEdits_.emplace_back(i, stored);
}

QByteArray Table::ReadMb(const BlobRef& ref) const {
  if (!mbFile_ || ref.offset == 0 || ref.offset >= static_cast<std::uint64_t>(mbSize_)) {
    throw DbError(
        ErrorKind::Corruption,
        QStringLiteral("%1 is damaged: a blob lies outside the blob file").arg(DisplayName()));
  }
  std::int64_t want = kMbUnit;
  if (ref.index == 0xFF)
    want = std::max<std::int64_t>(kMbUnit, static_cast<std::int64_t>(ref.length) + 9);
  want = std::min<std::int64_t>(want, mbSize_ - ref.offset);
  if (!mbFile_->seek(ref.offset))
    IoError(QStringLiteral("%1: the blob file cannot be read").arg(DisplayName()));
  const QByteArray bytes = mbFile_->read(want);
  return ExtractBlob(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               static_cast<std::size_t>(bytes.size())),
                     ref, DisplayName());
}

BlobRef Table::StoreBlob(int field, const QByteArray& stored) {
  const bool graphic = fields_[static_cast<std::size_t>(field)].type == FieldType::Graphic;
  const int w =
      offsets_[static_cast<std::size_t>(field) + 1] - offsets_[static_cast<std::size_t>(field)];
  BlobRef ref;
  ref.length = static_cast<std::uint32_t>(stored.size());
  if (stored.isEmpty() || (!graphic && stored.size() <= w - 10)) return ref;  // lives in the leader
  if (!mbFile_) {
    mbFile_ = std::make_unique<QFile>(FamilyFile(QStringLiteral("MB")));
    if (!mbFile_->open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
      IoError(QStringLiteral("%1: the blob file cannot be opened").arg(DisplayName()));
    }
    mbSize_ = mbFile_->size();
  }
  if (mbSize_ < kMbUnit) {
    const auto header = BuildMbHeader();
    WriteAt(*mbFile_, 0, header.data(), kMbUnit, mbFile_->fileName());
    mbSize_ = kMbUnit;
  }
  mbSize_ = (mbSize_ + kMbUnit - 1) / kMbUnit * kMbUnit;
  const auto run = BuildMbSingleBlob(stored);
  WriteAt(*mbFile_, mbSize_, run.data(), static_cast<std::int64_t>(run.size()),
          mbFile_->fileName());
  ref.offset = static_cast<std::uint32_t>(mbSize_);
  ref.index = 0xFF;
  ref.modNo = 1;
  mbSize_ += static_cast<std::int64_t>(run.size());
  return ref;
}

void Table::ReleaseBlob(const std::uint8_t* field, int width) {
  const BlobRef ref = ReadBlobRef(field, width);
  if (!mbFile_ || ref.index != 0xFF || ref.offset == 0 || ref.offset + 3 > mbSize_) return;
  // A single-blob run becomes a free run of the same length.
  if (!mbFile_->seek(ref.offset)) return;
  QByteArray head = mbFile_->read(3);
  if (head.size() == 3 && head[0] == 2) {
    head[0] = 4;
    try {
      WriteAt(*mbFile_, ref.offset, reinterpret_cast<const std::uint8_t*>(head.constData()), 3,
              mbFile_->fileName());
    } catch (const DbError&) {
      // The record no longer uses the run; left unmarked it only wastes space.
    }
  }
}

void Table::Append() {
  CheckBrowseMode();
  RequireWritable();
  buffer_.assign(static_cast<std::size_t>(recordSize_), 0);
  blobEdits_.clear();
  editSlot_ = kNoSlot;
  if (master_) {
    const Table* m = master_->master_;
    if (m->Active() && !m->order_.empty()) {
      const auto mf = static_cast<std::size_t>(master_->masterField_);
      const auto df = static_cast<std::size_t>(master_->detailField_);
      std::memcpy(buffer_.data() + offsets_[df],
                  m->Rec(m->order_[static_cast<std::size_t>(m->pos_)]) + m->offsets_[mf],
                  static_cast<std::size_t>(offsets_[df + 1] - offsets_[df]));
    }
  }
  state_ = DataState::Insert;
  Notify(DataEvent::StateChanged);
}

void Table::Insert() {
  const std::uint32_t before = order_.empty() ? kNoSlot : order_[static_cast<std::size_t>(pos_)];
  Append();
  editSlot_ = before;  // an unkeyed table inserts before the current record
}

void Table::Edit() {
  CheckBrowseMode();
  RequireWritable();
  const std::uint32_t slot = CurrentSlot();
  buffer_.assign(Rec(slot), Rec(slot) + recordSize_);
  blobEdits_.clear();
  editSlot_ = slot;
  state_ = DataState::Edit;
  Notify(DataEvent::StateChanged);
}

void Table::Cancel() {
  if (state_ != DataState::Edit && state_ != DataState::Insert) return;
  buffer_.clear();
  blobEdits_.clear();
  state_ = DataState::Browse;
  Notify(DataEvent::StateChanged);
  Notify(DataEvent::Scrolled);
}

std::uint32_t Table::FindPrimary(const std::uint8_t* key) const {
  if (chain_.empty()) return kNoSlot;
  // The last block whose first key is not above the key.
  auto it =
      std::upper_bound(chain_.begin(), chain_.end(), key, [this](const std::uint8_t* k, int b) {
        return ComparePrimary(k, Rec(blocks_[static_cast<std::size_t>(b)].recs.front())) < 0;
      });
  if (it == chain_.begin()) return kNoSlot;
  const Block& block = blocks_[static_cast<std::size_t>(*(it - 1))];
  const auto s = std::lower_bound(block.recs.begin(), block.recs.end(), key,
                                  [this](std::uint32_t slot, const std::uint8_t* k) {
                                    return ComparePrimary(Rec(slot), k) < 0;
                                  });
  if (s != block.recs.end() && ComparePrimary(Rec(*s), key) == 0) return *s;
  return kNoSlot;
}

void Table::Post() {
  if (state_ != DataState::Edit && state_ != DataState::Insert) return;
  const bool inserting = state_ == DataState::Insert;
  for (std::size_t f = 0; f < fields_.size(); ++f) {
    // Auto-increment fields take the next number unless one was given; the
    // header keeps the last number handed out.
    if (fields_[f].type != FieldType::AutoInc) continue;
    std::uint8_t* p = buffer_.data() + offsets_[f];
    if (const auto given = codec::GetLong(p)) {
      if (*given > 0 && static_cast<std::uint32_t>(*given) > header_.autoInc)
        header_.autoInc = static_cast<std::uint32_t>(*given);
    } else if (inserting) {
      codec::PutLong(p, static_cast<std::int32_t>(++header_.autoInc));
    }
  }
  if (keyFields_ > 0) {
    const std::uint32_t same = FindPrimary(buffer_.data());
    if (same != kNoSlot && (inserting || same != editSlot_)) {
      throw DbError(
          ErrorKind::KeyViolation,
          QStringLiteral("%1: key violation, a record with this key exists").arg(DisplayName()));
    }
  }
  // Replaced blobs are freed only once the record no longer points at them.
  std::vector<std::vector<std::uint8_t>> replaced;
  for (const auto& [field, stored] : blobEdits_) {
    const auto f = static_cast<std::size_t>(field);
    const int w = offsets_[f + 1] - offsets_[f];
    if (!inserting)
      replaced.emplace_back(Rec(editSlot_) + offsets_[f], Rec(editSlot_) + offsets_[f] + w);
    const BlobRef ref = StoreBlob(field, stored);
    WriteBlobRef(buffer_.data() + offsets_[f], w, ref);
  }
  std::uint32_t slot;
  if (inserting) {
    slot = NewSlot(buffer_.data());
    PlaceInBlocks(slot, editSlot_);
    InsertInOrder(slot, editSlot_);
    ++live_;
  } else {
    slot = editSlot_;
    const bool keyChanged = keyFields_ > 0 && ComparePrimary(Rec(slot), buffer_.data()) != 0;
    const std::size_t oldPos = OrderPosition(slot);
    if (oldPos < order_.size()) order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(oldPos));
    if (keyChanged) {
      RemoveFromBlocks(slot);
      std::memcpy(Rec(slot), buffer_.data(), static_cast<std::size_t>(recordSize_));
      PlaceInBlocks(slot, kNoSlot);
    } else {
      std::memcpy(Rec(slot), buffer_.data(), static_cast<std::size_t>(recordSize_));
      dirty_.insert(slotBlock_[slot]);
    }
    if (keyFields_ > 0) {
      InsertInOrder(slot, kNoSlot);
    } else if (MatchesMaster(slot)) {
      order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(std::min(oldPos, order_.size())),
                    slot);
    }
  }
  buffer_.clear();
  blobEdits_.clear();
  state_ = DataState::Browse;
  Flush();
  for (const auto& old : replaced) ReleaseBlob(old.data(), static_cast<int>(old.size()));
  const std::size_t pos = OrderPosition(slot);
  SettleCursor(pos < order_.size() ? pos : static_cast<std::size_t>(pos_));
  Notify(DataEvent::StateChanged);
  Notify(DataEvent::DataChanged);
}

void Table::Delete() {
  Require(Active(), "delete from");
  if (state_ == DataState::Insert) {
    Cancel();
    return;
  }
  if (state_ == DataState::Edit) Cancel();
  RequireWritable();
  const std::uint32_t slot = CurrentSlot();
  const std::vector<std::uint8_t> record(Rec(slot), Rec(slot) + recordSize_);
  const auto pos = static_cast<std::size_t>(pos_);
  RemoveFromBlocks(slot);
  order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(pos));
  FreeSlot(slot);
  --live_;
  Flush();
  for (std::size_t f = 0; f < fields_.size(); ++f) {
    if (IsBlobType(fields_[f].type))
      ReleaseBlob(record.data() + offsets_[f], offsets_[f + 1] - offsets_[f]);
  }
  SettleCursor(pos);
  Notify(DataEvent::DataChanged);
}

// ---- blocks ----

std::uint32_t Table::NewSlot(const std::uint8_t* bytes) {
  std::uint32_t slot;
  if (!freeSlots_.empty()) {
    slot = freeSlots_.back();
    freeSlots_.pop_back();
  } else {
    slot = static_cast<std::uint32_t>(serials_.size());
    serials_.push_back(0);
    slotBlock_.push_back(0);
    arena_.resize(arena_.size() + static_cast<std::size_t>(recordSize_));
  }
  ++serials_[slot];
  std::memcpy(Rec(slot), bytes, static_cast<std::size_t>(recordSize_));
  return slot;
}

void Table::ReserveSlots(std::size_t count) {
  const std::size_t total = serials_.size() + count;
  serials_.reserve(total);
  slotBlock_.reserve(total);
  arena_.reserve(total * static_cast<std::size_t>(recordSize_));
}

void Table::FreeSlot(std::uint32_t slot) {
  slotBlock_[slot] = 0;
  ++serials_[slot];
  freeSlots_.push_back(slot);
}

int Table::AllocateBlock() {
  int b;
  if (!freeBlocks_.empty()) {
    b = freeBlocks_.back();
    freeBlocks_.pop_back();
  } else {
    if (header_.fileBlocks >= 0xFFFF)
      throw DbError(ErrorKind::Usage, QStringLiteral("%1 is full").arg(DisplayName()));
    b = ++header_.fileBlocks;
    blocks_.emplace_back();
  }
  Block& block = blocks_[static_cast<std::size_t>(b)];
  block.used = true;
  block.recs.clear();
  block.recs.reserve(static_cast<std::size_t>(Capacity()));
  dirty_.insert(b);
  fresh_.insert(b);
  return b;
}

void Table::FreeBlock(int b) {
  Block& block = blocks_[static_cast<std::size_t>(b)];
  block.used = false;
  block.recs.clear();
  freeBlocks_.push_back(b);
  dirty_.insert(b);
}

std::size_t Table::ChainIndex(int block) const {
  if (keyFields_ > 0 && !blocks_[static_cast<std::size_t>(block)].recs.empty()) {
    const std::uint8_t* key = Rec(blocks_[static_cast<std::size_t>(block)].recs.front());
    const auto it =
        std::lower_bound(chain_.begin(), chain_.end(), key, [this](int b, const std::uint8_t* k) {
          const auto& s = blocks_[static_cast<std::size_t>(b)].recs;
          return !s.empty() && ComparePrimary(Rec(s.front()), k) < 0;
        });
    if (it != chain_.end() && *it == block) return static_cast<std::size_t>(it - chain_.begin());
  }
  return static_cast<std::size_t>(std::find(chain_.begin(), chain_.end(), block) - chain_.begin());
}

void Table::ChainInsert(std::size_t at, int block) {
  chainChanged_ = true;
  chain_.insert(chain_.begin() + static_cast<std::ptrdiff_t>(at), block);
  if (at > 0) dirty_.insert(chain_[at - 1]);
  if (at + 1 < chain_.size()) dirty_.insert(chain_[at + 1]);
}

void Table::ChainErase(std::size_t at) {
  chainChanged_ = true;
  chain_.erase(chain_.begin() + static_cast<std::ptrdiff_t>(at));
  if (at > 0) dirty_.insert(chain_[at - 1]);
  if (at < chain_.size()) dirty_.insert(chain_[at]);
}

void Table::PlaceInBlocks(std::uint32_t slot, std::uint32_t beforeSlot) {
  if (chain_.empty()) {
    const int b = AllocateBlock();
    ChainInsert(0, b);
    InsertIntoBlock(b, 0, slot);
    return;
  }
  if (keyFields_ > 0) {
    const std::uint8_t* key = Rec(slot);
    auto it =
        std::upper_bound(chain_.begin(), chain_.end(), key, [this](const std::uint8_t* k, int b) {
          return ComparePrimary(k, Rec(blocks_[static_cast<std::size_t>(b)].recs.front())) < 0;
        });
    const int b = it == chain_.begin() ? chain_.front() : *(it - 1);
    const auto& recs = blocks_[static_cast<std::size_t>(b)].recs;
    const auto at = std::upper_bound(
        recs.begin(), recs.end(), key,
        [this](const std::uint8_t* k, std::uint32_t s) { return ComparePrimary(k, Rec(s)) < 0; });
    InsertIntoBlock(b, static_cast<std::size_t>(at - recs.begin()), slot);
    return;
  }
  if (beforeSlot == kNoSlot || slotBlock_[beforeSlot] == 0) {
    const int b = chain_.back();
    InsertIntoBlock(b, blocks_[static_cast<std::size_t>(b)].recs.size(), slot);
    return;
  }
  const int b = slotBlock_[beforeSlot];
  const auto& recs = blocks_[static_cast<std::size_t>(b)].recs;
  InsertIntoBlock(
      b, static_cast<std::size_t>(std::find(recs.begin(), recs.end(), beforeSlot) - recs.begin()),
      slot);
}

void Table::InsertIntoBlock(int b, std::size_t at, std::uint32_t slot) {
  Block* block = &blocks_[static_cast<std::size_t>(b)];
  const auto capacity = static_cast<std::size_t>(Capacity());
  if (block->recs.size() < capacity) {
    block->recs.insert(block->recs.begin() + static_cast<std::ptrdiff_t>(at), slot);
    slotBlock_[slot] = static_cast<std::uint16_t>(b);
    dirty_.insert(b);
    return;
  }
  const std::size_t index = ChainIndex(b);
  const int fresh = AllocateBlock();
  block = &blocks_[static_cast<std::size_t>(b)];  // AllocateBlock may move the blocks
  Block& right = blocks_[static_cast<std::size_t>(fresh)];
  if (index + 1 == chain_.size() && at == block->recs.size()) {
    // Appending past the last block starts a new one and leaves the full one full.
    right.recs.push_back(slot);
    slotBlock_[slot] = static_cast<std::uint16_t>(fresh);
  } else {
    const std::size_t half = block->recs.size() / 2;
    right.recs.assign(block->recs.begin() + static_cast<std::ptrdiff_t>(half), block->recs.end());
    block->recs.resize(half);
    if (at <= half) {
      block->recs.insert(block->recs.begin() + static_cast<std::ptrdiff_t>(at), slot);
    } else {
      right.recs.insert(right.recs.begin() + static_cast<std::ptrdiff_t>(at - half), slot);
    }
    for (std::uint32_t s : block->recs) slotBlock_[s] = static_cast<std::uint16_t>(b);
    for (std::uint32_t s : right.recs) slotBlock_[s] = static_cast<std::uint16_t>(fresh);
  }
  dirty_.insert(b);
  ChainInsert(index + 1, fresh);
}

void Table::RemoveFromBlocks(std::uint32_t slot) {
  const int b = slotBlock_[slot];
  Block& block = blocks_[static_cast<std::size_t>(b)];
  const std::size_t index = ChainIndex(b);  // before the block changes
  std::erase(block.recs, slot);
  slotBlock_[slot] = 0;
  dirty_.insert(b);
  if (!block.recs.empty()) return;
  if (index == 0 && chain_.size() > 1) {
    // The head block keeps its number: the next block's records move into it.
    const int next = chain_[1];
    Block& moved = blocks_[static_cast<std::size_t>(next)];
    block.recs = std::move(moved.recs);
    for (std::uint32_t s : block.recs) slotBlock_[s] = static_cast<std::uint16_t>(b);
    ChainErase(1);
    FreeBlock(next);
    return;
  }
  ChainErase(index);
  FreeBlock(b);
}

// ---- writing ----

void Table::WriteAt(QFile& file, std::int64_t offset, const std::uint8_t* data, std::int64_t size,
                    const QString& path) {
  if (!file.seek(offset) || file.write(reinterpret_cast<const char*>(data), size) != size) {
    IoError(QStringLiteral("%1 cannot be written: %2")
                .arg(QDir::toNativeSeparators(path), file.errorString()));
  }
}

void Table::FillBlock(int b, std::uint8_t* out) const {
  std::memset(out, 0, static_cast<std::size_t>(blockSize_));
  const Block& block = blocks_[static_cast<std::size_t>(b)];
  if (block.used) {
    const std::size_t index = ChainIndex(b);
    codec::PutLe16(&out[0],
                   static_cast<std::uint32_t>(index + 1 < chain_.size() ? chain_[index + 1] : 0));
    codec::PutLe16(&out[2], static_cast<std::uint32_t>(index > 0 ? chain_[index - 1] : 0));
    const auto count = static_cast<int>(block.recs.size());
    codec::PutLe16(
        &out[4], static_cast<std::uint16_t>(static_cast<std::int16_t>((count - 1) * recordSize_)));
    for (int r = 0; r < count; ++r) {
      std::memcpy(&out[static_cast<std::size_t>(kBlockHeader + r * recordSize_)],
                  Rec(block.recs[static_cast<std::size_t>(r)]),
                  static_cast<std::size_t>(recordSize_));
    }
  } else {
    // Free blocks form a list through their next word; the header holds its head.
    const auto it = std::find(freeBlocks_.begin(), freeBlocks_.end(), b);
    const int next = it == freeBlocks_.begin() || it == freeBlocks_.end() ? 0 : *(it - 1);
    codec::PutLe16(&out[0], static_cast<std::uint32_t>(next));
    codec::PutLe16(&out[4], static_cast<std::uint16_t>(static_cast<std::int16_t>(-recordSize_)));
  }
}

void Table::WriteBlocks(const std::vector<int>& list) {
  // A run of neighbouring blocks is one write: a batch of new records fills
  // whole stretches of the file.
  constexpr std::size_t kMaxRun = 64;
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i < list.size();) {
    std::size_t n = 1;
    while (i + n < list.size() && n < kMaxRun && list[i + n] == list[i] + static_cast<int>(n)) ++n;
    out.resize(n * static_cast<std::size_t>(blockSize_));
    for (std::size_t k = 0; k < n; ++k)
      FillBlock(list[i + k], out.data() + k * static_cast<std::size_t>(blockSize_));
    WriteAt(*dbFile_, header_.headerSize + static_cast<std::int64_t>(list[i] - 1) * blockSize_,
            out.data(), static_cast<std::int64_t>(out.size()), dbFile_->fileName());
    i += n;
  }
}

void Table::Flush() {
  try {
    FlushChanges();
  } catch (const DbError&) {
    // What is in memory may now be ahead of the file: the table closes, and
    // opening it again shows what the file holds.
    ReleaseAll();
    state_ = DataState::Inactive;
    Notify(DataEvent::StateChanged);
    Notify(DataEvent::DataChanged);
    throw;
  }
}

void Table::FlushChanges() {
  if (!changed_) {
    header_.changeCount = static_cast<std::uint8_t>(header_.changeCount % 255 + 1);
    changed_ = true;
  }
  // Order matters to a process killed halfway: blocks newly taken into use
  // first (nothing links to them yet), then the header (it must count them
  // before a chain word can lead there), then the blocks already in the
  // chain. The reader trusts the chain, not the record count or free list.
  std::vector<int> write;
  for (int b : fresh_) {
    if (dirty_.count(b) && b <= header_.fileBlocks) write.push_back(b);
  }
  WriteBlocks(write);
  header_.numRecords = static_cast<std::uint32_t>(live_);
  header_.usedBlocks = static_cast<int>(chain_.size());
  header_.firstBlock = chain_.empty() ? 0 : chain_.front();
  header_.lastBlock = chain_.empty() ? 0 : chain_.back();
  header_.firstFreeBlock = freeBlocks_.empty() ? 0 : freeBlocks_.back();
  PatchDbHeader(headerBytes_, header_);
  WriteAt(*dbFile_, 0, headerBytes_.data(), PatchedHeaderBytes(header_), dbFile_->fileName());
  write.clear();
  for (int b : dirty_) {
    if (!fresh_.count(b) && b <= header_.fileBlocks) write.push_back(b);
  }
  WriteBlocks(write);
  pxDirty_.insert(dirty_.begin(), dirty_.end());
  dirty_.clear();
  fresh_.clear();
  if (keyFields_ > 0) WritePx();
}

void Table::WritePx() {
  const QString path = pxFile_->fileName();
  if (!chainChanged_ && !pxImage_.empty()) {
    // Same blocks in the same order: only the entries of the changed blocks.
    std::set<int> touched;
    for (int b : pxDirty_) {
      const Block& block = blocks_[static_cast<std::size_t>(b)];
      if (!block.used) continue;
      PatchPxEntry(pxImage_, keyLength_, ChainIndex(b), Rec(block.recs.front()),
                   static_cast<int>(block.recs.size()), touched);
    }
    pxDirty_.clear();
    const std::size_t pxBlock = static_cast<std::size_t>(pxImage_[5]) * 1024;
    const std::size_t headerSize = codec::Le16(&pxImage_[2]);
    for (int number : touched) {
      const std::size_t off = headerSize + static_cast<std::size_t>(number - 1) * pxBlock;
      WriteAt(*pxFile_, static_cast<std::int64_t>(off), pxImage_.data() + off,
              static_cast<std::int64_t>(pxBlock), path);
    }
    return;
  }
  pxDirty_.clear();
  chainChanged_ = false;
  std::vector<PxLeaf> leaves;
  leaves.reserve(chain_.size());
  for (int b : chain_) {
    const Block& block = blocks_[static_cast<std::size_t>(b)];
    const std::uint8_t* first = Rec(block.recs.front());
    leaves.push_back({first, b, static_cast<int>(block.recs.size())});
  }
  const std::vector<FieldDef> keys(fields_.begin(), fields_.begin() + keyFields_);
  std::vector<std::uint8_t> image =
      BuildPxFile(keys, keyLength_, leaves, header_.changeCount, QFileInfo(path).fileName());
  if (image.size() != pxImage_.size() || image[5] != pxImage_[5]) {
    WriteAt(*pxFile_, 0, image.data(), static_cast<std::int64_t>(image.size()), path);
    if (!pxFile_->resize(static_cast<qint64>(image.size())))
      IoError(QStringLiteral("%1 cannot be written").arg(path));
  } else {
    // Only the header part and the index blocks that changed are written.
    const std::size_t pxBlock = static_cast<std::size_t>(image[5]) * 1024;
    const std::size_t headerSize = codec::Le16(&image[2]);
    auto writeIfChanged = [&](std::size_t from, std::size_t size) {
      if (std::memcmp(image.data() + from, pxImage_.data() + from, size) != 0) {
        WriteAt(*pxFile_, static_cast<std::int64_t>(from), image.data() + from,
                static_cast<std::int64_t>(size), path);
      }
    };
    writeIfChanged(0, headerSize);
    for (std::size_t off = headerSize; off < image.size(); off += pxBlock)
      writeIfChanged(off, pxBlock);
  }
  pxImage_ = std::move(image);
}

}  // namespace db
