// Where the sprite frames stand in a template.
#pragma once

#include <array>

namespace kavelin::image {

struct Cell {
  int x, y, w, h;  // top-left pixel, before the origin offset; size in pixels
};

// The 23 sprite cells, in scan order.
inline constexpr std::array<Cell, 23> kSpriteCells = {{
    {1, 1, 24, 32},   {26, 9, 24, 24},   {51, 9, 24, 24},   {76, 1, 24, 32},   {101, 9, 24, 24},
    {126, 9, 24, 24}, {151, 9, 16, 24},  {1, 34, 24, 32},   {26, 42, 24, 24},  {51, 42, 24, 24},
    {76, 34, 24, 32}, {101, 34, 24, 32}, {126, 42, 24, 24}, {1, 67, 24, 32},   {26, 67, 24, 32},
    {51, 67, 24, 32}, {76, 75, 16, 16},  {101, 67, 24, 32}, {126, 67, 24, 32}, {151, 75, 24, 24},
    {1, 116, 24, 16}, {26, 116, 24, 16}, {51, 100, 32, 16},
}};

constexpr int CellPixelTotal() {
  int total = 0;
  for (const Cell& c : kSpriteCells)
    total += c.w * c.h;
  return total;
}
static_assert(CellPixelTotal() == 14208);

}  // namespace kavelin::image
