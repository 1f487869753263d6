#pragma once
// The look of the profile graph as the data module holds it, and its
// exchange records with the profile library.
#include <cstdint>

#include <QString>

struct VelmGraphConf;
struct VelmGraphLine;

// Colours are Windows RGB values: red in the low byte, 24 bits.
using WinColor = std::uint32_t;

struct GraphConf {
  // Option bits, each option written as one of a pair.
  enum : std::uint32_t {
    NotGradient = 0x00000010,
    Gradient = 0x00000020,
    PlainColor = 0x00000100,
    NotPlainColor = 0x00000200,
    PictureStretch = 0x00001000,
    PictureTile = 0x00002000,
    PictureCenter = 0x00004000,
    NotPicture = 0x00010000,
    Picture = 0x00040000,
    View3D = 0x00100000,
    View2D = 0x00200000,
    GridShown = 0x01000000,
    GridHidden = 0x02000000,
  };

  std::uint32_t Flags = 0;
  std::uint32_t Reserved = 0;  // carried unchanged through every copy and store
  WinColor LeftWallColor = 0;
  WinColor BottomWallColor = 0;
  WinColor BackColor = 0;
  WinColor PanelColor = 0;
  WinColor GradStartColor = 0;
  WinColor GradEndColor = 0;
  WinColor GridColor = 0;
  WinColor LegendColor = 0;
  WinColor CursorColor = 0;
  QString ImageFile;
  QString GradFile;
};

struct GraphLine {
  WinColor Color = 0x0000FF;  // red
  int Width = 1;
};

GraphConf GraphConfFromRecord(const VelmGraphConf& record);
void GraphConfToRecord(const GraphConf& conf, VelmGraphConf& record);
GraphLine GraphLineFromRecord(const VelmGraphLine& record);
void GraphLineToRecord(const GraphLine& line, VelmGraphLine& record);

// Reads and writes through the profile library.
GraphConf LoadGraphConf();
void StoreGraphConf(const GraphConf& conf);
GraphLine LoadGraphLine(int index);
void StoreGraphLine(int index, const GraphLine& line);
