#pragma once
// A dive's profile file "VELM%04d.LOG" read into its depth and
// water-temperature samples, with the value texts the graph work tables
// hold, and the running extremes of a load sequence.
//
// The file, one item per line:
//   1      header line, 17 comma-separated values (not read here)
//   2      empty
//   3 ...  depth samples "%03d", one every 5 seconds, the first at 00:00:05
//   next   empty line: end of the depth section
//   then   water-temperature samples "%03d", one every 300 seconds, the
//          first at 00:05:00
//   end    end of the file, or an empty line
// Lines are trimmed first, so blanks and a carriage return count as empty.
//
// Sample values are in the record's units ("Mode"): 1 = tenths of a metre
// and tenths of a degree Celsius (the line 123 means 12.3), 2 = whole feet
// and whole degrees Fahrenheit.
#include <array>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

namespace store {

inline constexpr int kMetric = 1;
inline constexpr int kImperial = 2;
// The loader's result for a record without a usable profile.
inline constexpr int kNoProfile = -10;
inline constexpr int kDepthInterval = 5;    // seconds between depth samples
inline constexpr int kWaterInterval = 300;  // seconds between temperature samples
inline constexpr int kGraphSlots = 8;       // dives drawn at once, slots 1-8

// The trimmed lines of the two sample sections.
struct ProfileLines {
  std::vector<QString> depth;
  std::vector<QString> water;
};
ProfileLines SplitProfileText(const QByteArray& text);
// Nothing when the file cannot be opened.
std::optional<ProfileLines> ReadProfileLines(const QString& path);

// A metric sample line as the work tables hold it: "%3d.%d" of the line's
// integer in tenths ("007" gives "  0.7", "123" gives " 12.3"); a line
// that is not an integer counts as 0.
QString MetricValueText(const QString& line);

// A value text converted to `target` units (1 metric, 2 imperial), written
// in its shortest decimal form and cut, not rounded, after the first digit
// behind the point: 40 feet give "12.1", 12.3 metres "40.3", 77 degrees
// Fahrenheit "25". A text that is not a number, or another target, is kept.
QString ConvertDepthText(const QString& text, int target);
QString ConvertWaterText(const QString& text, int target);

// "hh:mm:ss" of an elapsed time.
QString SampleTimeText(int seconds);

// A value text as a number, blanks around it ignored; 0 when it is none.
// The same number as the program's float conversion of the trimmed text.
double ValueOfText(const QString& text);

struct ProfileSample {
  int seconds = 0;   // elapsed time of the sample
  QString text;      // value text in the target units
  double value = 0;  // the text as a number; 0 when it is none
  // The elapsed time as a date-time value (days).
  double Time() const { return seconds / 86400.0; }
};

struct ProfileSamples {
  std::vector<ProfileSample> depth;
  std::vector<ProfileSample> water;
};

// The samples of a record of mode `recordMode` in `target` units (0 keeps
// the record's own units).
ProfileSamples SamplesFromLines(const ProfileLines& lines, int recordMode, int target);

// Per-dive extremes of a load sequence: position k - 1 holds the dive in
// slot k; after k dives position k holds their combination.
struct MAXMIN {
  static constexpr int kPositions = kGraphSlots + 1;

  int count = 0;
  std::array<int, kPositions> maxDepth{};  // largest depth, truncated
  std::array<double, kPositions> maxWater{};
  std::array<double, kPositions> minWater{};

  MAXMIN() { Reset(); }
  void Reset();
  void ResetPosition(int position);
  // Combines positions 0 .. k-1 into position k; the count becomes k.
  void Combine(int k);
};

// The data module's extremes of the current load sequence.
struct ProfileExtremes {
  static constexpr int kNoMaxDepth = -10000;
  static constexpr double kNoMaxWater = -10000.0;
  static constexpr double kNoMinWater = 10000.0;

  int maxDepth = kNoMaxDepth;
  int minDepth = 0;
  double maxWater = kNoMaxWater;
  double minWater = kNoMinWater;
  int longestTime = 0;  // seconds

  void Reset() { *this = ProfileExtremes{}; }
};

struct ProfileLoad {
  int result = kNoProfile;  // the record's mode, or kNoProfile
  ProfileSamples samples;   // for the slot's work tables
};

// Reads the profile file at `path` of a record of mode `recordMode` for
// slot `slot` (1-8) in `target` units (0: the record's own). The dive's
// extremes go to MAXMIN position slot - 1 and into `extremes`, positions
// 0 .. slot - 1 are combined, and the longest time grows to the dive's
// length. A file that cannot be read, or that has no depth sample, gives
// kNoProfile, leaves `extremes` as they were and the slot's position at
// its reset values, so that a dive that is not drawn does not stretch the
// axes.
ProfileLoad LoadProfileSamples(const QString& path, int recordMode, int target, int slot,
                               ProfileExtremes& extremes, MAXMIN& maxmin);

}  // namespace store
