#pragma once
// The version information of an installed program file and the language
// check built on it.
//
// The Keldoran build embeds its version information as one marked block
// (app/VersionInfo.cpp.in writes it); the updater finds the block by scanning
// the program file, so the same reader works whatever the executable format.
// Layout of the block:
//
//   signature  "KeldoranVersionInfo1" and one zero byte (21 bytes)
//   entries    key, zero byte, value, zero byte; repeated
//   end        one zero byte where the next key would start
//
// Keys name a value the way a Windows version-resource query does,
// "\StringFileInfo\<language and code page>\<name>", e.g.
// "\StringFileInfo\040904E4\CompanyName". Texts are UTF-8. The block, from
// signature to end, is at most kMaxVersionBlock bytes; an occurrence of the
// signature that is not followed by a complete block is ignored.
#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace updater {

inline constexpr std::string_view kVersionSignature{"KeldoranVersionInfo1\0", 21};
inline constexpr std::size_t kMaxVersionBlock = 4096;

// What a program file without version information reports, as Windows does
// for a file without a version resource (ERROR_RESOURCE_TYPE_NOT_FOUND).
inline constexpr int kNoVersionInformation = 1813;

using VersionValues = std::map<std::string, std::string>;

// The first complete block in `bytes`, or nothing.
std::optional<VersionValues> FindVersionInfo(std::string_view bytes);

// The language check of a program file: 411 when its version information has
// "\StringFileInfo\041103A4\ProductVersion" (the Japanese edition), else 409
// when it has "\StringFileInfo\040904E4\CompanyName" (the English edition),
// else 0. Without version information the result is the error that stopped
// the reading: the system's error number when the file cannot be read,
// kNoVersionInformation when it holds no block.
int LanguageCheck(const std::filesystem::path& programFile);

}  // namespace updater
