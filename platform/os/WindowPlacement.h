#pragma once
// A window's placement in the layout Windows uses (WINDOWPLACEMENT, 44
// bytes), so stored placements keep their meaning.
#include <cstdint>

class QWidget;

namespace os {

struct WindowPlacement {
  std::uint32_t length = 0;  // 44 when filled; 0 = nothing stored
  std::uint32_t flags = 0;
  std::uint32_t showCmd = 0;  // 1 normal, 2 minimised, 3 maximised
  std::int32_t minX = 0, minY = 0;
  std::int32_t maxX = 0, maxY = 0;
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;  // normal position
};
static_assert(sizeof(WindowPlacement) == 44);

inline constexpr std::uint32_t kShowNormal = 1;
inline constexpr std::uint32_t kShowMinimized = 2;
inline constexpr std::uint32_t kShowMaximized = 3;

WindowPlacement TakePlacement(const QWidget& window);
// Applies a filled placement; one with length 0, or whose normal rectangle is
// empty, leaves the window as it is.
void ApplyPlacement(QWidget& window, const WindowPlacement& placement);

}  // namespace os
