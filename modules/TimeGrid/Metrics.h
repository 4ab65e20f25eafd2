#pragma once

// Pixel metrics shared by both time grids, so that a button grid placed above
// a graph grid with the same line-header width shows the same days in the same
// columns.
namespace TimeGrid {

inline constexpr int kScrollBarExtent = 15;
inline constexpr int kColumnWidth = 26;
inline constexpr int kMonthBandHeight = 18;
inline constexpr int kDayBandHeight = 18;
inline constexpr int kColumnHeaderHeight = kMonthBandHeight + kDayBandHeight;
// Text is drawn in "Arial" of cell height 14 pixels, the way the height of a
// screen font is usually given; its character (em) height is 12 pixels.
inline constexpr int kFontCellHeight = 14;
inline constexpr int kFontPixelSize = 12;

} // namespace TimeGrid
