#pragma once
// The program's numbered string table: every caption, label, hint and
// message is loaded by its number.
#include <QString>
#include <vector>

namespace res {

// The text of string `id`; an empty text when the table has no such entry.
QString LoadStr(int id);
bool HasStr(int id);
std::vector<int> StringIds();

// The table's text with Windows-style mnemonics ("&Files") turned into the
// form Qt shows; both use '&'.
inline QString LoadCaption(int id) { return LoadStr(id); }

}  // namespace res
