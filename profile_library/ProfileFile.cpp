#include "profile_library/ProfileFile.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace velm {
namespace {

constexpr std::uintmax_t kMaxFileSize = 16u << 20;  // a larger file is not ours

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y && std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

// The section name of a "[name]" line, or nothing for other lines.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return line.substr(1, close - 1);
}

std::string EncodeValue(std::string_view value) {
  // A line break cannot live in a profile value: keep the first line.
  value = value.substr(0, value.find_first_of("\r\n"));
  const bool needsQuotes =
      !value.empty() && (value.front() == ' ' || value.back() == ' ' || value.front() == '\t' ||
                         value.back() == '\t' ||
                         ((value.front() == '"' || value.front() == '\'') && value.size() >= 2 &&
                          value.back() == value.front()));
  if (needsQuotes) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

std::string DecodeValue(std::string_view raw) {
  raw = Trim(raw);
  if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front()) {
    raw = raw.substr(1, raw.size() - 2);
  }
  return std::string(raw);
}

}  // namespace

ProfileFile::ProfileFile(std::filesystem::path path) : path_(std::move(path)) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path_, ec);
  if (ec || size > kMaxFileSize) return;
  std::ifstream in(path_, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
  }
}

std::optional<ProfileFile::Range> ProfileFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionOf(lines_[i]);
    if (!name || !SameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionOf(lines_[end])) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> ProfileFile::FindKey(const Range& range, std::string_view key) const {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const std::string_view line = lines_[i];
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (SameName(line.substr(0, eq), key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto at = FindKey(*range, key);
  if (!at) return std::nullopt;
  const std::string_view line = lines_[*at];
  return DecodeValue(line.substr(line.find('=') + 1));
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string entry = std::string(Trim(key)) + "=" + EncodeValue(value);
  auto range = FindSection(section);
  if (!range) {
    lines_.push_back("[" + std::string(Trim(section)) + "]");
    lines_.push_back(std::move(entry));
    return;
  }
  if (const auto at = FindKey(*range, key)) {
    lines_[*at] = std::move(entry);
    return;
  }
  // After the section's last non-blank line.
  std::size_t pos = range->end;
  while (pos > range->header + 1 && Trim(lines_[pos - 1]).empty()) --pos;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(entry));
}

void ProfileFile::RemoveKey(std::string_view section, std::string_view key) {
  const auto range = FindSection(section);
  if (!range) return;
  if (const auto at = FindKey(*range, key)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
  }
}

void ProfileFile::RemoveSection(std::string_view section) {
  while (const auto range = FindSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
  }
}

bool ProfileFile::Save() const {
  std::error_code ec;
  if (path_.has_parent_path() && !std::filesystem::is_directory(path_.parent_path(), ec)) {
    return false;
  }
  const std::filesystem::path temp = path_.string() + ".new";
  {
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = true;
    for (const std::string& line : lines_) {
      ok = ok && std::fwrite(line.data(), 1, line.size(), f) == line.size() &&
           std::fwrite("\r\n", 1, 2, f) == 2;
    }
    ok = ok && std::fflush(f) == 0 && ::fsync(fileno(f)) == 0;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::filesystem::rename(temp, path_, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

std::string ToHex(const void* data, std::size_t size) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::string out(size * 2, '0');
  for (std::size_t i = 0; i < size; ++i) {
    out[2 * i] = kDigits[bytes[i] >> 4];
    out[2 * i + 1] = kDigits[bytes[i] & 0xF];
  }
  return out;
}

bool FromHex(std::string_view hex, void* data, std::size_t size) {
  if (hex.size() != size * 2) return false;
  auto* bytes = static_cast<unsigned char*>(data);
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < size; ++i) {
    const int hi = digit(hex[2 * i]);
    const int lo = digit(hex[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes[i] = static_cast<unsigned char>(hi * 16 + lo);
  }
  return true;
}

}  // namespace velm
