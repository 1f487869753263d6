// keldoran-tool run as a process, the way a script runs it: no display, a
// program folder and a Windows folder of its own, the watch simulator on a
// pseudo-terminal.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstring>
#include <map>

#include "platform/os/Formats.h"
#include "platform/os/SingleInstance.h"
#include "profile_library/velm.h"
#include "store/Dataunit.h"
#include "store/JournalCsv.h"
#include "store/JournalRecords.h"
#include "store/Velm.h"
#include "tests/support/TestFolders.h"
#include "tests/watchlink/Simulator.h"
#include "tests/watchlink/WatchMemory.h"

namespace {

struct ToolRun {
  int code = -1;
  QString out;
  QString err;
};

// Every file below `folder` with its bytes (not the simulator's link to its
// pseudo-terminal).
using Snapshot = std::map<QString, QByteArray>;
Snapshot Files(const QString& folder) {
  Snapshot files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files[QDir(folder).relativeFilePath(path)] = test::ReadAll(path);
  }
  return files;
}

QStringList Keys(const Snapshot& s) {
  QStringList keys;
  for (const auto& [k, v] : s) keys << k;
  return keys;
}

// A movie `folder`/dive.avi in the album of record `id` of the log book in
// `log`, its capture VIDE0001.JPG.
void AddMovieToAlbum(const QString& log, const QString& folder, int id) {
  const QByteArray album = QFile::encodeName(log + QStringLiteral("/VELM%1.ALB").arg(id, 4, 10, QChar(u'0')));
  const QByteArray movie = QFile::encodeName(folder + "/dive.avi");
  test::WriteAll(folder + "/dive.avi", "movie");
  VelmAlbumData data{};
  data.Kind = 2;
  std::strcpy(data.Comment, "Turtle");
  std::strcpy(data.Capture, "VIDE0001.JPG");
  ASSERT_EQ(set_album_prof_int(id, "List", "Count", 10, 1, album.constData()), 1);
  ASSERT_EQ(set_album_prof_idx_data(id, "List", 1, movie.constData(), album.constData()), 1);
  ASSERT_EQ(set_album_prof_data(id, movie.constData(), &data, album.constData()), 1);
}

class KeldoranToolTest : public test::TestFolders {
 protected:
  // The tool as a script starts it: no display, Qt told nothing.
  ToolRun Tool(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    env.insert(QStringLiteral("KELDORAN_WINDIR"), WindowsFolder());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KELDORAN_BIN_DIR "/keldoran-tool"), args);
    ToolRun r;
    if (!p.waitForFinished(60000)) {
      p.kill();
      p.waitForFinished();
      return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
  }

  QStringList Book(const char* command) {
    return {QString::fromLatin1(command), QStringLiteral("--logbook"), ProgramFolder()};
  }

  void WriteImage(const std::vector<std::uint8_t>& memory) {
    test::WriteAll(InProgram("memory.bin"), QByteArray(reinterpret_cast<const char*>(memory.data()),
                                                       static_cast<qsizetype>(memory.size())));
  }

  QString InLog(const QString& name) const { return InProgram(QStringLiteral("LOG/") + name); }

  // A log book as the program leaves it: record 2 entered by hand, record 1
  // from the watch, the mirror written, the program ended.
  void MakeLogBook() {
    TVelmDataModule dm;
    ASSERT_EQ(dm.VelmDataModuleCreate(), 0);
    JournalRecord byHand;
    byHand.ID = 2;
    byHand.Mode = 2;
    byHand.Date = *fmt::TryEncodeDate(2002, 8, 1);
    byHand.Site = "Reef";
    byHand.WatchData = 2;
    journal::AppendRecord(dm.LogTable, byHand);
    test::WriteAll(dm.ProfilePath(2), "this is dummy log File.");
    JournalRecord watch;
    watch.ID = 1;
    watch.Date = *fmt::TryEncodeDate(2001, 5, 12);
    watch.No = "2";
    watch.EntryTime = *fmt::TryEncodeTime(10, 4, 9);
    watch.MaxDepth = "12.5";
    watch.Diver = "Ann";
    watch.Memo = "line one\r\nline two";
    journal::AppendRecord(dm.LogTable, watch);
    test::WriteAll(dm.ProfilePath(1), "M,2001,5,12,2,10,4,9,10,48,30,1,35,125,212,52,1\n\n005\n125\n\n212\n");
    dm.VelmDataModuleDestroy();
  }
};

