// The built-in bitmap font of the canvas: 5 x 9 glyphs (7 rows above the baseline, 2 below) in a
// 6 x 10 cell, for the printable ASCII characters; every other byte shows as a hollow box.
#pragma once

#include <array>
#include <cstdint>

namespace morvane {

inline constexpr int kFontCellWidth = 6;
inline constexpr int kFontCellHeight = 10;
inline constexpr int kGlyphRows = 9;
inline constexpr int kGlyphColumns = 5;
// The first glyph row sits this many rows below the top of the cell.
inline constexpr int kGlyphTop = 1;

using TGlyph = std::array<uint8_t, kGlyphRows>;  // bit 4 of a row is its leftmost column

const TGlyph& GlyphOf(unsigned char c);

}  // namespace morvane
