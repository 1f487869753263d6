// keldoran-tool: a log book without a display, through the program's own
// code. Four commands:
//
//   decode IMAGE PROFILE                     a saved watch memory image into a profile file
//   receive --logbook DIR --port DEVICE      one download as the receive dialog's Start
//   dump --logbook DIR                       the journal as text, one line a record
//   check --logbook DIR                      journal, CSV mirror and dive files agree?
//
// DIR is the program folder Keldoran runs in; KELDORAN.INI is read from
// the Windows folder ($KELDORAN_WINDIR, else the per-user configuration
// folder) and names the log-book folder, as for the program.
//
// Exit codes: 0 done (check: consistent), 1 the work failed (check:
// mismatches found), 2 bad arguments or nothing to work on.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <exception>
#include <map>
#include <optional>

#include "platform/db/DbError.h"
#include "platform/os/Clock.h"
#include "platform/os/SaveFile.h"
#include "platform/os/SerialPort.h"
#include "platform/os/SingleInstance.h"
#include "platform/os/UiServices.h"
#include "resources/Strings.h"
#include "store/Dataunit.h"
#include "tools/ConsoleServices.h"
#include "tools/LogBook.h"
#include "watchlink/ReceiveSteps.h"
#include "watchlink/WatchLink.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr int kCompleted = 1526;   // "Data receiving completed"
constexpr int kReadFailed = 2010;  // "Data read failed"

const char* const kUsage =
    "usage: keldoran-tool decode IMAGE PROFILE\n"
    "       keldoran-tool receive --logbook DIR --port DEVICE\n"
    "       keldoran-tool dump --logbook DIR\n"
    "       keldoran-tool check --logbook DIR\n"
    "\n"
    "  decode   decode a saved watch memory image into a profile file\n"
    "  receive  one download from the watch into the log book, as the receive\n"
    "           dialog's Start does, and the journal's logtable.csv written again\n"
    "  dump     the journal, one tab-separated line a record in \"ID\" order\n"
    "  check    the journal against logtable.csv and the profile, album and\n"
    "           capture files; lists every mismatch\n"
    "\n"
    "  DIR      the program folder Keldoran runs in (its log book is the folder\n"
    "           KELDORAN.INI names in Log Dir, else DIR/LOG)\n"
    "  DEVICE   a serial device or pseudo-terminal, or COM1 to COM3 as set in\n"
    "           KELDORAN.INI [Ports]\n"
    "\n"
    "Exit codes: 0 done (check: consistent), 1 failed (check: mismatches),\n"
    "2 bad arguments or no log book.\n";

// Qt's own diagnostics are not for the user of a console tool.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) console::Error(message);
}

int Usage(const QString& problem) {
  console::Error(QStringLiteral("keldoran-tool: ") + problem);
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

int Fail(const QString& problem, int code) {
  console::Error(QStringLiteral("keldoran-tool: ") + problem);
  return code;
}

struct Arguments {
  QString command;
  QStringList positional;
  std::map<QString, QString> options;  // "--logbook" -> DIR
};

// nullopt after a usage message.
std::optional<Arguments> Parse(const QStringList& args, const QStringList& optionNames,
                               int positionalCount, int& exitCode) {
  Arguments a;
  a.command = args.value(1);
  for (qsizetype i = 2; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg.startsWith(QStringLiteral("--"))) {
      if (!optionNames.contains(arg)) {
        exitCode = Usage(QStringLiteral("%1 takes no option %2").arg(a.command, arg));
        return std::nullopt;
      }
      if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
        exitCode = Usage(QStringLiteral("%1 needs a value").arg(arg));
        return std::nullopt;
      }
      a.options[arg] = args[++i];
    } else {
      a.positional << arg;
    }
  }
  if (a.positional.size() != positionalCount) {
    exitCode = Usage(QStringLiteral("%1 takes %2 argument(s), not %3")
                         .arg(a.command)
                         .arg(positionalCount)
                         .arg(a.positional.size()));
    return std::nullopt;
  }
  for (const QString& name : optionNames) {
    if (!a.options.count(name)) {
      exitCode = Usage(QStringLiteral("%1 needs %2").arg(a.command, name));
      return std::nullopt;
    }
  }
  return a;
}

// The program folder made current, as the program runs in it.
bool EnterProgramFolder(const QString& dir, int& exitCode) {
  if (!QFileInfo(dir).isDir()) {
    exitCode = Fail(QStringLiteral("no log book: the folder %1 does not exist").arg(dir), kExitUsage);
    return false;
  }
  if (!QDir::setCurrent(dir)) {
    exitCode = Fail(QStringLiteral("cannot work in %1").arg(dir), kExitUsage);
    return false;
  }
  return true;
}

// ---- decode ------------------------------------------------------------

