// The data module's profile loader on the graph work tables, the extremes
// of a load sequence and the axis scaling that the graph users share.
#include "store/ProfileTables.h"

#include <QFile>

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

// Appends the samples to a work table, one posted record each.
void AppendSamples(db::Table& table, const std::vector<store::ProfileSample>& samples,
                   const QString& valueField) {
  if (samples.empty()) return;
  db::Field time = table.FieldByName(QStringLiteral("Time"));
  db::Field value = table.FieldByName(valueField);
  for (const store::ProfileSample& s : samples) {
    table.Append();
    time.SetAsDateTime(s.Time());
    value.SetAsString(s.text);
    table.Post();
  }
}

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
  AppendSamples(DepthTable[0], samples.samples.depth, QStringLiteral("Depth"));
  AppendSamples(WaterTable[0], samples.samples.water, QStringLiteral("Water"));

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
