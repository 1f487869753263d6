#pragma once
// The journal table "LOG.DB": its 34 fields and 63 indexes, in the order the
// program creates them. Field names are the texts of strings 48 to 81.
#include <vector>

#include "platform/db/Format.h"

namespace journal {

std::vector<db::FieldDef> FieldDefs();
std::vector<db::IndexDef> IndexDefs();

// String numbers of the fields the grid never shows: "ID", "Mode", "WatchData".
inline constexpr int kIdField = 48;
inline constexpr int kModeField = 49;
inline constexpr int kWatchDataField = 81;

}  // namespace journal
