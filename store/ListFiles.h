#pragma once
// Reading the article list files of the user configuration folder.
#include <optional>

#include <QString>
#include <QStringList>

namespace lists {

inline constexpr int kEntryWidth = 20;  // width of the diver, buddy and place fields

// "DIVER.LST" / "LOCA.LST": one entry per line, empty lines included, each
// cut to 20 characters. A missing or unreadable file is an empty list.
QStringList ReadPlainList(const QString& path);

// "USERDEF.LST": each line "name,file", split at its first comma; a line
// without a comma is all name with an empty file.
void ReadUserDefList(const QString& path, QStringList& names, QStringList& files);

// The text lines of a file with their line ends removed; the last line
// counts only when it is not empty.
QStringList ReadLines(const QString& path);
// The same, telling a missing file (an empty list) from one that exists
// but cannot be read (nothing).
std::optional<QStringList> TryReadLines(const QString& path);

// Writes `lines` to `path`, each followed by a line feed. False when the
// file could not be written completely.
bool WriteLines(const QString& path, const QStringList& lines);

// Puts the completely written `temp` in the place of `current` through the
// move file `move`: the current file is kept under the move file's name
// until the new one has taken its place, and the current name never stands
// empty. Without a current file, `temp` simply takes its name. False when
// `temp` could not take its place (the current file is then unchanged).
bool ReplaceThroughMoveFile(const QString& current, const QString& temp, const QString& move);

// After an interrupted replacement: a list found only under the move
// file's name gets its own name back. `current` names the lists that share
// the move file; the move file is restored only when exactly one of them is
// missing, and removed when none is.
void RecoverMoveFile(const QStringList& currents, const QString& move);

}  // namespace lists
