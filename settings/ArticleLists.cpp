#include "settings/ArticleLists.h"

#include <QFile>
#include <algorithm>
#include <unistd.h>

#include "platform/os/Codec.h"
#include "store/Dataunit.h"
#include "store/ListFiles.h"
#include "store/Velm.h"

namespace articles {
namespace {

struct ListFiles {
  QString divers, places, temp, move;
};

std::optional<ListFiles> FilesInUserFolder() {
  const auto folder = velmq::UconfDir();
  if (!folder) return std::nullopt;
  return ListFiles{velmq::MakePathname(*folder, QStringLiteral("DIVER.LST")),
                   velmq::MakePathname(*folder, QStringLiteral("LOCA.LST")),
                   velmq::MakePathname(*folder, QStringLiteral("REGIST.TMP")),
                   velmq::MakePathname(*folder, QStringLiteral("REGIST.MOV"))};
}

QStringList ReadKeyed(const char* section, int bufferSize) {
  QStringList list;
  const int count = velmq::GetUconfInt(section, "Count");
  for (int n = 1; n <= count; ++n) list << velmq::GetUconfIndexData(section, n, bufferSize);
  return list;
}

// Clears the section, writes the count and the entries; each written entry
// joins the data module's list at once.
bool WriteKeyed(const char* section, const QStringList& entries, int& count, QStringList& copy) {
  velmq::SetUconfString(section, nullptr, QString());
  velmq::SetUconfInt(section, "Count", static_cast<int>(entries.size()));
  copy.clear();
  count = 0;
  for (int n = 1; n <= entries.size(); ++n) {
    if (!velmq::SetUconfIndexData(section, n, entries[n - 1])) return false;
    copy << entries[n - 1];
    count = static_cast<int>(copy.size());
  }
  return true;
}

// Writes a plain list into the temporary file, then puts it in the list
// file's place. The data module's list follows entry by entry.
bool WritePlainList(const QStringList& entries, const QString& target, const ListFiles& files,
                    QStringList& copy) {
  QFile temp(files.temp);
  if (!temp.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  copy.clear();
  for (const QString& entry : entries) {
    const QByteArray line = os::ToAnsi(entry) + '\n';
    if (temp.write(line) != line.size()) return false;
    copy << entry;
  }
  if (!temp.flush() || ::fsync(temp.handle()) != 0) return false;
  temp.close();
  return lists::ReplaceThroughMoveFile(target, files.temp, files.move);
}

}  // namespace

LoadResult Load(ArticleLists& l) {
  l = ArticleLists{};
  l.Weather = ReadKeyed("Weather", 13);
  l.Tank = ReadKeyed("Tank", 11);
  const auto files = FilesInUserFolder();
  if (!files) return LoadResult::NoUserFolder;
  lists::RecoverMoveFile({files->divers, files->places}, files->move);

  const auto divers = lists::TryReadLines(files->divers);
  if (!divers) return LoadResult::ReadError;
  l.Divers = *divers;
  l.DefaultDiver = velmq::GetUconfString("Default", "Diver", 21).value_or(QString()).left(20);
  l.DefaultBuddy = velmq::GetUconfString("Default", "Buddy", 21).value_or(QString()).left(20);

  const auto places = lists::TryReadLines(files->places);
  if (!places) return LoadResult::ReadError;
  l.Places = *places;
  l.DefaultPlace = velmq::GetUconfString("Default", "Location", 21).value_or(QString()).left(20);
  return LoadResult::Loaded;
}

bool Save(const ArticleLists& l, TVelmDataModule& dm) {
  if (l.WeatherChanged && !WriteKeyed("Weather", l.Weather, dm.WeatherCount, dm.WeatherList)) {
    return false;
  }
  if (l.TankChanged && !WriteKeyed("Tank", l.Tank, dm.TankCount, dm.TankList)) return false;

  std::optional<ListFiles> files;
  if (l.DiversChanged || l.PlacesChanged) {
    files = FilesInUserFolder();
    if (!files) return false;
  }
  if (l.DiversChanged) {
    if (!WritePlainList(l.Divers, files->divers, *files, dm.DiverList)) return false;
    dm.DiverCount = static_cast<int>(l.Divers.size());
    velmq::SetUconfInt("Count", "Diver Lst", dm.DiverCount);
  }
  if (l.DefaultDiverChanged) {
    if (!velmq::SetUconfString("Default", "Diver", l.DefaultDiver)) return false;
    dm.DefaultDiver = l.DefaultDiver;
  }
  if (l.DefaultBuddyChanged) {
    if (!velmq::SetUconfString("Default", "Buddy", l.DefaultBuddy)) return false;
    dm.DefaultBuddy = l.DefaultBuddy;
  }
  if (l.PlacesChanged) {
    if (!WritePlainList(l.Places, files->places, *files, dm.PlaceList)) return false;
    dm.PlaceCount = static_cast<int>(l.Places.size());
    if (!velmq::SetUconfInt("Count", "Loca Lst", dm.PlaceCount)) return false;
  }
  if (l.DefaultPlaceChanged) {
    if (!velmq::SetUconfString("Default", "Location", l.DefaultPlace)) return false;
    dm.DefaultPlace = l.DefaultPlace;
  }
  return true;
}

Buttons ButtonRule(int count, int maximum, QList<int> selected) {
  Buttons b;
  b.add = count < maximum;
  if (selected.size() == 1) {
    b.modify = b.remove = true;
    b.up = selected.first() > 0;
    b.down = selected.first() < count - 1;
  } else {
    b.remove = !selected.isEmpty();
  }
  return b;
}

int DeleteRows(QStringList& list, QList<int> selected) {
  std::sort(selected.begin(), selected.end());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  if (selected.isEmpty()) return list.isEmpty() ? -1 : 0;
  // Rows go from the bottom up, so the last one removed is the topmost; the
  // row that followed it now stands in its place.
  for (auto it = selected.crbegin(); it != selected.crend(); ++it) {
    if (*it >= 0 && *it < list.size()) list.removeAt(*it);
  }
  if (list.isEmpty()) return -1;
  return std::min(selected.first(), static_cast<int>(list.size()) - 1);
}

}  // namespace articles
