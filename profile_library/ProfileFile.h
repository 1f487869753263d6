#pragma once
// A profile (INI) file with the semantics of Windows profile files:
//   - sections "[name]" and "key=value" lines; names compared without
//     regard to case and surrounding blanks;
//   - the first matching section and key win;
//   - values lose surrounding blanks, then one pair of matching quotes;
//   - writing replaces the key's line, adds a missing key after the last
//     entry of its section, and a missing section at the end of the file;
//   - every other line (comments, blank lines, foreign keys) is kept;
//   - the file is written completely under a temporary name and renamed
//     into place, so a failed write never leaves half a file.
// A file that cannot be read, or holds garbage, reads as empty.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velm {

class ProfileFile {
 public:
  explicit ProfileFile(std::filesystem::path path);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void RemoveKey(std::string_view section, std::string_view key);
  void RemoveSection(std::string_view section);

  // Writes the file; false when it could not be written (the old file then
  // stays as it was).
  bool Save() const;

 private:
  struct Range {
    std::size_t header;  // line of "[section]"
    std::size_t end;     // one past the section's last line
  };
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;

  std::filesystem::path path_;
  std::vector<std::string> lines_;
};

// Hex text of raw bytes and back; used for binary records in profile files.
std::string ToHex(const void* data, std::size_t size);
bool FromHex(std::string_view hex, void* data, std::size_t size);

}  // namespace velm
