#include "store/DiveProfile.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <cstring>

#include <QFile>

#include "platform/os/Codec.h"
#include "platform/os/Formats.h"

namespace store {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Sections of the sample part: depth lines, then temperature lines, each
// ended by an empty line or the end of the text.
ProfileLines ReadSections(const QByteArray& text) {
  ProfileLines out;
  // The watch writes "%03d": lines of one to three digits come back again
  // and again, so each is made once and shared.
  std::vector<QString> shortLines(3000);
  const auto line = [&shortLines](const char* a, const char* b) -> QString {
    const auto n = b - a;  // at least 1
    if (n <= 3 && std::all_of(a, b, [](char c) { return c >= '0' && c <= '9'; })) {
      int value = 0;
      for (const char* c = a; c != b; ++c) value = value * 10 + (*c - '0');
      QString& made = shortLines[static_cast<std::size_t>(1000 * (n - 1) + value)];
      if (made.isNull()) made = os::FromAnsi(a, n);
      return made;
    }
    return os::FromAnsi(a, n);
  };
  const char* p = text.constData();
  const char* const end = p + text.size();
  int lineNo = 0;
  std::vector<QString>* section = &out.depth;
  while (p < end && section != nullptr) {
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    if (eol == nullptr) eol = end;
    const char* a = p;
    const char* b = eol;
    p = eol + 1;
    if (lineNo++ < 2) continue;  // the header line and the empty line after it
    while (a < b && IsBlank(*a)) ++a;
    while (b > a && IsBlank(b[-1])) --b;
    if (a == b) {
      section = section == &out.depth ? &out.water : nullptr;
      continue;
    }
    section->push_back(line(a, b));
  }
  return out;
}

// A sample text as a number. Plain decimals ("-12.3", "007") take a fast
// road; anything else goes through the program's number conversion.
std::optional<double> ParseNumber(const QString& text) {
  char buffer[32];
  qsizetype a = 0, b = text.size();
  while (a < b && text.at(a).isSpace()) ++a;
  while (b > a && text.at(b - 1).isSpace()) --b;
  const qsizetype n = b - a;
  bool plain = n > 0 && n < static_cast<qsizetype>(sizeof buffer);
  for (qsizetype i = 0; plain && i < n; ++i) {
    const char16_t c = text.at(a + i).unicode();
    plain = (c >= u'0' && c <= u'9') || c == u'.' || (c == u'-' && i == 0);
    buffer[i] = static_cast<char>(c);
  }
  if (plain) {
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value);
    if (error == std::errc() && end == buffer + n && std::isfinite(value)) return value;
  }
  return fmt::StrToFloat(text);
}

// The value with 15 significant digits and no exponent, cut after the
// first digit behind the point.
QString CutForm(double value) {
  char buffer[400];
  auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  if (std::memchr(buffer, 'e', static_cast<std::size_t>(written.ptr - buffer)) != nullptr) {
    written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 15);
  }
  int n = static_cast<int>(written.ptr - buffer);
  if (const char* point = static_cast<const char*>(std::memchr(buffer, '.', static_cast<std::size_t>(n)))) {
    n = std::min(n, static_cast<int>(point - buffer) + 2);
  }
  return QString::fromLatin1(buffer, n);
}

template <typename Convert>
QString ConvertText(const QString& text, Convert convert) {
  const std::optional<double> x = ParseNumber(text);
  if (!x) return text;
  return CutForm(convert(*x));
}

}  // namespace

double ValueOfText(const QString& text) { return ParseNumber(text).value_or(0.0); }

ProfileLines SplitProfileText(const QByteArray& text) { return ReadSections(text); }

std::optional<ProfileLines> ReadProfileLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return SplitProfileText(file.readAll());
}

namespace {

// "%3d.%d" of v / 10 and the remainder; a negative value keeps its sign in
// front ("-5" gives " -0.5").
QString TenthsText(long long v) {
  unsigned long long a = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  // Filled from the right: tenth, point, whole digits, sign, blanks to 5.
  char16_t buffer[32];
  char16_t* const end = buffer + 32;
  char16_t* p = end;
  *--p = static_cast<char16_t>(u'0' + a % 10);
  *--p = u'.';
  a /= 10;
  do {
    *--p = static_cast<char16_t>(u'0' + a % 10);
    a /= 10;
  } while (a != 0);
  if (v < 0) *--p = u'-';
  while (end - p < 5) *--p = u' ';
  return QString(reinterpret_cast<const QChar*>(p), end - p);
}

// A metric line's integer; 0 when it is none. Plain lines of up to nine
// digits after an optional sign are read here, anything else goes through
// the program's integer conversion.
int TenthsOfLine(const QString& line) {
  const qsizetype n = line.size();
  const qsizetype first = n > 0 && (line.at(0) == u'-' || line.at(0) == u'+') ? 1 : 0;
  if (n > first && n - first <= 9) {
    int v = 0;
    qsizetype i = first;
    for (; i < n; ++i) {
      const char16_t c = line.at(i).unicode();
      if (c < u'0' || c > u'9') break;
      v = v * 10 + (c - u'0');
    }
    if (i == n) return line.at(0) == u'-' ? -v : v;
  }
  return fmt::StrToInt(line).value_or(0);
}

}  // namespace

