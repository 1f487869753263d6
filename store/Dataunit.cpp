#include "store/Dataunit.h"

#include <QDir>
#include <QFileInfo>
#include <bit>

#include "platform/os/FreeSpace.h"
#include "platform/os/SingleInstance.h"
#include "profile_library/velm.h"
#include "resources/Strings.h"
#include "store/ListFiles.h"
#include "store/Velm.h"

TVelmDataModule* VelmDataModule = nullptr;

namespace {

constexpr int kCaption = 1;               // "KELDORAN GRAPH 2"
constexpr int kNoSpace = 1830;            // "Unable to execute due to insufficient disk space"
constexpr int kNoUserEnvironment = 1930;  // "No user environment setting"

QString DefaultLogBookFolder(const QString& programFolder) {
  return programFolder + QStringLiteral("/LOG");
}

// Both are the Windows layout of a placement.
os::WindowPlacement FromVelm(const VelmWindowPlacement& v) {
  return std::bit_cast<os::WindowPlacement>(v);
}

VelmWindowPlacement ToVelm(const os::WindowPlacement& p) {
  return std::bit_cast<VelmWindowPlacement>(p);
}

os::WindowPlacement ReadPlacement(const char* name) {
  VelmWindowPlacement v{};
  get_window_place(name, &v);
  return FromVelm(v);
}

}  // namespace

TVelmDataModule::TVelmDataModule(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("VelmDataModule"));
  RebuildJournalFromCsv = [this] { RebuildFromCsv(); };
  LogDataSource.SetDataSet(&LogTable);
  TmpLogDataSource.SetDataSet(&TmpLogTable);
  VelmDataModule = this;
}

TVelmDataModule::~TVelmDataModule() {
  if (VelmDataModule == this) VelmDataModule = nullptr;
}

int TVelmDataModule::ShowMessageId(int textId, int captionId, os::MsgIcon icon,
                                   os::MsgButtons buttons) const {
  os::MessageRequest request;
  request.textId = textId;
  request.captionId = captionId;
  request.text = res::LoadStr(textId);
  request.caption = res::LoadStr(captionId);
  request.icon = icon;
  request.buttons = buttons;
  return os::Ui().MessageBox(request);
}

int TVelmDataModule::CheckProgramFolderSpace() const { return os::CheckFreeSpace(ProgramFolder); }

int TVelmDataModule::CheckLogBookFolderSpace() const { return os::CheckFreeSpace(LogBookFolder); }

bool TVelmDataModule::EnsureProgramFolderSpace() const {
  if (CheckProgramFolderSpace() != -1) return true;
  ShowMessageId(kNoSpace, kCaption, os::MsgIcon::Warning);
  return false;
}

int TVelmDataModule::VelmDataModuleCreate() {
  ReadSettingsFile();

  MainPlacement = ReadPlacement("Main");
  if (MainPlacement.length != 0 && ApplyMainPlacement) ApplyMainPlacement(MainPlacement);

  if (CheckProgramFolderSpace() == -1) {
    ShowMessageId(kNoSpace, kCaption, os::MsgIcon::Warning);
    return 1;
  }

  CreateFolders();
  ReadSettings();
  OpenJournalTable();
  return 0;
}

// Step 1: KELDORAN.INI, created or completed.
void TVelmDataModule::ReadSettingsFile() {
  ProgramFolder = QDir::currentPath();
  const bool present =
      QFileInfo::exists(os::WindowsFolder() + u'/' + QLatin1String(velmq::kIniName));
  velmq::SetProfPath("Config", "Top Dir", ProgramFolder);
  if (!present) {
    LogBookFolder = DefaultLogBookFolder(ProgramFolder);
    velmq::SetProfPath("Config", "Log Dir", LogBookFolder);
    SerialPort = 1;
    velmq::SetProfInt("Config", "Serial Port", SerialPort);
  } else {
    if (const auto logDir = velmq::GetProfPath("Config", "Log Dir")) {
      LogBookFolder = *logDir;
    } else {
      LogBookFolder = DefaultLogBookFolder(ProgramFolder);
      velmq::SetProfPath("Config", "Log Dir", LogBookFolder);
    }
    SerialPort = velmq::GetProfInt("Config", "Serial Port");
    if (SerialPort == 0) {
      SerialPort = 1;
      velmq::SetProfInt("Config", "Serial Port", SerialPort);
    }
  }
  WorkFolder = ProgramFolder + QStringLiteral("/WORK");
}

// Step 5: USERCONF, the log-book folder (falling back to LOG) and WORK.
void TVelmDataModule::CreateFolders() {
  QDir root(ProgramFolder);
  const QFileInfo uconf(root.filePath(QStringLiteral("USERCONF")));
  if (!uconf.exists() && !root.mkdir(QStringLiteral("USERCONF"))) return;

  if (!QFileInfo(LogBookFolder).isDir()) {
    LogBookFolder = DefaultLogBookFolder(ProgramFolder);
    const QFileInfo log(LogBookFolder);
    if (!log.exists() && !root.mkdir(QStringLiteral("LOG"))) return;
    velmq::SetProfPath("Config", "Log Dir", LogBookFolder);
  }

  if (!QFileInfo(WorkFolder).exists()) root.mkdir(QStringLiteral("WORK"));
}

