// The data module's profile loader on the graph work tables, the extremes
// of a load sequence and the axis scaling that the graph users share.
#include "store/ProfileTables.h"

#include <algorithm>
#include <cmath>

#include <QFile>

#include "platform/db/Values.h"

#include "platform/os/Formats.h"
#include "resources/Strings.h"
#include "store/AxisScale.h"
#include "store/Dataunit.h"

namespace store {

QString LegendDateText(std::optional<double> date) {
  if (!date || *date == 0) return QString();
  return fmt::DateToStr(*date) + QStringLiteral(" (") + res::LoadStr(fmt::WeekdayStringId(*date)) +
         u')';
}

QString WorkRows::At(int second) const {
  const auto it = std::lower_bound(seconds.begin(), seconds.end(), second);
  if (it == seconds.end() || *it != second) return QString();
  return texts[static_cast<std::size_t>(it - seconds.begin())];
}

void RecreateSlotTables(db::Table& depth, db::Table& water, const QString& folder, int slot) {
  const auto recreate = [&](db::Table& table, const char* pattern, const char* valueField) {
    table.Close();
    table.SetDatabaseName(folder);
    table.SetTableName(QString::asprintf(pattern, slot));
    table.FieldDefs() = {db::FieldDef::DateTime(QStringLiteral("Time")),
                         db::FieldDef::String(QLatin1String(valueField), 6)};
    table.IndexDefs().clear();
    // Creating replaces the old files of that name and their companions.
    table.CreateTable();
    table.Open();
  };
  recreate(depth, "Depth%02d.DB", "Depth");
  recreate(water, "WATER%02d.DB", "Water");
}

}  // namespace store

namespace {

// The samples of one section as a read-only data set of "Time" and the
// value field, so that the batch move appends them to a work table with
// one write instead of one per record.
class SampleSet final : public db::DataSet {
 public:
  SampleSet(const std::vector<store::ProfileSample>& samples, const QString& valueField)
      : samples_(samples) {
    SetFieldList({db::FieldDef::DateTime(QStringLiteral("Time")), db::FieldDef::String(valueField, 6)}, 0);
    records_.resize(samples.size() * static_cast<std::size_t>(recordSize_));
    std::uint8_t* p = records_.data();
    for (const store::ProfileSample& s : samples) {
      db::values::FromDateTime(fields_[0], s.Time(), p + offsets_[0]);
      db::values::FromText(fields_[1], s.text, p + offsets_[1]);
      p += recordSize_;
    }
  }

  // The records as the work table reads them back: the time in whole
  // seconds and the value text as stored.
  store::WorkRows Rows() const {
    store::WorkRows rows;
    const auto n = static_cast<std::size_t>(RecordCount());
    rows.seconds.reserve(n);
    rows.texts.reserve(n);
    for (std::size_t r = 0; r < n; ++r) {
      const std::uint8_t* p = records_.data() + r * static_cast<std::size_t>(recordSize_);
      const double days = db::values::ToDateTime(fields_[0], p + offsets_[0]);
      rows.seconds.push_back(static_cast<int>(std::llround(days * 86400.0)));
      // A text the field holds unchanged is shared rather than decoded.
      const QString& text = samples_[r].text;
      if (StoredUnchanged(text)) {
        rows.texts.push_back(text);
      } else {
        rows.texts.push_back(db::values::ToText(fields_[1], p + offsets_[1]));
      }
    }
    return rows;
  }

  void Open() override {
    state_ = db::DataState::Browse;
    First();
  }
  void Close() override { state_ = db::DataState::Inactive; }
  void First() override { Move(0); }
  void Next() override { Move(pos_ + 1); }
  void Prior() override { Move(pos_ - 1); }
  void Last() override { Move(RecordCount() - 1); }
  int RecordCount() const override { return recordSize_ == 0 ? 0 : static_cast<int>(records_.size()) / recordSize_; }

