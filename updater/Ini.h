#pragma once
// Reading one value from a small INI text: the App Paths file and the update
// package description. Section and key names compare without regard to case,
// as Windows profile files do; the value is the rest of the line after "=",
// without surrounding blanks.
#include <filesystem>
#include <optional>

#include <QString>

namespace updater {

// The value, or nothing when the file, the section or the key is missing.
std::optional<QString> IniValue(const std::filesystem::path& file, const QString& section,
                                const QString& key);

}  // namespace updater