// Step 6: settings and lists, in their stored order.
void TVelmDataModule::ReadSettings() {
  DepthUnitMode = velmq::GetUconfInt("Measure", "Mode");
  if (DepthUnitMode != 1 && DepthUnitMode != 2) DepthUnitMode = 1;

  Total = get_log_int("Count", "Total", 10) % 10000;
  Serial = get_log_int("Count", "Serial", 10) % 10000;
  if (Serial == 0) Serial = 1;

  DiverCount = velmq::GetUconfInt("Count", "Diver Lst");
  ReadDiverList();
  PlaceCount = velmq::GetUconfInt("Count", "Loca Lst");
  ReadPlaceList();
  UserArticleCount = velmq::GetUconfInt("Count", "Userdef Lst");
  ReloadUserArticles();

  AlbumMode = velmq::GetUconfInt("Album", "Mode");
  if (AlbumMode == 0) AlbumMode = 2;

  PressureUnit = velmq::GetUconfString("Measure", "Preaaure", 11).value_or(QString());
  CapacityUnit = velmq::GetUconfString("Measure", "Capacity", 11).value_or(QString());
  WeightUnit = velmq::GetUconfString("Measure", "Weight", 11).value_or(QString());

  ReadKeyedList("Weather", 13, WeatherCount, WeatherList);
  ReadKeyedList("Tank", 11, TankCount, TankList);

  Graph = LoadGraphConf();
  for (int i = 0; i < 8; ++i) GraphLines[static_cast<std::size_t>(i)] = LoadGraphLine(i);
}

void TVelmDataModule::ReadDiverList() {
  DiverList.clear();
  DefaultDiver.clear();
  DefaultBuddy.clear();
  const auto folder = velmq::UconfDir();
  if (!folder) {
    ShowMessageId(kNoUserEnvironment, kCaption, os::MsgIcon::Warning);
    return;
  }
  const QString divers = velmq::MakePathname(*folder, QStringLiteral("DIVER.LST"));
  lists::RecoverMoveFile({divers, velmq::MakePathname(*folder, QStringLiteral("LOCA.LST"))},
                         velmq::MakePathname(*folder, QStringLiteral("REGIST.MOV")));
  DiverList = lists::ReadPlainList(divers);
  DefaultDiver = velmq::GetUconfString("Default", "Diver", 21).value_or(QString()).left(20);
  DefaultBuddy = velmq::GetUconfString("Default", "Buddy", 21).value_or(QString()).left(20);
}

void TVelmDataModule::ReadPlaceList() {
  PlaceList.clear();
  DefaultPlace.clear();
  const auto folder = velmq::UconfDir();
  if (!folder) {
    ShowMessageId(kNoUserEnvironment, kCaption, os::MsgIcon::Warning);
    return;
  }
  PlaceList = lists::ReadPlainList(velmq::MakePathname(*folder, QStringLiteral("LOCA.LST")));
  DefaultPlace = velmq::GetUconfString("Default", "Location", 21).value_or(QString()).left(20);
}

void TVelmDataModule::ReloadUserArticles() {
  ArticleNames.clear();
  ArticleFiles.clear();
  const auto folder = velmq::UconfDir();
  if (!folder) {
    ShowMessageId(kNoUserEnvironment, kCaption, os::MsgIcon::Warning);
    return;
  }
  lists::ReadUserDefList(velmq::MakePathname(*folder, QStringLiteral("USERDEF.LST")),
                         ArticleNames, ArticleFiles);
}

void TVelmDataModule::ReadKeyedList(const char* section, int bufferSize, int& count,
                                    QStringList& list) {
  list.clear();
  count = velmq::GetUconfInt(section, "Count");
  for (int n = 1; n <= count; ++n) list << velmq::GetUconfIndexData(section, n, bufferSize);
}

void TVelmDataModule::SaveSettings() {
  velmq::SetProfPath("Config", "Log Dir", LogBookFolder);
  velmq::SetUconfString("Measure", "Preaaure", PressureUnit);
  velmq::SetUconfString("Measure", "Capacity", CapacityUnit);
  velmq::SetUconfString("Measure", "Weight", WeightUnit);
  velmq::SetUconfInt("Measure", "Mode", DepthUnitMode);
  velmq::SetProfInt("Config", "Serial Port", SerialPort);
}

void TVelmDataModule::VelmDataModuleDestroy() {
  if (TakeMainPlacement) MainPlacement = TakeMainPlacement();

  WriteCsvFile();

  VelmWindowPlacement main = ToVelm(MainPlacement);
  VelmWindowPlacement graph = ToVelm(GraphPlacement);
  if (main.length != 0) set_window_place("Main", &main);
  if (graph.length != 0) set_window_place("Graph", &graph);

  set_log_int("Count", "Total", 10, Total);
  set_log_int("Count", "Serial", 10, Serial);
  velmq::SetUconfInt("Count", "Diver Lst", DiverCount);
  velmq::SetUconfInt("Count", "Loca Lst", PlaceCount);
  velmq::SetUconfInt("Count", "Userdef Lst", UserArticleCount);

  StoreGraphConf(Graph);

  const QString indexName = LogTable.IndexName();
  if (!indexName.isEmpty()) velmq::SetUconfString("Default", "Sort Field", indexName);

  for (int i = 0; i < 8; ++i) StoreGraphLine(i, GraphLines[static_cast<std::size_t>(i)]);

  DiverList.clear();
  PlaceList.clear();
  ArticleNames.clear();
  ArticleFiles.clear();
  WeatherList.clear();
  TankList.clear();
}
