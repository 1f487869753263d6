#include "updater/VersionInfo.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace updater {
namespace {

// Parses the entries that follow a signature; nothing when the block does
// not end within its limit.
std::optional<VersionValues> ParseEntries(std::string_view rest) {
  rest = rest.substr(0, kMaxVersionBlock - kVersionSignature.size());
  VersionValues values;
  std::size_t pos = 0;
  while (pos < rest.size()) {
    if (rest[pos] == '\0') return values;  // the end mark
    const std::size_t keyEnd = rest.find('\0', pos);
    if (keyEnd == std::string_view::npos) return std::nullopt;
    const std::size_t valueEnd = rest.find('\0', keyEnd + 1);
    if (valueEnd == std::string_view::npos) return std::nullopt;
    values.emplace(std::string(rest.substr(pos, keyEnd - pos)),
                   std::string(rest.substr(keyEnd + 1, valueEnd - keyEnd - 1)));
    pos = valueEnd + 1;
  }
  return std::nullopt;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::optional<VersionValues> FindVersionInfo(std::string_view bytes) {
  for (std::size_t at = bytes.find(kVersionSignature); at != std::string_view::npos;
       at = bytes.find(kVersionSignature, at + 1)) {
    if (auto values = ParseEntries(bytes.substr(at + kVersionSignature.size()))) return values;
  }
  return std::nullopt;
}

int LanguageCheck(const std::filesystem::path& programFile) {
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(programFile.string().c_str(), "rb"));
  if (!file) return errno != 0 ? errno : EIO;
  std::string bytes;
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
  if (std::ferror(file.get())) return EIO;

  const std::optional<VersionValues> info = FindVersionInfo(bytes);
  if (!info) return kNoVersionInformation;
  if (info->contains("\\StringFileInfo\\041103A4\\ProductVersion")) return 411;
  if (info->contains("\\StringFileInfo\\040904E4\\CompanyName")) return 409;
  return 0;
}

}  // namespace updater
