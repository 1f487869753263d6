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

JournalRecord ReadRecord(db::DataSet& t) {
  JournalRecord r;
  r.ID = t.FieldByName(Name(kId)).AsInteger();
  r.Mode = t.FieldByName(Name(kMode)).AsInteger();
  r.WatchData = t.FieldByName(Name(kWatchData)).AsInteger();
  for (const TextField& f : kTexts) r.*f.member = t.FieldByName(Name(f.id)).AsString();
  for (const TimeField& f : kTimes) {
    const db::Field field = t.FieldByName(Name(f.id));
    r.*f.member = field.IsNull() ? std::nullopt : std::optional<double>(field.AsDateTime());
  }
  for (std::size_t i = 0; i < 4; ++i) {
    r.UserArticle[i] = t.FieldByName(Name(kArticles[i])).AsString();
    r.UserContent[i] = t.FieldByName(Name(kContents[i])).AsString();
  }
  return r;
}

void WriteFields(db::Table& t, const JournalRecord& r) {
  t.FieldByName(Name(kId)).SetAsInteger(r.ID);
  t.FieldByName(Name(kMode)).SetAsInteger(r.Mode);
  t.FieldByName(Name(kWatchData)).SetAsInteger(r.WatchData);
  const auto text = [&t](int id, const QString& value) {
    db::Field f = t.FieldByName(Name(id));
    if (value.isEmpty()) f.Clear();
    else f.SetAsString(value);
  };
  for (const TextField& f : kTexts) text(f.id, r.*f.member);
  for (const TimeField& f : kTimes) {
    db::Field field = t.FieldByName(Name(f.id));
    if (const auto& v = r.*f.member) field.SetAsDateTime(*v);
    else field.Clear();
  }
  for (std::size_t i = 0; i < 4; ++i) {
    text(kArticles[i], r.UserArticle[i]);
    text(kContents[i], r.UserContent[i]);
  }
}

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
