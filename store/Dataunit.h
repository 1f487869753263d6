#pragma once
// The data module: the one shared service object of the program. It keeps
// the settings, folders and in-memory lists, offers the free-space check and
// the message box by string number, and owns the journal's database
// components.
#include <array>
#include <functional>

#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/db/BatchMove.h"
#include "platform/db/DataSource.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/os/UiServices.h"
#include "platform/os/WindowPlacement.h"
#include "store/DiveProfile.h"
#include "store/GraphSettings.h"
#include "store/JournalRecord.h"
#include "store/ProfileTables.h"

namespace chart {
struct Chart;
}

namespace csv {
class Columns;
}

class TVelmDataModule : public QObject {
  Q_OBJECT

 public:
  explicit TVelmDataModule(QObject* parent = nullptr);
  ~TVelmDataModule() override;

  // Creation: reads KELDORAN.INI and the stores, creates missing folders and
  // loads the lists. Returns 0, or the exit code the process must end with
  // (1 when there is too little free space; nothing but KELDORAN.INI has
  // been touched then).
  int VelmDataModuleCreate();
  // Destruction: writes the placements, counters, graph settings and sort
  // field back.
  void VelmDataModuleDestroy();

  // Message box by string numbers, with no owner window.
  int ShowMessageId(int textId, int captionId, os::MsgIcon icon,
                    os::MsgButtons buttons = os::MsgButtons::Ok) const;

  // 1 (> 6 MiB free), 2 (> 3 MiB) or -1.
  int CheckProgramFolderSpace() const;
  int CheckLogBookFolderSpace() const;
  // The check most commands run first: false after showing message 1830.
  bool EnsureProgramFolderSpace() const;

  // Settings save: log-book folder, unit texts, depth unit mode, serial port.
  void SaveSettings();
  // Empties the article name and file lists and reads "USERDEF.LST" again.
  void ReloadUserArticles();

  // The next free profile number, searched from Serial upwards (wrapping
  // from 9999 to 1); Serial moves past it. -1 after message 1992 when all
  // 9999 numbers are taken.
  int NextFreeProfileNumber();
  // "VELM%04d.LOG" of `number` in the log-book folder.
  QString ProfilePath(int number) const;

  // The main window's placement, taken and applied through these (set by the
  // process entry); the data module knows no windows.
  std::function<os::WindowPlacement()> TakeMainPlacement;
  std::function<void(const os::WindowPlacement&)> ApplyMainPlacement;
  // Points LogTable at "LOG.DB" of the log-book folder, creating the table
  // (and rebuilding it from "logtable.csv") when it is missing, opens it and
  // hides the control fields. A table that cannot be read is kept aside
  // and replaced (see MendDamagedJournal); other database errors (a folder
  // that cannot be written, ...) are thrown as db::DbError. Returns 0.
  int OpenJournalTable();
  // Leaves TmpLogTable pointing at the work folder's "LOG.DB" (created
  // when missing, with the journal's fields and no indexes), closed.
  void PrepareTmpLogTable();
  // Points SearchLogTable at "LOG.DB" of the log-book folder's "SEARCH"
  // folder, creating folder and table when missing, and opens it.
  void OpenSearchTable();
  // Makes "ID", "Mode" and "WatchData" of the journal invisible.
  void HideControlFields();
  // Reads "logtable.csv" of the log-book folder into the freshly created
  // journal. Installed by the journal CSV module; OpenJournalTable calls it
  // when the table has just been created and the file exists.
  std::function<void()> RebuildJournalFromCsv;

  // The journal CSV mirror "logtable.csv" of the log-book folder.
  QString CsvPath() const;
  // Writes the whole journal in its current order to the mirror, the
  // cursor and the views left as they were. 0, or -1 after message 2000
  // when the file could not be written (the previous file then stays).
  int WriteCsvFile();
  // Reads the mirror into the journal just created; Total and Serial follow
  // each record's ID so numbering continues after the last one.
  void RebuildFromCsv();
  // Appends one 545-byte record read from a mirror or a package to
  // `table`; false when it has no readable ID or the table refused it (its
  // ID is taken already). `columns`, when given, are the table's columns
  // looked up once.
  bool ReadCsvRecord(db::Table& table, const char* record, const csv::Columns* columns = nullptr);

  // The graph work tables (ProfileTables.cpp). A load sequence: reset the
  // extremes, load slots 1.. n, scale the axes.
  void ResetExtremes();
  void ResetMaxMin();
  // Loads the profile of `record` (a journal record; "ID" names its file)
  // into slot 0 and copies it to `slot` (1-8), in `target` units (0: the
  // record's own). The result is the record's "Mode", or -10 when it has
  // no watch profile, no file or no depth sample.
  store::GraphLoad LoadProfile(db::DataSet& record, int slot, int target);
  // Closes the tables of slots 1-8.
  void CloseGraphTables();
  // Sets the chart's three axes from the extremes for unit mode `unit`;
  // returns the seconds the time axis covers.
  int ScaleAxes(int unit, chart::Chart& chart);
  store::MAXMIN MaxMin;
  store::ProfileExtremes Extremes;

  // The database components.
  db::Table LogTable;
  db::Table TmpLogTable;
  db::Table SearchLogTable;
  std::array<db::Table, 9> DepthTable;  // DepthTable[n] is the component DepthTable<n>
  std::array<db::Table, 9> WaterTable;  // WaterTable[n] is the component WaterTable<n>
  db::BatchMove BatchMove;
  db::Query LogQuery;
  db::DataSource LogDataSource;
  db::DataSource TmpLogDataSource;

  // Folders.
  QString ProgramFolder;
  QString LogBookFolder;
  QString WorkFolder;

  int SerialPort = 1;
  int Total = 0;
  int Serial = 1;
  // 4: a system with the 64-bit free-space query (every system we run on).
  int PlatformKind = 4;
  os::WindowPlacement GraphPlacement;
  os::WindowPlacement MainPlacement;

  int DiverCount = 0;
  QStringList DiverList;
  QString DefaultDiver;
  QString DefaultBuddy;
  int PlaceCount = 0;
  QStringList PlaceList;
  QString DefaultPlace;
  int UserArticleCount = 0;
  QStringList ArticleNames;
  QStringList ArticleFiles;

  int AlbumMode = 2;      // 1 list, 2 thumbnails
  int DepthUnitMode = 1;  // 1 metres and Celsius, 2 feet and Fahrenheit
  int GraphKind = 0;      // 0 none, 1 one dive, 2 several dives
  int SearchMode = 0;     // 1 while the journal shows search results

  QString WeightUnit;
  QString PressureUnit;
  QString CapacityUnit;

  std::array<GraphLine, 8> GraphLines;
  GraphConf Graph;

  int WeatherCount = 0;
  QStringList WeatherList;
  int TankCount = 0;
  QStringList TankList;

 private:
  // Appends every record of `source` to `destination` with the batch move,
  // which is left in its copying mode without a source.
  void AppendAll(db::DataSet& source, db::Table& destination);
  void ReadSettingsFile();
  void CreateFolders();
  void ReadSettings();
  void ReadDiverList();
  void ReadPlaceList();
  void ReadKeyedList(const char* section, int bufferSize, int& count, QStringList& list);
  void CreateJournal(db::Table& table, bool withIndexes);
  bool RebuildIfCsv();
  void MendDamagedJournal(const db::DbError& error);
};

// The one global instance, set while a data module exists.
extern TVelmDataModule* VelmDataModule;