QString MetricValueText(const QString& line) { return TenthsText(TenthsOfLine(line)); }

QString ConvertDepthText(const QString& text, int target) {
  if (target == kMetric) return ConvertText(text, [](double feet) { return feet * 0.3048; });
  if (target == kImperial) return ConvertText(text, [](double metres) { return metres * 3.28084; });
  return text;
}

QString ConvertWaterText(const QString& text, int target) {
  if (target == kMetric) return ConvertText(text, [](double f) { return (f - 32) * 5 / 9; });
  if (target == kImperial) return ConvertText(text, [](double c) { return c * 1.8 + 32; });
  return text;
}

QString SampleTimeText(int seconds) {
  return QString::asprintf("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

ProfileSamples SamplesFromLines(const ProfileLines& lines, int recordMode, int target) {
  if (target == 0) target = recordMode;
  // A dive comes back to the same values again and again: the metric texts
  // of 0.0 to 99.9 are made once per section and shared.
  constexpr int kSharedTenths = 1000;
  auto build = [&](const std::vector<QString>& section, int interval, auto convert) {
    std::vector<ProfileSample> samples;
    samples.reserve(section.size());
    std::vector<QString> shared(recordMode == kMetric ? kSharedTenths : 0);
    int seconds = 0;
    for (const QString& line : section) {
      seconds += interval;
      QString text;
      double value;
      if (recordMode == kMetric) {
        const int tenths = TenthsOfLine(line);
        if (tenths >= 0 && tenths < kSharedTenths) {
          QString& made = shared[static_cast<std::size_t>(tenths)];
          if (made.isNull()) made = TenthsText(tenths);
          text = made;
        } else {
          text = TenthsText(tenths);
        }
        value = tenths / 10.0;  // the number the text reads
      } else {
        text = line;
        value = ValueOfText(text);
      }
      if (target != recordMode) {
        text = convert(text, target);
        value = ValueOfText(text);
      }
      samples.push_back({seconds, std::move(text), value});
    }
    return samples;
  };
  ProfileSamples out;
  out.depth = build(lines.depth, kDepthInterval, ConvertDepthText);
  out.water = build(lines.water, kWaterInterval, ConvertWaterText);
  return out;
}

void MAXMIN::Reset() {
  count = 0;
  for (int p = 0; p < kPositions; ++p) ResetPosition(p);
}

void MAXMIN::ResetPosition(int position) {
  if (position < 0 || position >= kPositions) return;
  maxDepth[position] = 0;
  maxWater[position] = -9999.0;
  minWater[position] = 9999.0;
}

void MAXMIN::Combine(int k) {
  if (k < 1 || k >= kPositions) return;
  ResetPosition(k);
  for (int p = 0; p < k; ++p) {
    maxDepth[k] = std::max(maxDepth[k], maxDepth[p]);
    maxWater[k] = std::max(maxWater[k], maxWater[p]);
    minWater[k] = std::min(minWater[k], minWater[p]);
  }
  count = k;
}

ProfileLoad LoadProfileSamples(const QString& path, int recordMode, int target, int slot,
                               ProfileExtremes& extremes, MAXMIN& maxmin) {
  ProfileLoad load;
  if (slot < 1 || slot > kGraphSlots) return load;
  const int position = slot - 1;
  maxmin.ResetPosition(position);
  const std::optional<ProfileLines> lines = ReadProfileLines(path);
  if (!lines) return load;
  load.samples = SamplesFromLines(*lines, recordMode, target);
  const ProfileSamples& s = load.samples;

  if (!s.depth.empty()) {
    for (const ProfileSample& d : s.depth) {
      const int depth = static_cast<int>(std::trunc(std::clamp(d.value, -1e9, 1e9)));
      extremes.maxDepth = std::max(extremes.maxDepth, depth);
      extremes.minDepth = std::min(extremes.minDepth, depth);
      maxmin.maxDepth[position] = std::max(maxmin.maxDepth[position], depth);
    }
    for (const ProfileSample& w : s.water) {
      extremes.maxWater = std::max(extremes.maxWater, w.value);
      extremes.minWater = std::min(extremes.minWater, w.value);
      maxmin.maxWater[position] = std::max(maxmin.maxWater[position], w.value);
      maxmin.minWater[position] = std::min(maxmin.minWater[position], w.value);
    }
    const int length = std::max(static_cast<int>(s.depth.size()) * kDepthInterval,
                                static_cast<int>(s.water.size()) * kWaterInterval);
    extremes.longestTime = std::max(extremes.longestTime, length);
    load.result = recordMode;
  }
  maxmin.Combine(slot);
  return load;
}

}  // namespace store
