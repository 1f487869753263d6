#pragma once
// Reading the article list files of the user configuration folder.
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

}  // namespace lists