// ---- receive, dump, check together -------------------------------------

TEST_F(KeldoranToolTest, ReceiveAddsARecordThatDumpShowsAndCheckAccepts) {
  ASSERT_TRUE(QDir(ProgramFolder()).mkdir("USERCONF"));
  velmq::SetUconfString("Default", "Diver", "Ann");
  velmq::SetUconfString("Default", "Location", "Blue Hole");
  velmq::SetUconfIndexData("User Item", 1, "Camera,USER0001.LST");
  velmq::SetUconfIndexData("User Entry", 1, "Nikonos");
  // A dive in feet without a dive number.
  test::Header header;
  header.unit = 0xA6;
  header.diveNumber = 0;
  header.maxDepth = 41;
  header.minWater = 70;
  header.averageDepth = 17;
  header.minutes = 1;
  WriteImage(test::Memory(header, {2, 4, 16, 41, 30, 3}, {71, 70}));
  test::Simulator sim(ProgramFolder(), {"--image", InProgram("memory.bin")});
  ASSERT_TRUE(sim.Ready());

  const ToolRun receive = Tool(Book("receive") + QStringList{"--port", sim.Link()});
  ASSERT_EQ(receive.code, 0) << receive.err.toStdString();
  EXPECT_TRUE(receive.err.isEmpty()) << receive.err.toStdString();
  EXPECT_TRUE(receive.out.contains("Data receive | COM1 | receiveing |")) << receive.out.toStdString();
  EXPECT_TRUE(receive.out.contains("Data receiving completed: record 1, profile file VELM0001.LOG"))
      << receive.out.toStdString();
  EXPECT_EQ(test::ReadAll(InLog("VELM0001.LOG")),
            "F,2001,5,12,0,10,4,9,10,48,30,1,35,41,70,17,1\n\n"
            "002\n004\n016\n041\n030\n003\n\n071\n070\n");
  EXPECT_EQ(QFileInfo(InLog("logtable.csv")).size(), csv::kRecordSize);

  const ToolRun dump = Tool(Book("dump"));
  ASSERT_EQ(dump.code, 0) << dump.err.toStdString();
  const QStringList lines = dump.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2) << dump.out.toStdString();
  EXPECT_TRUE(lines[0].startsWith("ID\tMode\tDate\tNo\tEntry Time\tSurf. Time\tDiver\tLoc./Site\t"));
  EXPECT_TRUE(lines[0].endsWith("\tMemo\tWatchData"));
  EXPECT_EQ(lines[1],
            "1\t2\t2001/05/12\t-\t10:04:09\t10:48:30\tAnn\tBlue Hole\t\t17\t41\t70\t70\t"
            "01:35:00\t00:00:20\t\t\t\t\t\t\t\t\t\tCamera\tNikonos\t\t\t\t\t\t\t\t1");

  const ToolRun check = Tool(Book("check"));
  EXPECT_EQ(check.code, 0) << check.out.toStdString();
  EXPECT_TRUE(check.out.endsWith("result: consistent, 1 record(s)\n")) << check.out.toStdString();
}

TEST_F(KeldoranToolTest, DumpWritesEveryFieldOfEveryRecordInIdOrder) {
  MakeLogBook();

  const ToolRun r = Tool(Book("dump"));

  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QStringList lines = r.out.split('\n');
  ASSERT_EQ(lines.size(), 4) << r.out.toStdString();
  EXPECT_EQ(lines[1],
            "1\t1\t2001/05/12\t2\t10:04:09\t\tAnn\t\t\t\t12.5\t\t\t\t\t\t\t\t\t\t\t\t\t\t"
            "\t\t\t\t\t\t\t\tline one\\r\\nline two\t1");
  EXPECT_EQ(lines[2],
            "2\t2\t2002/08/01\t\t\t\t\tReef\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t"
            "\t\t\t\t\t\t\t\t\t2");
  EXPECT_EQ(lines[3], "");
}

// The log book lies where KELDORAN.INI says, as for the program.
struct LogDirCase {
  const char* name;
  const char* logDir;  // "Config"/"Log Dir", under the program folder
  bool moveJournal;    // the journal moved from LOG to that folder first
  int code;
};

void PrintTo(const LogDirCase& c, std::ostream* os) { *os << c.name; }

class LogDirTest : public KeldoranToolTest, public ::testing::WithParamInterface<LogDirCase> {};

