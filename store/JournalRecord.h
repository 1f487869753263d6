#pragma once
// One journal record as plain values: the 34 fields of the journal table in
// table order. Dates and times are held like the table holds them (days
// since 1899-12-30); an empty date or time field has no value.
#include <array>
#include <optional>

#include <QString>

struct JournalRecord {
  int ID = 0;
  int Mode = 1;  // 1 metres and Celsius, 2 feet and Fahrenheit
  std::optional<double> Date;
  QString No;
  std::optional<double> EntryTime;
  std::optional<double> SurfTime;
  QString Diver;
  QString Site;
  QString Buddy;
  QString AveDepth;
  QString MaxDepth;
  QString AveWater;
  QString MinWater;
  std::optional<double> RestTime;
  std::optional<double> DiveTime;
  QString Weather;
  QString Temp;
  QString Clarity;
  QString TankMaterial;
  QString TankCapacity;
  QString StartPres;
  QString EndPres;
  QString AirConsum;
  QString Weight;
  std::array<QString, 4> UserArticle;
  std::array<QString, 4> UserContent;
  QString Memo;
  int WatchData = 1;  // 1 from the watch, 2 entered by hand

  bool operator==(const JournalRecord&) const = default;
};
