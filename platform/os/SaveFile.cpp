#include "platform/os/SaveFile.h"

#if defined(__linux__)
#include <fcntl.h>
#endif

namespace os {

bool StartWriteBack(QSaveFile& file) {
  if (!file.flush()) return false;
#if defined(__linux__)
  // Only starts the writing; a failure here is found again by commit().
  const int fd = file.handle();
  if (fd >= 0) ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
  return true;
}

}  // namespace os
