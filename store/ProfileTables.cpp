// The data module's profile loader on the graph work tables, the extremes
// of a load sequence and the axis scaling that the graph users share.
#include "store/ProfileTables.h"

#include <algorithm>

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

void RecreateSlotTables(db::Table& depth, db::Table& water, const QString& folder, int slot) {
  const auto recreate = [&](db::Table& table, const char* pattern, const char* valueField) {
    table.Close();
    table.SetDatabaseName(folder);
    table.SetTableName(QString::asprintf(pattern, slot));
    if (table.Exists()) table.DeleteTable();
    table.FieldDefs() = {db::FieldDef::DateTime(QStringLiteral("Time")),
                         db::FieldDef::String(QLatin1String(valueField), 6)};
    table.IndexDefs().clear();
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
  SampleSet(const std::vector<store::ProfileSample>& samples, const QString& valueField) {
    SetFieldList({db::FieldDef::DateTime(QStringLiteral("Time")), db::FieldDef::String(valueField, 6)}, 0);
    records_.resize(samples.size() * static_cast<std::size_t>(recordSize_));
    std::uint8_t* p = records_.data();
    for (const store::ProfileSample& s : samples) {
      db::values::FromDateTime(fields_[0], s.Time(), p + offsets_[0]);
      db::values::FromText(fields_[1], s.text, p + offsets_[1]);
      p += recordSize_;
    }
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
  std::vector<std::uint8_t> records_;
};

}  // namespace

void TVelmDataModule::ResetExtremes() { Extremes.Reset(); }

void TVelmDataModule::ResetMaxMin() { MaxMin.Reset(); }

store::GraphLoad TVelmDataModule::LoadProfile(db::DataSet& record, int slot, int target) {
  store::GraphLoad load;
  if (slot < 1 || slot > store::kGraphSlots) return load;
  if (record.FieldByName(res::LoadStr(81)).AsInteger() != 1) return load;  // "WatchData"

  for (db::Table* table : {&DepthTable[0], &WaterTable[0]}) {
    table->Close();
    if (!table->TableName().isEmpty() && table->Exists()) table->DeleteTable();
  }
  const int mode = record.FieldByName(res::LoadStr(49)).AsInteger();  // "Mode"
  const int number = record.FieldByName(res::LoadStr(48)).AsInteger();  // "ID"
  if (target == 0) target = mode;
  store::RecreateSlotTables(DepthTable[0], WaterTable[0], WorkFolder, 0);

  const QString path = ProfilePath(number);
  if (!QFile::exists(path)) {
    MaxMin.ResetPosition(slot - 1);
    return load;
  }
  const store::ProfileLoad samples =
      store::LoadProfileSamples(path, mode, target, slot, Extremes, MaxMin);
  // Each sample becomes one record of slot 0, appended in one transfer.
  for (int pair = 0; pair < 2; ++pair) {
    SampleSet source(pair == 0 ? samples.samples.depth : samples.samples.water,
                     pair == 0 ? QStringLiteral("Depth") : QStringLiteral("Water"));
    BatchMove.SetMode(db::BatchMove::Mode::Append);
    BatchMove.SetSource(&source);
    BatchMove.SetDestination(pair == 0 ? &DepthTable[0] : &WaterTable[0]);
    BatchMove.SetRecordCount(0);
    try {
      BatchMove.Execute();
    } catch (...) {
      BatchMove.SetMode(db::BatchMove::Mode::Copy);
      BatchMove.SetSource(nullptr);
      throw;
    }
    BatchMove.SetMode(db::BatchMove::Mode::Copy);
    BatchMove.SetSource(nullptr);
  }

  store::RecreateSlotTables(DepthTable[slot], WaterTable[slot], WorkFolder, slot);
  BatchMove.SetMode(db::BatchMove::Mode::Copy);
  for (int pair = 0; pair < 2; ++pair) {
    BatchMove.SetSource(pair == 0 ? &DepthTable[0] : &WaterTable[0]);
    BatchMove.SetDestination(pair == 0 ? &DepthTable[slot] : &WaterTable[slot]);
    BatchMove.SetRecordCount(0);
    BatchMove.Execute();
  }

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