class BufferSink final : public watch::ProfileSink {
 public:
  bool WriteLine(std::string_view line) override {
    bytes.append(line.data(), static_cast<qsizetype>(line.size()));
    bytes.append('\n');
    return true;
  }
  QByteArray bytes;
};

int Decode(const Arguments& a) {
  const QString imagePath = a.positional[0];
  const QString profilePath = a.positional[1];
  QFile image(imagePath);
  if (!image.open(QIODevice::ReadOnly)) {
    return Fail(QStringLiteral("cannot read %1: %2").arg(imagePath, image.errorString()), kExitUsage);
  }
  const QByteArray memory = image.read(watch::kImageSize + 1);
  if (memory.size() > watch::kImageSize) {
    return Fail(QStringLiteral("%1 is no watch memory image: it is larger than %2 bytes")
                    .arg(imagePath)
                    .arg(watch::kImageSize),
                kExitFailed);
  }
  BufferSink sink;
  watch::WatchHeader header;
  const int r = watch::DecodeImage(
      std::span(reinterpret_cast<const std::uint8_t*>(memory.constData()),
                static_cast<std::size_t>(memory.size())),
      sink, header);
  if (r != watch::kOk) {
    return Fail(memory.size() < watch::kBlockSize
                    ? QStringLiteral("%1 is no watch memory image: it holds no header block (%2 bytes)")
                          .arg(imagePath)
                          .arg(memory.size())
                    : QStringLiteral("%1 is no watch memory image: unknown unit code 0x%2 in its header")
                          .arg(imagePath)
                          .arg(static_cast<std::uint8_t>(memory[4]), 2, 16, QChar(u'0')),
                kExitFailed);
  }
  // Written completely, then put in place: a failure leaves no cut file.
  QSaveFile out(profilePath);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Text) || out.write(sink.bytes) != sink.bytes.size() ||
      !os::CommitComplete(out)) {
    return Fail(QStringLiteral("cannot write %1: %2").arg(profilePath, out.errorString()), kExitFailed);
  }
  char buffer[160];
  const auto line = watch::FormatHeaderLine(header, buffer);
  console::Out(QStringLiteral("header: %1").arg(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()))));
  console::Out(QStringLiteral("profile: %1").arg(profilePath));
  return kExitDone;
}

// ---- receive -----------------------------------------------------------

// "COM1" to "COM3" name the configured ports; 0 for a device path.
int PortNumberOf(const QString& device) {
  for (int n = 1; n <= 3; ++n) {
    if (device.compare(QStringLiteral("COM%1").arg(n), Qt::CaseInsensitive) == 0) return n;
  }
  return 0;
}

int Receive(const Arguments& a) {
  int exitCode = kExitDone;
  if (!EnterProgramFolder(a.options.at(QStringLiteral("--logbook")), exitCode)) return exitCode;
  const QString device = a.options.at(QStringLiteral("--port"));

  // The program and the tool must not write one log book at the same time.
  os::SingleInstance guard(QStringLiteral("KELDORANGRAPH"));
  if (!guard.Acquire()) {
    return Fail(QStringLiteral("Keldoran is running with the Windows folder %1; close it first")
                    .arg(os::WindowsFolder()),
                kExitUsage);
  }

  console::ConsoleUi ui;
  os::SetUi(&ui);
  struct Restore {
    ~Restore() { os::SetUi(nullptr); }
  } restore;

  try {
    TVelmDataModule dataModule;
    if (dataModule.VelmDataModuleCreate() != 0 || ui.Failed()) {
      return Fail(QStringLiteral("stopped before the download (see above)"), kExitFailed);
    }
    console::Out(QStringLiteral("log book: %1").arg(dataModule.LogBookFolder));

    const int named = PortNumberOf(device);
    const int portNumber = named != 0 ? named : dataModule.SerialPort;
    console::ConsoleProgress progress;
    const watch::Download download = [&](int port, const QString& path, watch::WatchHeader& header) {
      os::QtSerialPort serial;
      watch::WatchLink link(serial, os::SystemClock(), progress);
      if (named == 0) link.DeviceForPort = [&device](int) { return device; };
      return link.ReceiveWatchData(port, path, header);
    };

    const watch::DownloadOutcome outcome =
        watch::ReceiveOneDive(dataModule, dataModule.LogBookFolder, portNumber, download);
    switch (outcome.kind) {
      case watch::DownloadOutcome::Kind::NoNumber:
        return Fail(QStringLiteral("no free record number"), kExitFailed);
      case watch::DownloadOutcome::Kind::ReadFailed:
        return Fail(QStringLiteral("%1 (result %2 from %3); nothing was written")
                        .arg(res::LoadStr(kReadFailed))
                        .arg(outcome.downloadResult)
                        .arg(device),
                    kExitFailed);
      case watch::DownloadOutcome::Kind::RecordAdded:
        break;
    }
    if (!outcome.received.unreadable.isEmpty()) {
      console::Error(watch::UnreadableValuesText(outcome.received.unreadable));
    }
    // As when the program ends: the journal CSV written again, the
    // numbering and the settings stored.
    dataModule.VelmDataModuleDestroy();
    if (ui.Failed()) {
      return Fail(QStringLiteral("record %1 was added to LOG.DB, but the log book could not be "
                                 "completed (see above)")
                      .arg(outcome.number),
                  kExitFailed);
    }
    console::Out(QStringLiteral("%1: record %2, profile file %3")
                     .arg(res::LoadStr(kCompleted))
                     .arg(outcome.number)
                     .arg(QFileInfo(outcome.path).fileName()));
    console::Out(logbook::DumpLine(logbook::FieldNames()));
    console::Out(logbook::DumpLine(logbook::FieldTexts(outcome.received.record)));
  } catch (const db::DbError& e) {
    return Fail(QStringLiteral("the journal refused the record: %1").arg(e.Message()), kExitFailed);
  } catch (const std::exception& e) {
    return Fail(QString::fromLocal8Bit(e.what()), kExitFailed);
  }
  return kExitDone;
}

