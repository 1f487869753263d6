#pragma once
// Completing a QSaveFile safely. QSaveFile::commit() of Qt 6.4 can report
// success, and put the new file in place, after its buffered data failed to
// reach the disk (a full disk, a file size limit): the old file would be
// replaced by a cut one. Flushing first and checking the device's error
// catches that; the old file then stays untouched.
#include <QSaveFile>

namespace os {

// True when everything written reached the file and it took the target's
// place; false when anything failed (the target is then unchanged).
inline bool CommitComplete(QSaveFile& file) {
  if (!file.flush() || file.error() != QFileDevice::NoError) {
    file.cancelWriting();
    file.commit();  // removes the temporary file
    return false;
  }
  return file.commit();
}

// Hands what has been written so far to the disk in the background, so
// the flush to the disk at commit() finds little left to do. Writers of
// large files call it after each large write. False when the buffered
// data could not be written.
bool StartWriteBack(QSaveFile& file);

}  // namespace os
