#include "app/JournalDisplay.h"

#include "platform/os/Formats.h"
#include "resources/Strings.h"

namespace journal_view {

namespace {

constexpr int kFirstField = 48;  // "ID"
constexpr int kLastField = 81;   // "WatchData"
constexpr int kDateField = 50;   // "Date"
constexpr int kMetre = 85;       // "m"
constexpr int kFoot = 86;        // "ft"

const char* const kNoWeekday = "    ";

// Descending indexes by field string number, 50 "Date" to 80 "Memo".
constexpr const char* kReverseIndexes[] = {
    "REV_DATE",     "REV_NO",       "REV_ENTRY",    "REV_SURF",     "REV_DIVER",    "REV_SITE",
    "REV_BUDDY",    "REV_AVEDEPTH", "REV_MAXDEPTH", "REV_AVEWATER", "REV_MINWATER", "REV_RESTTIME",
    "REV_DIVETIME", "REV_WEATHER",  "REV_TEMP",     "REV_VISI",     "REV_MAT",      "REV_CAPA",
    "REV_START",    "REV_FINISH",   "REV_CONS",     "REV_WEIGHT",   "REV_UE1",      "REV_UEV1",
    "REV_UE2",      "REV_UEV2",     "REV_UE3",      "REV_UEV3",     "REV_UE4",      "REV_UEV4",
    "REV_MEMO",
};

QString TimeText(const std::optional<double>& value) { return fmt::TimeToStr(value.value_or(0.0)); }

}  // namespace

std::vector<std::pair<const char*, QString>> DetailCaptions(bool japaneseLocale) {
  const QString p = japaneseLocale ? QString() : QStringLiteral(" ");
  return {
      {"NoLabel", res::LoadStr(198)},          {"DiverLabel", res::LoadStr(54)},
      {"BuddyLabel", res::LoadStr(56)},        {"SiteLabel", res::LoadStr(55)},
      {"AveDLabel", p + res::LoadStr(57)},     {"MaxDLabel", p + res::LoadStr(58)},
      {"AveWLabel", p + res::LoadStr(59)},     {"MinWLabel", p + res::LoadStr(60)},
      {"RestLabel", p + res::LoadStr(61)},     {"DiveLabel", p + res::LoadStr(62)},
      {"EntryLabel", p + res::LoadStr(52)},    {"ExitLabel", p + res::LoadStr(53)},
      {"TankGroupBox", res::LoadStr(82)},      {"MatLabel", res::LoadStr(83)},
      {"CapaLabel", res::LoadStr(84)},         {"StartLabel", res::LoadStr(68)},
      {"FinishLabel", res::LoadStr(69)},       {"ConsLabel", res::LoadStr(70)},
      {"WeatherLabel", p + res::LoadStr(63)},  {"TempLabel", p + res::LoadStr(64)},
      {"VisiLabel", p + res::LoadStr(65)},     {"WeightLabel", p + res::LoadStr(71)},
      {"UserGroupBox", res::LoadStr(162)},
  };
}

QString DetailTexts::Value(const char* name) const {
  for (const auto& [control, text] : values) {
    if (qstrcmp(control, name) == 0) return text;
  }
  return {};
}

DetailTexts RecordTexts(const JournalRecord& r) {
  DetailTexts t;
  t.values = {
      {"NoText", r.No},
      {"DiverText", r.Diver},
      {"BuddyText", r.Buddy},
      {"SiteText", r.Site},
      {"AveDText", r.AveDepth},
      {"MaxDText", r.MaxDepth},
      {"AveWText", r.AveWater},
      {"MinWText", r.MinWater},
      {"RestText", TimeText(r.RestTime)},
      {"DiveText", TimeText(r.DiveTime)},
      {"EntryText", TimeText(r.EntryTime)},
      {"ExitText", TimeText(r.SurfTime)},
      {"MatText", r.TankMaterial},
      {"CapaText", r.TankCapacity},
      {"StartText", r.StartPres},
      {"FinishText", r.EndPres},
      {"ConsText", r.AirConsum},
      {"WeatherText", r.Weather},
      {"TempText", r.Temp},
      {"VisiText", r.Clarity},
      {"WeightText", r.Weight},
      {"UeText1", r.UserArticle[0]},
      {"UevText1", r.UserContent[0]},
      {"UeText2", r.UserArticle[1]},
      {"UevText2", r.UserContent[1]},
      {"UeText3", r.UserArticle[2]},
      {"UevText3", r.UserContent[2]},
      {"UeText4", r.UserArticle[3]},
      {"UevText4", r.UserContent[3]},
  };
  const double date = r.Date.value_or(0.0);
  QString weekday;
  if (date != 0.0) {
    t.date = fmt::DateToStr(date);
    weekday = res::LoadStr(fmt::WeekdayStringId(date));
  } else {
    weekday = QLatin1String(kNoWeekday);
  }
  t.week = QStringLiteral("[%1]").arg(weekday);
  const bool metric = r.Mode == 1;
  t.lengthUnit = res::LoadStr(metric ? kMetre : kFoot);
  t.temperaturePicture = metric ? "CENTI_BITMAP" : "FAHR_BITMAP";
  t.memo = r.Memo;
  return t;
}

DetailTexts EmptyTexts() {
  DetailTexts t = RecordTexts(JournalRecord{});
  for (auto& value : t.values) value.second.clear();
  return t;
}

std::vector<std::pair<const char*, QString>> UnitLabels(const QString& capacity, const QString& pressure,
                                                        const QString& weight) {
  return {{"CapaUnitLabel1", capacity},
          {"PreUnitLabel1", pressure},
          {"PreUnitLabel2", pressure},
          {"CapaUnitLabel2", pressure},
          {"WeightUnitLabel", weight}};
}

QString RecordCountText(int count) { return QString::asprintf("%04d", count); }

bool CreatingCommandsAllowed(int recordCount, bool searchMode) {
  return recordCount < kMaxRecords && !searchMode;
}

QStringList FieldNames() {
  QStringList names;
  for (int id = kFirstField; id <= kLastField; ++id) names << res::LoadStr(id);
  return names;
}

QString SortIndexName(int stringId, const QString& field, bool descending) {
  if (!descending) return stringId == kDateField ? QStringLiteral("DATE") : field;
  constexpr int kLastReversed = kDateField + static_cast<int>(std::size(kReverseIndexes)) - 1;
  if (stringId < kDateField || stringId > kLastReversed) return {};
  return QString::fromLatin1(kReverseIndexes[stringId - kDateField]);
}

QString TitleSort::Click(const QString& field) {
  const qsizetype at = names_.indexOf(field);
  const int stringId = at < 0 ? -1 : static_cast<int>(at) + kFirstField;
  if (field == last_) {
    descending_ = !descending_;
  } else {
    descending_ = false;
    last_ = field;
  }
  return SortIndexName(stringId, field, descending_);
}

}  // namespace journal_view