TEST_P(LogDirTest, DumpReadsTheJournalOfTheConfiguredFolder) {
  MakeLogBook();
  const QString folder = InProgram(QString::fromLatin1(GetParam().logDir));
  if (GetParam().moveJournal) {
    ASSERT_TRUE(QDir().rename(InProgram("LOG"), folder));
  }
  velmq::SetProfPath("Config", "Log Dir", folder);

  const ToolRun r = Tool(Book("dump"));

  EXPECT_EQ(r.code, GetParam().code) << r.err.toStdString();
  EXPECT_EQ(r.out.count('\n'), GetParam().code == 0 ? 3 : 0) << r.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogDirTest,
    ::testing::Values(LogDirCase{"another_folder", "DIVES", true, 0},
                      // A folder that is not there: LOG under the program folder.
                      LogDirCase{"missing_folder", "GONE", false, 0},
                      // A folder without a journal is no log book, whatever LOG holds.
                      LogDirCase{"folder_without_journal", "WORK", false, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeldoranToolTest, ReceiveKeepsADiveWhoseDateIsImpossibleAndSaysWhatWasLeftEmpty) {
  test::Header header;
  header.month = 13;
  WriteImage(test::Memory(header, {5, 12}, {215}));
  test::Simulator sim(ProgramFolder(), {"--image", InProgram("memory.bin")});
  ASSERT_TRUE(sim.Ready());

  const ToolRun r = Tool(Book("receive") + QStringList{"--port", sim.Link()});

  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("were left empty: Date 2001/13/12")) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("\n1\t1\t\t3\t10:04:09\t")) << r.out.toStdString();
}

