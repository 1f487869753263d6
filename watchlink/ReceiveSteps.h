#pragma once
// One download as the receive dialog's Start runs it, without a window: the
// next free profile number, the transfer into its profile file, and the
// journal record. The download shows its own progress (the dialog's runs in
// the progress window, a console run prints it); what the user is told
// afterwards is the caller's.
#include <functional>

#include <QString>

#include "watchlink/ReceivedRecord.h"
#include "watchlink/WatchData.h"

class TVelmDataModule;

namespace watch {

// The transfer from the port "COMn" into the profile file at `path`; result
// codes as WatchLink::ReceiveWatchData.
using Download = std::function<int(int portNumber, const QString& path, WatchHeader& header)>;

struct DownloadOutcome {
  enum class Kind {
    NoNumber,     // all 9999 numbers are taken; the numbering has said so
    ReadFailed,   // the transfer failed; no profile file is left
    RecordAdded,  // profile file and journal record are there
  };
  Kind kind = Kind::NoNumber;
  int number = 0;          // the profile number drawn
  QString path;            // its profile file
  int downloadResult = 0;  // the download's result code
  WatchHeader header;
  ReceivedRecord received;  // RecordAdded only
};

// Draws the next free number of `dataModule`, downloads into
// "VELM%04d.LOG" of `logFolder` and appends the record (the journal is
// opened when it is closed). A failed transfer leaves no file; when the
// journal refuses the record its db::DbError is passed on, the file removed
// first. The journal CSV mirror is not written here.
DownloadOutcome ReceiveOneDive(TVelmDataModule& dataModule, const QString& logFolder,
                               int portNumber, const Download& download);

// What the user is told when header values gave no valid date or time.
QString UnreadableValuesText(const QStringList& unreadable);

}  // namespace watch
