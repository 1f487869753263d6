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

#include "platform/os/UiServices.h"
#include "platform/os/WindowPlacement.h"
#include "store/GraphSettings.h"

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
  // The journal's current index name, saved as the sort field at shutdown.
  std::function<QString()> JournalIndexName;

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
  void ReadSettingsFile();
  void CreateFolders();
  void ReadSettings();
  void ReadDiverList();
  void ReadPlaceList();
  void ReadKeyedList(const char* section, int bufferSize, int& count, QStringList& list);
};

// The one global instance, set while a data module exists.
extern TVelmDataModule* VelmDataModule;
