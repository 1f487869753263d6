#pragma once
// What the main window shows of the journal, worked out without widgets:
// the detail panel's captions and value texts, the record count, the rule
// for the commands that create records, and the index a title click sorts by.
#include <array>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include "store/JournalRecord.h"

namespace journal_view {

// Captions of the detail panel, by control name. Labels of
// measured values start with one blank outside the Japanese locale.
std::vector<std::pair<const char*, QString>> DetailCaptions(bool japaneseLocale);

// The value texts of the detail panel for one record.
struct DetailTexts {
  // Value controls by name ("NoText", "DiverText", ...), in panel order.
  std::vector<std::pair<const char*, QString>> values;
  QString date;         // DateText: "yyyy/mm/dd", empty for a zero date
  QString week;         // WeekText: "[Sun]", "[    ]" for a zero date
  QString lengthUnit;   // LengthUnitLabel1..3: "m" or "ft"
  const char* temperaturePicture = "";  // TmpImage1..3
  QString memo;         // DBMemo

  QString Value(const char* name) const;
};

DetailTexts RecordTexts(const JournalRecord& record);
// The panel with no current record: every value empty.
DetailTexts EmptyTexts();

// The unit labels that carry the data module's unit texts, by control name.
std::vector<std::pair<const char*, QString>> UnitLabels(const QString& capacity, const QString& pressure,
                                                        const QString& weight);

// "%04d" of the record count.
QString RecordCountText(int count);
// The journal holds at most 9999 records (one per profile number).
inline constexpr int kMaxRecords = 9999;
// The commands that create records: the tool buttons and the menu items.
inline constexpr const char* kCreatingButtons[] = {"NewSpdBtn", "RecvSpdBtn"};
inline constexpr const char* kCreatingItems[] = {"NewEdit", "DataRecv", "Import", "Ver1", "Dos"};
// Whether they may run: fewer than 9999 records, and the journal is not
// showing search results (a record created then would land in the search
// result table).
bool CreatingCommandsAllowed(int recordCount, bool searchMode);

// The journal's field names in table order (strings 48 to 81).
QStringList FieldNames();

// The index a title click sorts by. The descending flag belongs to the
// last clicked field only: a click on another field sorts it ascending.
class TitleSort {
 public:
  // The index name for a click on the title of `field`; empty when the
  // field has no index (nothing changes then).
  QString Click(const QString& field);
  const QString& LastField() const { return last_; }
  bool Descending() const { return descending_; }

 private:
  QStringList names_ = FieldNames();
  QString last_;
  bool descending_ = false;
};

// The index of field string `stringId` (48 to 81, -1 for a name that is no
// journal field): ascending "DATE" for the date, else the field's own name;
// descending its "REV_" index, empty when it has none.
QString SortIndexName(int stringId, const QString& field, bool descending);

}  // namespace journal_view
