#pragma once
// The journal entry form's rules that need no display: time texts, the
// required-field check, the checks made when a field is left, and the air
// consumption calculation.
#include <QString>
#include <QStringList>

namespace entry {

// "h", "m", "s" joined as "h:m:s"; each part trimmed, an empty part "00".
QString JoinTime(const QString& hour, const QString& minute, const QString& second);
// "hh:nn:ss" split at its colons.
void SplitTime(const QString& time, QString& hour, QString& minute, QString& second);

// 0 when the date parts and No are filled and No is "-" or a number that is
// not negative; else the string number of the message to show: 1900 (a part
// is empty) or 1890 (No is negative or no number at all).
int CheckRequired(const QString& year, const QString& month, const QString& day,
                  const QString& no);

// The stored form of No: "0" becomes "-".
QString StoredNo(const QString& no);

// Field checks, each giving 0 or the string number of its message.
int CheckDate(const QString& year, const QString& month, const QString& day);  // 1891
int CheckDecimal(const QString& text, bool dashAllowed);                         // 1891
int CheckHour(const QString& text);                                              // 1910
int CheckMinuteOrSecond(const QString& text);                                    // 1920

// The surface factor of an average depth text ("12.3"): the band of its
// whole metres (unit mode 1) or feet (unit mode 2); -1 outside the bands.
double DepthFactor(const QString& averageDepth, int unitMode);

struct AirConsumption {
  int messageId = 0;  // 0 on success, else the message to show
  double value = 0;   // pressure drop per minute at the surface
  QString text;       // the value as shown, "0.##"
};
AirConsumption CalcAirConsumption(const QString& startPressure, const QString& endPressure,
                                  const QString& averageDepth, const QString& hour,
                                  const QString& minute, const QString& second, int unitMode);

// "0.##": at most two decimals, no trailing zeros.
QString FormatHundredths(double value);

// The memo's lines joined without line breaks.
QString JoinMemo(const QString& memo);

}  // namespace entry
