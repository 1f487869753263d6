#include "watchlink/ReceiveSteps.h"

#include <QFile>

#include "store/Dataunit.h"

namespace watch {

DownloadOutcome ReceiveOneDive(TVelmDataModule& dataModule, const QString& logFolder,
                               int portNumber, const Download& download) {
  DownloadOutcome outcome;
  // Without a free number the numbering has told the user; nothing is
  // transferred.
  outcome.number = dataModule.NextFreeProfileNumber();
  if (outcome.number < 1) return outcome;
  outcome.path = logFolder + QStringLiteral("/VELM%1.LOG").arg(outcome.number, 4, 10, QChar(u'0'));

  outcome.downloadResult = download(portNumber, outcome.path, outcome.header);
  if (outcome.downloadResult != kOk) {
    // A partly written file would only hold its number: no file, no record.
    QFile::remove(outcome.path);
    outcome.kind = DownloadOutcome::Kind::ReadFailed;
    return outcome;
  }

  try {
    if (!dataModule.LogTable.Active()) dataModule.OpenJournalTable();
    outcome.received = CreateReceivedRecord(dataModule.LogTable, outcome.header, outcome.number,
                                            outcome.path, ReadRecordDefaults(dataModule));
  } catch (...) {
    // The journal refused the record: the file would be an orphan no record
    // points at. The dive stays in the watch for another try.
    QFile::remove(outcome.path);
    throw;
  }
  outcome.kind = DownloadOutcome::Kind::RecordAdded;
  return outcome;
}

QString UnreadableValuesText(const QStringList& unreadable) {
  return QStringLiteral(
             "The dive was saved, but these values from the watch are not a valid date or time "
             "and were left empty: %1.")
      .arg(unreadable.join(QStringLiteral(", ")));
}

}  // namespace watch
