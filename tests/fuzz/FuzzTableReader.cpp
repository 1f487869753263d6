// libFuzzer target for the table reader: the input becomes a .DB file and
// a .MB file beside it (LE32 length of the .DB part, the .DB bytes, the
// rest is the .MB); the table is opened and every field of every record is
// read. Any failure must be a db::DbError: a crash, a sanitizer report or
// another exception is a finding.
//
// Built by scripts/fuzz-db.sh. With KELDORAN_FUZZ_SEEDS=<folder> the
// program writes seed inputs there instead of fuzzing.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "platform/db/DbError.h"
#include "platform/db/Table.h"

namespace {

QString Folder() {
  static QTemporaryDir dir(QStringLiteral("/dev/shm/keldoran-fuzz-XXXXXX"));
  return dir.path();
}

void Write(const QString& name, const QByteArray& bytes) {
  QFile f(QDir(Folder()).filePath(name));
  if (bytes.isEmpty()) {
    f.remove();
    return;
  }
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(bytes);
}

void ReadEverything() {
  db::Table t;
  t.SetDatabaseName(Folder());
  t.SetTableName(QStringLiteral("F.DB"));
  try {
    t.Open();
    for (t.First(); !t.Eof(); t.Next()) {
      for (int i = 0; i < t.FieldCount(); ++i) {
        db::Field f = t.Fields(i);
        if (db::IsBlobType(f.Type())) {
          (void)f.AsBlob();
        } else {
          (void)f.AsString();
        }
      }
    }
    // Index switches walk the keys too.
    for (const QString& name : t.IndexNames()) t.SetIndexName(name);
  } catch (const db::DbError&) {
  }
}

QByteArray Pack(const QByteArray& dbBytes, const QByteArray& mbBytes) {
  QByteArray out(4, '\0');
  const auto n = static_cast<std::uint32_t>(dbBytes.size());
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(n >> (8 * i));
  return out + dbBytes + mbBytes;
}

void MakeSeeds(const QString& folder) {
  QDir().mkpath(folder);
  struct Seed {
    const char* name;
    std::vector<db::FieldDef> fields;
    std::vector<db::IndexDef> indexes;
    int records;
  };
  const Seed seeds[] = {
      {"keyed",
       {db::FieldDef::Integer("Id"), db::FieldDef::String("Name", 20),
        db::FieldDef::DateTime("When"), db::FieldDef::TimeOfDay("At")},
       {{"", {"Id"}, true, false}},
       30},
      {"unkeyed", {db::FieldDef::DateTime("Time"), db::FieldDef::String("Depth", 6)}, {}, 40},
      {"blobs",
       {db::FieldDef::Integer("Id"),
        db::FieldDef::Graphic("Pic"),
        {"Note", db::FieldType::Memo, 15},
        {"S", db::FieldType::Short, 2},
        {"N", db::FieldType::Number, 8},
        {"L", db::FieldType::Logical, 1},
        {"D", db::FieldType::Date, 4}},
       {{"", {"Id"}, true, false}},
       5},
  };
  for (const Seed& s : seeds) {
    db::Table t;
    t.SetDatabaseName(Folder());
    t.SetTableName(QStringLiteral("F.DB"));
    t.FieldDefs() = s.fields;
    t.IndexDefs() = s.indexes;
    t.CreateTable();
    t.Open();
    for (int r = 1; r <= s.records; ++r) {
      t.Append();
      for (int i = 0; i < t.FieldCount(); ++i) {
        db::Field f = t.Fields(i);
        if (f.Type() == db::FieldType::Graphic) {
          f.SetAsBlob(QByteArray("BM") + QByteArray(r * 900, 'x'));
        } else if (f.Type() == db::FieldType::Memo) {
          f.SetAsString(QString(r * 10, u'm'));
        } else if (f.Type() == db::FieldType::Alpha) {
          f.SetAsString(QStringLiteral("v%1").arg(r));
        } else if (f.Type() == db::FieldType::Timestamp || f.Type() == db::FieldType::Time) {
          f.SetAsDateTime(r + r / 7.0);
        } else {
          f.SetAsInteger(r);
        }
      }
      t.Post();
    }
    t.Close();
    auto read = [](const QString& name) {
      QFile f(QDir(Folder()).filePath(name));
      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QFile out(QDir(folder).filePath(QLatin1String(s.name)));
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    out.write(Pack(read(QStringLiteral("F.DB")), read(QStringLiteral("F.MB"))));
    t.DeleteTable();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* seeds = std::getenv("KELDORAN_FUZZ_SEEDS")) {
    MakeSeeds(QString::fromLocal8Bit(seeds));
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n |= static_cast<std::uint32_t>(data[i]) << (8 * i);
  n = static_cast<std::uint32_t>(n % (size - 4 + 1));
  Write(QStringLiteral("F.DB"), QByteArray(reinterpret_cast<const char*>(data + 4), n));
  Write(QStringLiteral("F.MB"), QByteArray(reinterpret_cast<const char*>(data + 4 + n),
                                           static_cast<qsizetype>(size - 4 - n)));
  ReadEverything();
  return 0;
}
