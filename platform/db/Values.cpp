#include "platform/db/Values.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/db/DbError.h"
#include "platform/os/Codec.h"
#include "platform/os/Formats.h"

namespace db::values {
namespace {

[[noreturn]] void BadValue(const FieldDef& f, const QString& text) {
  throw DbError(ErrorKind::Usage,
                QStringLiteral("'%1' is not a valid value for field \"%2\"").arg(text, f.name));
}

}  // namespace

bool IsNumeric(FieldType t) {
  return t == FieldType::Short || t == FieldType::Long || t == FieldType::AutoInc ||
         t == FieldType::Number || t == FieldType::Currency || t == FieldType::Bcd;
}

bool IsDateLike(FieldType t) {
  return t == FieldType::Date || t == FieldType::Time || t == FieldType::Timestamp;
}

bool IsNull(const FieldDef& f, const std::uint8_t* p) {
  const int w = FieldWidth(f.type, f.size);
  if (f.type == FieldType::Alpha) return p[0] == 0;
  if (IsBlobType(f.type)) return ReadBlobRef(p, w).length == 0;
  for (int i = 0; i < w; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

QString ToText(const FieldDef& f, const std::uint8_t* p) {
  using namespace codec;
  switch (f.type) {
    case FieldType::Alpha:
    case FieldType::Bytes: {
      const auto* c = reinterpret_cast<const char*>(p);
      if (c[0] == 0) return {};
      return os::FromAnsi(c, static_cast<qsizetype>(strnlen(c, static_cast<std::size_t>(f.size))));
    }
    case FieldType::Short:
      if (auto v = GetShort(p)) return QString::number(*v);
      return {};
    case FieldType::Long:
    case FieldType::AutoInc:
      if (auto v = GetLong(p)) return QString::number(*v);
      return {};
    case FieldType::Number:
    case FieldType::Currency:
      if (auto v = GetDouble(p)) return fmt::FloatToStr(*v);
      return {};
    case FieldType::Bcd:
      if (auto v = GetBcd(p, f.size)) return fmt::FloatToStr(*v);
      return {};
    case FieldType::Logical:
      if (p[0] == 0) return {};
      return p[0] == 0x81 ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date:
      if (IsNull(f, p)) return {};
      return fmt::DateToStr(ToDateTime(f, p));
    case FieldType::Time:
      if (IsNull(f, p)) return {};
      return fmt::TimeToStr(ToDateTime(f, p));
    case FieldType::Timestamp:
      if (IsNull(f, p)) return {};
      return fmt::DateTimeToStr(ToDateTime(f, p));
    default:
      return {};
  }
}

double ToDateTime(const FieldDef& f, const std::uint8_t* p) {
  using namespace codec;
  // Day numbers of 0001-01-01 and 9999-12-31: the dates the program can show.
  constexpr double kFirstDay = 1;
  constexpr double kLastDay = 3652059;
  auto invalid = [&]() -> double {
    throw DbError(ErrorKind::Corruption,
                  QStringLiteral("Field \"%1\" holds no valid date or time").arg(f.name));
  };
  switch (f.type) {
    case FieldType::Date:
      if (auto v = GetLong(p)) {
        if (*v < kFirstDay || *v > kLastDay) return invalid();
        return DateTimeFromDayNumber(*v);
      }
      return 0;
    case FieldType::Time:
      if (auto v = GetLong(p)) {
        if (*v < 0 || *v >= 86400000) return invalid();
        return DateTimeFromTimeMs(*v);
      }
      return 0;
    case FieldType::Timestamp:
      if (auto v = GetDouble(p)) {
        if (!(*v >= kFirstDay * 86400000.0 && *v < (kLastDay + 1) * 86400000.0)) return invalid();
        return DateTimeFromTimestampMs(*v);
      }
      return 0;
    default:
      throw DbError(ErrorKind::Usage,
                    QStringLiteral("Field \"%1\" holds no date or time").arg(f.name));
  }
}

void FromDateTime(const FieldDef& f, double value, std::uint8_t* p) {
  using namespace codec;
  // 0001-01-01 to 9999-12-31 in the program's days since 1899-12-30.
  if (!(value > -693594.0 && value < 2958466.0)) BadValue(f, QString::number(value));
  switch (f.type) {
    case FieldType::Date:
      PutLong(p, DayNumberFromDateTime(value));
      return;
    case FieldType::Time:
      PutLong(p, TimeMsFromDateTime(value));
      return;
    case FieldType::Timestamp:
      PutDouble(p, TimestampMsFromDateTime(value));
      return;
    default:
      throw DbError(ErrorKind::Usage,
                    QStringLiteral("Field \"%1\" holds no date or time").arg(f.name));
  }
}

double ToNumber(const FieldDef& f, const std::uint8_t* p) {
  using namespace codec;
  switch (f.type) {
    case FieldType::Short:
      return GetShort(p).value_or(0);
    case FieldType::Long:
    case FieldType::AutoInc:
      return GetLong(p).value_or(0);
    case FieldType::Number:
    case FieldType::Currency:
      return GetDouble(p).value_or(0);
    case FieldType::Bcd:
      return GetBcd(p, f.size).value_or(0);
    default:
      throw DbError(ErrorKind::Usage, QStringLiteral("Field \"%1\" holds no number").arg(f.name));
  }
}

void FromNumber(const FieldDef& f, double value, std::uint8_t* p) {
  using namespace codec;
  const auto integral = [&](double lo, double hi) {
    const double t = std::trunc(value);
    if (!(t >= lo && t <= hi)) BadValue(f, fmt::FloatToStr(value));
    return t;
  };
  switch (f.type) {
    case FieldType::Short:
      PutShort(p, static_cast<std::int16_t>(integral(-32767, 32767)));
      return;
    case FieldType::Long:
    case FieldType::AutoInc:
      PutLong(p, static_cast<std::int32_t>(integral(-2147483647.0, 2147483647.0)));
      return;
    case FieldType::Number:
    case FieldType::Currency:
      if (!std::isfinite(value)) BadValue(f, QStringLiteral("inf"));
      PutDouble(p, value);
      return;
    default:
      throw DbError(ErrorKind::Usage,
                    QStringLiteral("Field \"%1\" cannot be written as a number").arg(f.name));
  }
}

void FromText(const FieldDef& f, const QString& text, std::uint8_t* p) {
  const int w = FieldWidth(f.type, f.size);
  if (f.type == FieldType::Alpha || f.type == FieldType::Bytes) {
    std::memset(p, 0, static_cast<std::size_t>(w));
    os::ToAnsiInto(text, reinterpret_cast<char*>(p), w);
    return;
  }
  if (IsBlobType(f.type) || f.type == FieldType::Bcd) {
    throw DbError(ErrorKind::Usage,
                  QStringLiteral("Field \"%1\" cannot be written as text").arg(f.name));
  }
  if (text.trimmed().isEmpty()) {
    std::memset(p, 0, static_cast<std::size_t>(w));
    return;
  }
  switch (f.type) {
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc: {
      const auto v = fmt::StrToInt(text);
      if (!v) BadValue(f, text);
      FromNumber(f, *v, p);
      return;
    }
    case FieldType::Number:
    case FieldType::Currency: {
      const auto v = fmt::StrToFloat(text);
      if (!v) BadValue(f, text);
      FromNumber(f, *v, p);
      return;
    }
    case FieldType::Logical: {
      const QString t = text.trimmed().toLower();
      if (t == u"true" || t == u"t" || t == u"yes" || t == u"1") {
        p[0] = 0x81;
      } else if (t == u"false" || t == u"f" || t == u"no" || t == u"0") {
        p[0] = 0x80;
      } else {
        BadValue(f, text);
      }
      return;
    }
    case FieldType::Date: {
      const auto v = fmt::StrToDate(text);
      if (!v) BadValue(f, text);
      FromDateTime(f, *v, p);
      return;
    }
    case FieldType::Time: {
      const auto v = fmt::StrToTime(text);
      if (!v) BadValue(f, text);
      FromDateTime(f, *v, p);
      return;
    }
    case FieldType::Timestamp: {
      auto v = fmt::StrToDateTime(text);
      if (!v) v = fmt::StrToDate(text);
      if (!v) BadValue(f, text);
      FromDateTime(f, *v, p);
      return;
    }
    default:
      BadValue(f, text);
  }
}

}  // namespace db::values
