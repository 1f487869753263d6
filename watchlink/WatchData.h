#pragma once
// Decoding of the watch's memory image into the dive's profile file.
//
// Header block (block 0, 32 bytes). BCD fields hold one decimal digit per
// nibble, high nibble first; nibbles of 10 to 15 count with their weight.
//   0-2    not used
//   3      block count: data blocks that follow (binary)
//   4      unit code: 0xAD metric ('M'), 0xA6 imperial ('F'); letter = code - 96
//   5-6    year (4 digits)        7 month (2)        8 day (2)
//   9      dive number (binary, 0 = none)
//   10-12  entry hour, minute, second (2 digits each)
//   13-15  surfacing hour, minute, second
//   16-17  rest time (surface interval) hours, minutes
//   18 + high nibble of 19   maximum depth (3 digits)
//   low nibble of 19 + 20    minimum water temperature (3 digits)
//   21 + high nibble of 22   average depth (3 digits)
//   low nibble of 22 + 23    dive time in whole minutes (3 digits)
//   24-30  not used           31 0xFF: no data block follows
// Depths are tenths of a metre ('M') or whole feet ('F'); temperatures
// tenths of a degree Celsius or whole degrees Fahrenheit.
//
// Sample stream (blocks 1 onward as one byte sequence): 0xEF separates the
// depth section (a sample every 5 s) from the water-temperature section (one
// every 5 min); 0xFF ends the stream. Other bytes pack two three-digit
// values into every three bytes:
//   byte 1: hundreds A | tens A   byte 2: units A | hundreds B
//   byte 3: tens B | units B
// A separator restarts the packing; a value left incomplete by a separator or
// the end is dropped. 999 marks a missing sample.
//
// Profile file "VELM%04d.LOG", one item per line:
//   M,2001,5,12,1,10,4,0,10,48,30,1,35,185,214,92,44   header line (%c then 16 x %d)
//   (empty)
//   005 ...        depth samples, "%03d"
//   (empty)        one empty line for every separator byte
//   215 ...        water-temperature samples, "%03d"
// The end byte writes nothing.
#include <cstdint>
#include <span>
#include <string_view>

namespace watch {

// Result codes of the decoders and the download. The system's operations
// return these as plain integers; 1 is success.
enum Result : int {
  kOk = 1,
  kBadUnit = -3001,         // unit code neither 0xAD nor 0xA6
  kPortFailed = -3002,      // the port could not be opened or configured
  kTransferFailed = -3003,  // a request byte could not be sent or a block not received
  kCreateFailed = -1002,    // the profile file could not be created
  kWriteFailed = -1005,     // writing the profile file failed
};

inline constexpr int kBlockSize = 32;
inline constexpr int kImageSize = 7168;  // the watch's memory
inline constexpr int kMaxBlocks = 223;   // blocks one download reads at most
inline constexpr std::uint8_t kSeparator = 0xEF;
inline constexpr std::uint8_t kEndByte = 0xFF;
inline constexpr int kMissingSample = 999;

// The decoded header of one download.
struct WatchHeader {
  int blockCount = 0;
  char unit = 0;  // 'M' or 'F'
  int year = 0;
  int month = 0;
  int day = 0;
  int diveNumber = 0;
  int entryHour = 0;
  int entryMinute = 0;
  int entrySecond = 0;
  int surfacingHour = 0;
  int surfacingMinute = 0;
  int surfacingSecond = 0;
  int restHours = 0;
  int restMinutes = 0;
  int maxDepth = 0;
  int minWaterTemperature = 0;
  int averageDepth = 0;
  int diveMinutes = 0;
};

// Where the decoders write the profile file's lines; tests put a failing
// writer in its place.
class ProfileSink {
 public:
  virtual ~ProfileSink() = default;
  // Writes `line` and a line break; false when the write failed.
  virtual bool WriteLine(std::string_view line) = 0;
};

// Decodes the header block into `header` (zeroed first) and writes the header
// line and the empty line after it. kBadUnit (nothing written), kWriteFailed
// or kOk.
int DecodeHeader(std::span<const std::uint8_t, kBlockSize> block, ProfileSink& out,
                 WatchHeader& header);

// Decodes the sample stream (the image from block 1 on) up to its end byte,
// or the end of `stream`, into sample and empty lines. Runs of missing
// samples are filled by FillGap. kOk, or kWriteFailed at the first failed
// write.
int DecodeSamples(std::span<const std::uint8_t> stream, ProfileSink& out);

// Writes `n` values stepping from `a` toward `b`, then `b` itself, each as
// "%03d". kOk or kWriteFailed.
int FillGap(int a, int b, int n, ProfileSink& out);

// A watch memory image (as a download assembles it, or saved to a file)
// decoded into the profile file: the header block, then the sample stream
// of the blocks up to the first whose last byte is 0xFF (at most
// kMaxBlocks), as the download reads them. An image shorter than the
// memory counts as 0xFF-filled. kBadUnit (nothing written) when it holds no
// valid header block, kWriteFailed or kOk.
int DecodeImage(std::span<const std::uint8_t> image, ProfileSink& out, WatchHeader& header);

// The header line as the profile file holds it, without its line break.
std::string_view FormatHeaderLine(const WatchHeader& header, std::span<char, 160> buffer);

}  // namespace watch
