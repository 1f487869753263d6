#pragma once
// The graph work tables: slot n (0-8) is the pair "Depth%02d.DB" ("Time",
// "Depth") and "WATER%02d.DB" ("Time", "Water") in the work folder. Every
// load fills slot 0 and copies it to the slot of the dive's graph line.
#include <optional>
#include <vector>

#include <QString>

#include "store/DiveProfile.h"

namespace db {
class Table;
}

namespace store {

inline constexpr int kWorkSlots = kGraphSlots + 1;  // slot 0 stages, 1-8 are drawn

// The legend texts of a loaded dive.
struct LegendText {
  QString date;    // short date, then " (", the weekday name, ")"
  QString number;  // the record's dive number
};

// The rows of one work table as they read back: sample times in whole
// seconds, in ascending order, with their value texts as stored (cut to
// the field's width, through the table's character set).
struct WorkRows {
  std::vector<int> seconds;
  std::vector<QString> texts;
  // The text of the row at exactly `second`; empty when there is none.
  QString At(int second) const;
};

struct GraphLoad {
  int result = kNoProfile;  // the record's own mode, or kNoProfile
  // Filled once the record's profile file was read.
  std::optional<LegendText> legend;
  // What the slot's depth and water tables hold now, so that the graph
  // need not read them back.
  WorkRows depth;
  WorkRows water;
};

// "2026/12/11 (Fri)"; an empty date gives an empty text.
QString LegendDateText(std::optional<double> date);

// Closes the tables, points them at slot `slot` of `folder`, deletes old
// files of those names and creates and opens them empty.
void RecreateSlotTables(db::Table& depth, db::Table& water, const QString& folder, int slot);

}  // namespace store
