#pragma once
// Text and number conversions of single field values, shared by the cursor
// fields, key searches and the SQL evaluator. Texts convert with the
// process-wide formats; alpha bytes are Windows-1252.
#include <QString>
#include <cstdint>

#include "platform/db/Format.h"

namespace db::values {

bool IsNull(const FieldDef& f, const std::uint8_t* p);
// Non-blob fields only (blob text goes through the blob value).
QString ToText(const FieldDef& f, const std::uint8_t* p);
// Writes the value of `text` into the field's bytes (width of the field);
// an empty text blanks the field. Throws DbError(Usage) for a text that is
// no value of the field's type.
void FromText(const FieldDef& f, const QString& text, std::uint8_t* p);
// Date, Time and Timestamp fields as the program's date-time; 0 when blank.
double ToDateTime(const FieldDef& f, const std::uint8_t* p);
void FromDateTime(const FieldDef& f, double value, std::uint8_t* p);
// Numeric fields (integers, numbers, BCD); 0 when blank.
double ToNumber(const FieldDef& f, const std::uint8_t* p);
void FromNumber(const FieldDef& f, double value, std::uint8_t* p);
bool IsNumeric(FieldType t);
bool IsDateLike(FieldType t);

}  // namespace db::values