// ---- dump and check ----------------------------------------------------

// The log book of the program folder and its journal, read only.
struct ReadLogBook {
  QString folder;
  std::vector<JournalRecord> records;
};

std::optional<ReadLogBook> OpenForReading(const Arguments& a, int& exitCode) {
  if (!EnterProgramFolder(a.options.at(QStringLiteral("--logbook")), exitCode)) return std::nullopt;
  ReadLogBook book;
  book.folder = logbook::LogBookFolderOf(QDir::currentPath());
  if (!QFileInfo::exists(QDir(book.folder).filePath(QStringLiteral("LOG.DB")))) {
    exitCode = Fail(QStringLiteral("no log book: %1 holds no journal LOG.DB")
                        .arg(QDir::toNativeSeparators(book.folder)),
                    kExitUsage);
    return std::nullopt;
  }
  try {
    book.records = logbook::ReadJournal(book.folder);
  } catch (const db::DbError& e) {
    exitCode = Fail(QStringLiteral("the journal cannot be read: %1").arg(e.Message()), kExitUsage);
    return std::nullopt;
  }
  return book;
}

int Dump(const Arguments& a) {
  int exitCode = kExitDone;
  const auto book = OpenForReading(a, exitCode);
  if (!book) return exitCode;
  console::Out(logbook::DumpLine(logbook::FieldNames()));
  for (const JournalRecord& r : book->records) console::Out(logbook::DumpLine(logbook::FieldTexts(r)));
  return kExitDone;
}

int Check(const Arguments& a) {
  int exitCode = kExitDone;
  const auto book = OpenForReading(a, exitCode);
  if (!book) return exitCode;
  const logbook::CheckReport report = logbook::Check(book->folder, book->records);
  console::Out(QStringLiteral("log book: %1").arg(QDir::toNativeSeparators(book->folder)));
  for (const QString& p : report.problems) console::Out(QStringLiteral("mismatch: ") + p);
  for (const QString& n : report.notes) console::Out(QStringLiteral("note: ") + n);
  if (!report.problems.isEmpty()) {
    console::Out(QStringLiteral("result: %1 mismatch(es) in %2 record(s)")
                     .arg(report.problems.size())
                     .arg(report.records));
    return kExitFailed;
  }
  console::Out(QStringLiteral("result: consistent, %1 record(s)").arg(report.records));
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(QuietQt);
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  const QString command = args.value(1);
  if (command == QStringLiteral("--help") || command == QStringLiteral("-h") ||
      command == QStringLiteral("help")) {
    std::fputs(kUsage, stdout);
    return kExitDone;
  }
  struct Command {
    QStringList options;
    int positional;
    int (*run)(const Arguments&);
  };
  const std::map<QString, Command> commands{
      {QStringLiteral("decode"), {{}, 2, Decode}},
      {QStringLiteral("receive"), {{QStringLiteral("--logbook"), QStringLiteral("--port")}, 0, Receive}},
      {QStringLiteral("dump"), {{QStringLiteral("--logbook")}, 0, Dump}},
      {QStringLiteral("check"), {{QStringLiteral("--logbook")}, 0, Check}},
  };
  const auto it = commands.find(command);
  if (it == commands.end()) {
    return Usage(command.isEmpty() ? QStringLiteral("no command given")
                                   : QStringLiteral("unknown command %1").arg(command));
  }
  int exitCode = kExitUsage;
  const auto parsed = Parse(args, it->second.options, it->second.positional, exitCode);
  if (!parsed) return exitCode;
  return it->second.run(*parsed);
}
