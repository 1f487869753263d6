#pragma once
// Free disk space, with a replaceable source so that tests can pretend a
// drive is nearly full.
#include <functional>

#include <QString>

namespace os {

// Bytes available to this user on the drive that holds `folder`, or -1 when
// the folder cannot be examined.
using FreeSpaceSource = std::function<qint64(const QString& folder)>;

qint64 FreeBytes(const QString& folder);

// Replace the source; an empty function restores the real one.
void SetFreeSpaceSource(FreeSpaceSource source);

// 1 when more than 6 MiB are free, 2 when more than 3 MiB, -1 otherwise
// (whole MiB, rounded down). An unreadable drive counts as too little.
int CheckFreeSpace(const QString& folder);

}  // namespace os
