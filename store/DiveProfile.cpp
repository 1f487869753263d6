#include "store/DiveProfile.h"

#include <algorithm>
#include <cmath>

#include <QFile>

#include "platform/os/Codec.h"
#include "platform/os/Formats.h"

namespace store {
namespace {

// Sections of the sample part: depth lines, then temperature lines, each
// ended by an empty line or the end of the text.
void ReadSections(const std::vector<QByteArray>& rawLines, ProfileLines& out) {
  std::size_t i = 2;  // past the header line and the empty line after it
  for (std::vector<QString>* section : {&out.depth, &out.water}) {
    for (; i < rawLines.size(); ++i) {
      const QString line = os::FromAnsi(rawLines[i]).trimmed();
      if (line.isEmpty()) {
        ++i;
        break;
      }
      section->push_back(line);
    }
  }
}

double NumberOf(const QString& text) { return fmt::StrToFloat(text).value_or(0.0); }

QString ShortestForm(double value) {
  QString text = QString::number(value, 'g', 15);
  if (text.contains(u'e')) {
    text = QString::number(value, 'f', 15);
    while (text.endsWith(u'0')) text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
  }
  return text;
}

template <typename Convert>
QString ConvertText(const QString& text, Convert convert) {
  const std::optional<double> x = fmt::StrToFloat(text);
  if (!x) return text;
  return CutAfterFirstDecimal(ShortestForm(convert(*x)));
}

}  // namespace

ProfileLines SplitProfileText(const QByteArray& text) {
  std::vector<QByteArray> rawLines;
  for (const QByteArray& line : text.split('\n')) rawLines.push_back(line);
  ProfileLines out;
  ReadSections(rawLines, out);
  return out;
}

std::optional<ProfileLines> ReadProfileLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return SplitProfileText(file.readAll());
}

QString MetricValueText(const QString& line) {
  const long long v = fmt::StrToInt(line).value_or(0);
  if (v >= 0) return QString::asprintf("%3lld.%lld", v / 10, v % 10);
  // A negative value keeps its sign in front: "-5" gives " -0.5".
  const QString whole = QStringLiteral("-%1").arg(-v / 10);
  return QStringLiteral("%1.%2").arg(whole, 3).arg(-v % 10);
}

QString CutAfterFirstDecimal(const QString& number) {
  const qsizetype point = number.indexOf(u'.');
  if (point < 0) return number;
  return number.left(std::min(number.size(), point + 2));
}

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
  auto build = [&](const std::vector<QString>& section, int interval, auto convert) {
    std::vector<ProfileSample> samples;
    samples.reserve(section.size());
    int seconds = 0;
    for (const QString& line : section) {
      seconds += interval;
      QString text = recordMode == kMetric ? MetricValueText(line) : line;
      if (target != recordMode) text = convert(text, target);
      const double value = NumberOf(text);
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
