// Record numbering: a number is handed out only when no profile file with
// it exists in the log-book folder.
#include <QFileInfo>

#include "store/Dataunit.h"

namespace {
constexpr int kCaption = 1;        // "KELDORAN GRAPH 2"
constexpr int kNoFreeNumber = 1992;  // "Reached maximum record"
constexpr int kMaxNumber = 9999;
}  // namespace

QString TVelmDataModule::ProfilePath(int number) const {
  return LogBookFolder + QStringLiteral("/VELM%1.LOG").arg(number, 4, 10, QChar(u'0'));
}

int TVelmDataModule::NextFreeProfileNumber() {
  int n = Serial > kMaxNumber || Serial < 1 ? 1 : Serial;
  for (int tries = 0; tries < 10000; ++tries) {
    if (!QFileInfo::exists(ProfilePath(n))) {
      Serial = n + 1;
      return n;
    }
    n = n >= kMaxNumber ? 1 : n + 1;
  }
  ShowMessageId(kNoFreeNumber, kCaption, os::MsgIcon::Warning);
  return -1;
}