 protected:
  const std::uint8_t* FieldBytes(int i) const override {
    if (pos_ < 0 || pos_ >= RecordCount()) NoRecord();
    return records_.data() + static_cast<std::size_t>(pos_) * recordSize_ + offsets_[static_cast<std::size_t>(i)];
  }
  QByteArray StoredBlob(int) const override { return QByteArray(); }
  QString DisplayName() const override { return QStringLiteral("profile samples"); }

 private:
  void Move(int position) {
    const int n = RecordCount();
    bof_ = position < 0 || n == 0;
    eof_ = position >= n || n == 0;
    pos_ = std::clamp(position, 0, std::max(n - 1, 0));
  }
  // True when the value field gives `text` back as it is: it fits and
  // every character is a plain ASCII one other than NUL.
  bool StoredUnchanged(const QString& text) const {
    if (text.size() > fields_[1].size) return false;
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() != 0 && c.unicode() < 0x80; });
  }

  const std::vector<store::ProfileSample>& samples_;
  std::vector<std::uint8_t> records_;
};

}  // namespace

void TVelmDataModule::ResetExtremes() { Extremes.Reset(); }

void TVelmDataModule::ResetMaxMin() { MaxMin.Reset(); }

store::GraphLoad TVelmDataModule::LoadProfile(db::DataSet& record, int slot, int target) {
  store::GraphLoad load;
  if (slot < 1 || slot > store::kGraphSlots) return load;
  if (record.FieldByName(res::LoadStr(81)).AsInteger() != 1) return load;  // "WatchData"

  const int mode = record.FieldByName(res::LoadStr(49)).AsInteger();  // "Mode"
  const int number = record.FieldByName(res::LoadStr(48)).AsInteger();  // "ID"
  if (target == 0) target = mode;
  // Slot 0 is made anew; creating a table replaces its old files.
  store::RecreateSlotTables(DepthTable[0], WaterTable[0], WorkFolder, 0);

  const QString path = ProfilePath(number);
  if (!QFile::exists(path)) {
    MaxMin.ResetPosition(slot - 1);
    return load;
  }
  const store::ProfileLoad samples =
      store::LoadProfileSamples(path, mode, target, slot, Extremes, MaxMin);
  // Each sample becomes one record of slot 0, appended in one transfer.
  SampleSet depthRows(samples.samples.depth, QStringLiteral("Depth"));
  SampleSet waterRows(samples.samples.water, QStringLiteral("Water"));
  AppendAll(depthRows, DepthTable[0]);
  AppendAll(waterRows, WaterTable[0]);

  // Slot k becomes a copy of slot 0: made anew with the same fields, then
  // filled with slot 0's records (a copying move would create it twice).
  store::RecreateSlotTables(DepthTable[slot], WaterTable[slot], WorkFolder, slot);
  AppendAll(DepthTable[0], DepthTable[slot]);
  AppendAll(WaterTable[0], WaterTable[slot]);
  load.depth = depthRows.Rows();
  load.water = waterRows.Rows();

  const db::Field date = record.FieldByName(res::LoadStr(50));  // "Date"
  load.legend = store::LegendText{
      store::LegendDateText(date.IsNull() ? std::nullopt : std::optional<double>(date.AsDateTime())),
      record.FieldByName(res::LoadStr(51)).AsString()};  // "No"
  load.result = samples.result;
  return load;
}

void TVelmDataModule::CloseGraphTables() {
  for (int n = 1; n < store::kWorkSlots; ++n) {
    DepthTable[static_cast<std::size_t>(n)].Close();
    WaterTable[static_cast<std::size_t>(n)].Close();
  }
}

int TVelmDataModule::ScaleAxes(int unit, chart::Chart& chart) {
  const store::AxisPlan plan = store::PlanAxes(Extremes, unit);
  store::ApplyAxisPlan(plan, chart);
  return plan.timeSpan;
}
