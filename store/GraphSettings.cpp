#include "store/GraphSettings.h"

#include <cstring>

#include "platform/os/Codec.h"
#include "profile_library/velm.h"

namespace {

WinColor FromRGB(const int32_t (&c)[3]) {
  return static_cast<WinColor>((c[0] & 0xFF) | ((c[1] & 0xFF) << 8) | ((c[2] & 0xFF) << 16));
}

void ToRGB(WinColor color, int32_t (&c)[3]) {
  c[0] = static_cast<int32_t>(color & 0xFF);
  c[1] = static_cast<int32_t>((color >> 8) & 0xFF);
  c[2] = static_cast<int32_t>((color >> 16) & 0xFF);
}

QString FromField(const char (&field)[260]) {
  return os::FromAnsi(field, static_cast<qsizetype>(strnlen(field, sizeof field)));
}

void ToField(const QString& text, char (&field)[260]) {
  std::memset(field, 0, sizeof field);
  const QByteArray bytes = os::ToAnsi(text).left(sizeof field - 1);
  std::memcpy(field, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

WinColor GraphConf::*const kColorOrder[7] = {
    &GraphConf::BackColor,    &GraphConf::PanelColor, &GraphConf::GradStartColor,
    &GraphConf::GradEndColor, &GraphConf::GridColor,  &GraphConf::LegendColor,
    &GraphConf::CursorColor};

}  // namespace

GraphConf GraphConfFromRecord(const VelmGraphConf& r) {
  GraphConf c;
  c.Flags = static_cast<std::uint32_t>(r.Flags);
  c.Reserved = static_cast<std::uint32_t>(r.Reserved);
  c.LeftWallColor = FromRGB(r.LeftWallColor);
  c.BottomWallColor = FromRGB(r.BottomWallColor);
  for (int i = 0; i < 7; ++i) c.*kColorOrder[i] = FromRGB(r.Colors[i]);
  c.ImageFile = FromField(r.ImageFile);
  c.GradFile = FromField(r.GradFile);
  return c;
}

void GraphConfToRecord(const GraphConf& c, VelmGraphConf& r) {
  r.Flags = static_cast<int32_t>(c.Flags);
  r.Reserved = static_cast<int32_t>(c.Reserved);
  ToRGB(c.LeftWallColor, r.LeftWallColor);
  ToRGB(c.BottomWallColor, r.BottomWallColor);
  for (int i = 0; i < 7; ++i) ToRGB(c.*kColorOrder[i], r.Colors[i]);
  ToField(c.ImageFile, r.ImageFile);
  ToField(c.GradFile, r.GradFile);
}

GraphLine GraphLineFromRecord(const VelmGraphLine& r) {
  const int32_t rgb[3] = {r.Red, r.Green, r.Blue};
  return GraphLine{FromRGB(rgb), r.Width};
}

void GraphLineToRecord(const GraphLine& line, VelmGraphLine& r) {
  int32_t rgb[3];
  ToRGB(line.Color, rgb);
  r = VelmGraphLine{1, rgb[0], rgb[1], rgb[2], line.Width};
}

GraphConf LoadGraphConf() {
  VelmGraphConf record{};
  get_graph_conf(&record);
  return GraphConfFromRecord(record);
}

void StoreGraphConf(const GraphConf& conf) {
  VelmGraphConf record{};
  GraphConfToRecord(conf, record);
  set_graph_conf(&record);
}

GraphLine LoadGraphLine(int index) {
  VelmGraphLine record{};
  get_graph_line(index, &record);
  return GraphLineFromRecord(record);
}

void StoreGraphLine(int index, const GraphLine& line) {
  VelmGraphLine record{};
  GraphLineToRecord(line, record);
  set_graph_line(index, &record);
}
