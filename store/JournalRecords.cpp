#include "store/JournalRecords.h"

#include "platform/db/Table.h"
#include "resources/Strings.h"

namespace journal {
namespace {

// String numbers of the fields, in table order.
enum : int {
  kId = 48, kMode, kDate, kNo, kEntry, kSurf, kDiver, kSite, kBuddy, kAveDepth, kMaxDepth,
  kAveWater, kMinWater, kRest, kDive, kWeather, kTemp, kClarity, kMaterial, kCapacity, kStart,
  kEnd, kConsum, kWeight, kArticle1, kContent1, kArticle2, kContent2, kArticle3, kContent3,
  kArticle4, kContent4, kMemo, kWatchData
};

// Field names are loaded once; they are the string table's texts.
const QString& Name(int id) {
  static const auto names = [] {
    std::array<QString, 34> n;
    for (int i = 0; i < 34; ++i) n[static_cast<std::size_t>(i)] = res::LoadStr(kId + i);
    return n;
  }();
  return names[static_cast<std::size_t>(id - kId)];
}

struct TextField {
  int id;
  QString JournalRecord::*member;
};
constexpr TextField kTexts[] = {
    {kNo, &JournalRecord::No},           {kDiver, &JournalRecord::Diver},
    {kSite, &JournalRecord::Site},       {kBuddy, &JournalRecord::Buddy},
    {kAveDepth, &JournalRecord::AveDepth}, {kMaxDepth, &JournalRecord::MaxDepth},
    {kAveWater, &JournalRecord::AveWater}, {kMinWater, &JournalRecord::MinWater},
    {kWeather, &JournalRecord::Weather}, {kTemp, &JournalRecord::Temp},
    {kClarity, &JournalRecord::Clarity}, {kMaterial, &JournalRecord::TankMaterial},
    {kCapacity, &JournalRecord::TankCapacity}, {kStart, &JournalRecord::StartPres},
    {kEnd, &JournalRecord::EndPres},     {kConsum, &JournalRecord::AirConsum},
    {kWeight, &JournalRecord::Weight},   {kMemo, &JournalRecord::Memo},
};

struct TimeField {
  int id;
  std::optional<double> JournalRecord::*member;
};
constexpr TimeField kTimes[] = {
    {kDate, &JournalRecord::Date},         {kEntry, &JournalRecord::EntryTime},
    {kSurf, &JournalRecord::SurfTime},     {kRest, &JournalRecord::RestTime},
    {kDive, &JournalRecord::DiveTime},
};

constexpr int kArticles[4] = {kArticle1, kArticle2, kArticle3, kArticle4};
constexpr int kContents[4] = {kContent1, kContent2, kContent3, kContent4};

}  // namespace

FieldMap::FieldMap(db::DataSet& t) {
  for (int id = kId; id <= kWatchData; ++id) {
    const int index = t.FieldIndex(Name(id));
    if (index < 0) t.FieldByName(Name(id));  // reports the missing field
    index_[static_cast<std::size_t>(id - kId)] = index;
  }
}

JournalRecord FieldMap::Read(db::DataSet& t) const {
  const auto field = [&](int id) { return t.Fields(index_[static_cast<std::size_t>(id - kId)]); };
  JournalRecord r;
  r.ID = field(kId).AsInteger();
  r.Mode = field(kMode).AsInteger();
  r.WatchData = field(kWatchData).AsInteger();
  for (const TextField& f : kTexts) r.*f.member = field(f.id).AsString();
  for (const TimeField& f : kTimes) {
    const db::Field value = field(f.id);
    r.*f.member = value.IsNull() ? std::nullopt : std::optional<double>(value.AsDateTime());
  }
  for (std::size_t i = 0; i < 4; ++i) {
    r.UserArticle[i] = field(kArticles[i]).AsString();
    r.UserContent[i] = field(kContents[i]).AsString();
  }
  return r;
}

void FieldMap::Write(db::DataSet& t, const JournalRecord& r) const {
  const auto field = [&](int id) { return t.Fields(index_[static_cast<std::size_t>(id - kId)]); };
  field(kId).SetAsInteger(r.ID);
  field(kMode).SetAsInteger(r.Mode);
  field(kWatchData).SetAsInteger(r.WatchData);
  const auto text = [&](int id, const QString& value) {
    db::Field f = field(id);
    if (value.isEmpty()) f.Clear();
    else f.SetAsString(value);
  };
  for (const TextField& f : kTexts) text(f.id, r.*f.member);
  for (const TimeField& f : kTimes) {
    db::Field value = field(f.id);
    if (const auto& v = r.*f.member) value.SetAsDateTime(*v);
    else value.Clear();
  }
  for (std::size_t i = 0; i < 4; ++i) {
    text(kArticles[i], r.UserArticle[i]);
    text(kContents[i], r.UserContent[i]);
  }
}

JournalRecord ReadRecord(db::DataSet& t) { return FieldMap(t).Read(t); }

void WriteFields(db::Table& t, const JournalRecord& r) { FieldMap(t).Write(t, r); }

void AppendRecord(db::Table& t, const JournalRecord& r) {
  t.Append();
  try {
    WriteFields(t, r);
    t.Post();
  } catch (...) {
    t.Cancel();
    throw;
  }
}

}  // namespace journal
