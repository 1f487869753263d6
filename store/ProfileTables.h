#pragma once
// The graph work tables: slot n (0-8) is the pair "Depth%02d.DB" ("Time",
// "Depth") and "WATER%02d.DB" ("Time", "Water") in the work folder. Every
// load fills slot 0 and copies it to the slot of the dive's graph line.
#include <optional>

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

struct GraphLoad {
  int result = kNoProfile;  // the record's own mode, or kNoProfile
  // Filled once the record's profile file was read.
  std::optional<LegendText> legend;
};

// "2026/12/11 (Fri)"; an empty date gives an empty text.
QString LegendDateText(std::optional<double> date);

// Closes the tables, points them at slot `slot` of `folder`, deletes old
// files of those names and creates and opens them empty.
void RecreateSlotTables(db::Table& depth, db::Table& water, const QString& folder, int slot);

}  // namespace store
