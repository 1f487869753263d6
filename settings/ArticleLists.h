#pragma once
// The article lists the journal entry form offers: divers (also the
// buddies), dive places, weather and tank materials, with the three default
// values. This is the load and save logic behind the article setting
// dialog; the predecessor import runs the same save step without a dialog.
#include <QString>
#include <QStringList>

class TVelmDataModule;

namespace articles {

// Limits on the number of entries, enforced by the editors.
inline constexpr int kMaxWeather = 100;
inline constexpr int kMaxTank = 100;
inline constexpr int kMaxDivers = 1000;
inline constexpr int kMaxPlaces = 1000;

// Entry widths: those of the journal fields that receive them.
inline constexpr int kWeatherWidth = 12;
inline constexpr int kTankWidth = 10;
inline constexpr int kPersonWidth = 20;
inline constexpr int kPlaceWidth = 20;

struct ArticleLists {
  QStringList Weather;
  QStringList Tank;
  QStringList Divers;
  QStringList Places;
  QString DefaultDiver;
  QString DefaultBuddy;
  QString DefaultPlace;

  // Change marks: only marked parts are saved.
  bool WeatherChanged = false;
  bool TankChanged = false;
  bool DiversChanged = false;
  bool PlacesChanged = false;
  bool DefaultDiverChanged = false;
  bool DefaultBuddyChanged = false;
  bool DefaultPlaceChanged = false;
};

enum class LoadResult {
  Loaded,
  NoUserFolder,  // the profile library gives no user configuration folder
  ReadError,     // "DIVER.LST" or "LOCA.LST" exists but cannot be read
};

// The load step: the keyed lists, then the list files and the defaults.
// All change marks are cleared.
LoadResult Load(ArticleLists& lists);

// The save step: writes every marked part in order (weather, tank, divers,
// default diver, default buddy, places, default place) and brings the data
// module's copies along entry by entry. Stops at the first failing write
// and returns false; what was saved before stays saved.
bool Save(const ArticleLists& lists, TVelmDataModule& dataModule);

// Enabled states of a list's five buttons.
struct Buttons {
  bool add = false, modify = false, remove = false, up = false, down = false;
  bool operator==(const Buttons&) const = default;
};
// `selected` are the selected rows in any order.
Buttons ButtonRule(int count, int maximum, QList<int> selected);

// Removes the selected rows from the bottom up; returns the row to select
// afterwards (the row now at the place of the last one removed, or the last
// row), or -1 when the list is empty.
int DeleteRows(QStringList& list, QList<int> selected);

}  // namespace articles