TEST_F(KeldoranToolTest, ReceiveRefusesWhileKeldoranRuns) {
  os::SingleInstance keldoran(QStringLiteral("KELDORANGRAPH"));
  ASSERT_TRUE(keldoran.Acquire());

  const ToolRun r = Tool(Book("receive") + QStringList{"--port", InProgram("watch")});

  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.startsWith("keldoran-tool: Keldoran is running with the Windows folder "))
      << r.err.toStdString();
  EXPECT_TRUE(QDir(ProgramFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

// ---- a failed download writes nothing -----------------------------------

struct FailedReceiveCase {
  const char* name;
  QStringList simulator;  // empty: no simulator, the port does not exist
};

void PrintTo(const FailedReceiveCase& c, std::ostream* os) { *os << c.name; }

class FailedReceiveTest : public KeldoranToolTest,
                          public ::testing::WithParamInterface<FailedReceiveCase> {};

TEST_P(FailedReceiveTest, LeavesEveryFileAsItWas) {
  MakeLogBook();
  std::unique_ptr<test::Simulator> sim;
  QString port = InProgram("no-such-port");
  if (!GetParam().simulator.isEmpty()) {
    WriteImage(test::Memory(test::Header{}, {5, 12}, {215}));
    sim = std::make_unique<test::Simulator>(
        ProgramFolder(), QStringList{"--image", InProgram("memory.bin")} + GetParam().simulator);
    ASSERT_TRUE(sim->Ready());
    port = sim->Link();
  }
  const Snapshot program = Files(ProgramFolder());
  const Snapshot windows = Files(WindowsFolder());

  const ToolRun r = Tool(Book("receive") + QStringList{"--port", port});

  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("Data read failed")) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("nothing was written")) << r.err.toStdString();
  sim.reset();
  Snapshot after = Files(ProgramFolder());
  after.erase("watchsim.log");
  Snapshot before = program;
  before.erase("watchsim.log");
  EXPECT_EQ(Keys(after), Keys(before));
  EXPECT_TRUE(after == before);
  EXPECT_TRUE(Files(WindowsFolder()) == windows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedReceiveTest,
    ::testing::Values(FailedReceiveCase{"bad_unit_code", {"--unit-byte", "0x12"}},
                      FailedReceiveCase{"watch_falls_silent", {"--silent-after", "0"}},
                      FailedReceiveCase{"no_such_port", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- check ----------------------------------------------------------------

TEST_F(KeldoranToolTest, CheckAcceptsALogBookAsTheProgramLeftItAndChangesNothing) {
  MakeLogBook();
  test::WriteAll(InLog("VELM0009.LOG"), "M,2001,5,12,2,10,4,9,10,48,30,1,35,125,212,52,1\n\n");
  const Snapshot before = Files(ProgramFolder());
  const Snapshot windows = Files(WindowsFolder());

  const ToolRun r = Tool(Book("check"));

  EXPECT_EQ(r.code, 0) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("note: VELM0009.LOG belongs to no journal record")) << r.out.toStdString();
  EXPECT_TRUE(r.out.endsWith("result: consistent, 2 record(s)\n")) << r.out.toStdString();
  EXPECT_TRUE(Files(ProgramFolder()) == before);
  EXPECT_TRUE(Files(WindowsFolder()) == windows);
}

struct MismatchCase {
  const char* name;
  std::function<void(const QString& log, const QString& folder)> damage;
  const char* reported;  // "@" stands for the program folder
};

void PrintTo(const MismatchCase& c, std::ostream* os) { *os << c.name; }

class CheckMismatchTest : public KeldoranToolTest,
                          public ::testing::WithParamInterface<MismatchCase> {};

// The mirror with record `id` changed by `change`, or left out.
void RewriteMirror(const QString& path, int id, const std::function<bool(JournalRecord&)>& change) {
  std::vector<JournalRecord> records;
  csv::ReadFile(path, [&](const char* bytes) {
    JournalRecord copy = *csv::DecodeRecord(bytes);
    if (copy.ID != id || change(copy)) records.push_back(copy);
  });
  std::size_t next = 0;
  ASSERT_TRUE(csv::WriteFile(path, [&](char* out) {
    if (next == records.size()) return false;
    std::memcpy(out, csv::EncodeRecord(records[next++]).constData(), csv::kRecordSize);
    return true;
  }));
}

TEST_P(CheckMismatchTest, ListsTheMismatchAndFails) {
  MakeLogBook();
  GetParam().damage(InProgram("LOG"), ProgramFolder());

  const ToolRun r = Tool(Book("check"));

  EXPECT_EQ(r.code, 1);
  const QString reported = QString::fromUtf8(GetParam().reported).replace(u'@', ProgramFolder());
  EXPECT_TRUE(r.out.contains(QStringLiteral("mismatch: ") + reported + u'\n')) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("mismatch(es) in 2 record(s)")) << r.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckMismatchTest,
    ::testing::Values(
        MismatchCase{"missing_profile_file",
                     [](const QString& log, const QString&) {
                       ASSERT_TRUE(QFile::remove(log + "/VELM0002.LOG"));
                     },
                     "record 2: its profile file VELM0002.LOG is missing"},
        MismatchCase{"record_missing_from_the_mirror",
                     [](const QString& log, const QString&) {
                       RewriteMirror(log + "/logtable.csv", 2,
                                     [](JournalRecord&) { return false; });
                     },
                     "record 2 is in LOG.DB but not in logtable.csv"},
        MismatchCase{"record_only_in_the_mirror",
                     [](const QString& log, const QString&) {
                       RewriteMirror(log + "/logtable.csv", 2,
                                     [](JournalRecord& r) {
                                       r.ID = 3;
                                       return true;
                                     });
                     },
                     "record 3 is in logtable.csv but not in LOG.DB"},
        MismatchCase{"field_differs",
                     [](const QString& log, const QString&) {
                       RewriteMirror(log + "/logtable.csv", 1,
                                     [](JournalRecord& r) {
                                       r.Diver = "Bob";
                                       return true;
                                     });
                     },
                     "record 1: \"Diver\" is \"Ann\" in LOG.DB but \"Bob\" in logtable.csv"},
        MismatchCase{"profile_in_other_units",
                     [](const QString& log, const QString&) {
                       test::WriteAll(log + "/VELM0001.LOG",
                                      "F,2001,5,12,2,10,4,9,10,48,30,1,35,41,70,17,1\n\n016\n\n70\n");
                     },
                     "record 1: VELM0001.LOG holds a dive in feet (F) but the record's \"Mode\" is 1"},
        MismatchCase{"capture_missing",
                     [](const QString& log, const QString& folder) { AddMovieToAlbum(log, folder, 1); },
                     "record 1: VELM0001.ALB entry 1 (@/dive.avi): its capture "
                     "VELM0001.VID/VIDE0001.JPG is missing"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeldoranToolTest, CheckFindsTheCaptureOfAnAlbumMovie) {
  MakeLogBook();
  AddMovieToAlbum(InProgram("LOG"), ProgramFolder(), 1);
  ASSERT_TRUE(QDir(InProgram("LOG")).mkdir("VELM0001.VID"));
  test::WriteAll(InLog("VELM0001.VID/VIDE0001.JPG"), "jpeg");

  const ToolRun r = Tool(Book("check"));

  EXPECT_EQ(r.code, 0) << r.out.toStdString();
  EXPECT_FALSE(r.out.contains("mismatch")) << r.out.toStdString();
}

// ---- errors ---------------------------------------------------------------

struct ErrorCase {
  const char* name;
  QStringList args;  // "@" stands for the program folder
  const char* message;  // "@" likewise
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ToolErrorTest : public KeldoranToolTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ToolErrorTest, SaysWhatIsWrongAndWritesNothing) {
  QStringList args = GetParam().args;
  args.replaceInStrings(QStringLiteral("@"), ProgramFolder());

  const ToolRun r = Tool(args);

  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
  const QString message = QString::fromUtf8(GetParam().message).replace(u'@', ProgramFolder());
  EXPECT_TRUE(r.err.startsWith(QStringLiteral("keldoran-tool: ") + message))
      << r.err.toStdString();
  EXPECT_TRUE(QDir(ProgramFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolErrorTest,
    ::testing::Values(
        ErrorCase{"no_command", {}, "no command given"},
        ErrorCase{"unknown_command", {"frobnicate"}, "unknown command frobnicate"},
        ErrorCase{"no_log_book_option", {"dump"}, "dump needs --logbook"},
        ErrorCase{"option_without_value", {"check", "--logbook"}, "--logbook needs a value"},
        ErrorCase{"option_of_another_command", {"check", "--logbook", "@", "--port", "COM1"},
                  "check takes no option --port"},
        ErrorCase{"receive_without_port", {"receive", "--logbook", "@"}, "receive needs --port"},
        ErrorCase{"decode_one_file", {"decode", "@/memory.bin"}, "decode takes 2 argument(s), not 1"},
        ErrorCase{"decode_missing_image", {"decode", "@/memory.bin", "@/VELM0001.LOG"},
                  "cannot read @/memory.bin"},
        ErrorCase{"missing_folder", {"check", "--logbook", "@/nowhere"},
                  "no log book: the folder @/nowhere does not exist"},
        ErrorCase{"receive_into_missing_folder", {"receive", "--logbook", "@/nowhere", "--port", "COM1"},
                  "no log book: the folder @/nowhere does not exist"},
        ErrorCase{"dump_of_a_folder_without_journal", {"dump", "--logbook", "@"},
                  "no log book: @/LOG holds no journal LOG.DB"},
        ErrorCase{"check_of_a_folder_without_journal", {"check", "--logbook", "@"},
                  "no log book: @/LOG holds no journal LOG.DB"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeldoranToolTest, ADamagedJournalIsReportedAndLeftAsItIs) {
  MakeLogBook();
  QByteArray table = test::ReadAll(InLog("LOG.DB"));
  table.truncate(table.size() / 2);
  test::WriteAll(InLog("LOG.DB"), table);
  const Snapshot before = Files(ProgramFolder());

  for (const char* command : {"check", "dump"}) {
    const ToolRun r = Tool(Book(command));
    EXPECT_EQ(r.code, 2) << command;
    EXPECT_TRUE(r.err.startsWith("keldoran-tool: the journal cannot be read: ")) << r.err.toStdString();
  }
  EXPECT_TRUE(Files(ProgramFolder()) == before);
}

// ---- decode ---------------------------------------------------------------

TEST_F(KeldoranToolTest, DecodeWritesTheProfileFileOfASavedImage) {
  WriteImage(test::Memory(test::Header{}, {5, 12}, {215}));

  const ToolRun r = Tool({"decode", InProgram("memory.bin"), InProgram("VELM0001.LOG")});

  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(test::ReadAll(InProgram("VELM0001.LOG")),
            "M,2001,5,12,3,10,4,9,10,48,30,1,35,185,214,92,44\n\n005\n012\n\n215\n");
}

TEST_F(KeldoranToolTest, DecodeOfAnImageWithoutValidHeaderLeavesTheProfileFileAlone) {
  WriteImage(test::Memory(test::Header{0x12}, {5, 12}, {215}));
  test::WriteAll(InProgram("VELM0001.LOG"), "kept");

  const ToolRun r = Tool({"decode", InProgram("memory.bin"), InProgram("VELM0001.LOG")});

  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("unknown unit code 0x12")) << r.err.toStdString();
  EXPECT_EQ(test::ReadAll(InProgram("VELM0001.LOG")), "kept");
}

}  // namespace
