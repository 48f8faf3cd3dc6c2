// What the base-statistics frame shows beside the raw statistics: the shifts of the chosen
// destiny star and favourite weapon, the shifted values and their total. The patch carries
// only the raw statistics and the two list positions; these numbers are for the eye.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "sheet/catalogue.hpp"
#include "sheet/character_sheet.hpp"

namespace kavelin::sheet {

// One shift per statistic, in the order of kStatCaptions.
using StatShifts = std::array<int, kStatCount>;

// Rows in the order of the destiny-star list: 歳星 螢惑 鎮星 太白 辰星.
inline constexpr std::array<StatShifts, kDestinyStarCount> kStarShiftTable = {{
    {-1, 0, +2, -1, +1, -1, +1},
    {-2, +1, 0, -2, +2, +1, +1},
    {+1, -1, -2, 0, 0, +1, +2},
    {+2, -2, -1, +2, -1, +1, 0},
    {0, +2, +1, +1, -2, -2, +1},
}};

// Rows in the order of the favourite-weapon list: 剣 大剣 斧 棍棒 小剣 槍 弓 素手 なし.
inline constexpr std::array<StatShifts, kFavouriteWeaponCount> kWeaponShiftTable = {{
    {0, 0, 0, 0, 0, 0, +1},
    {+1, -1, -2, +2, 0, +1, -1},
    {+3, -2, -1, +1, -1, +1, -2},
    {+1, -1, +1, -1, +1, -1, -1},
    {-1, +1, +2, -2, +1, -1, +2},
    {+2, -1, +1, +1, 0, -1, -1},
    {0, +3, 0, -1, -2, +1, +1},
    {+2, -3, +1, +3, -2, -1, -1},
    {-2, +2, -2, -3, +3, +1, +2},
}};

// Every star weighs the same: each row of the star table adds up to +1.
constexpr bool StarRowsSumToOne() {
  for (const StatShifts& row : kStarShiftTable) {
    int sum = 0;
    for (const int shift : row)
      sum += shift;
    if (sum != 1) return false;
  }
  return true;
}
static_assert(StarRowsSumToOne());

struct StatDisplay {
  std::array<std::u16string, kStatCount> starShift;    // Label11(k): "-1", "0", "2"
  std::array<std::u16string, kStatCount> weaponShift;  // Label13(k)
  std::array<std::u16string, kStatCount> shifted;      // Label18(k), general number form
  std::u16string total;                                // Label20, general number form
  bool operator==(const StatDisplay&) const = default;
};

// The displays for the raw statistic texts and the selected list positions. Nothing when
// either list has no selection (a position outside its table), as at start-up before
// both lists are filled. Any text is accepted: the ranges are the error pass's business.
std::optional<StatDisplay> RecomputeStatDisplay(const std::array<std::u16string, kStatCount>& stats,
                                                int destinyStar, int favouriteWeapon);

// A leading space for zero and positive values, a minus sign for negative ones, then the
// shortest decimal form that reads back as the same value, never with an exponent:
// 17 → " 17", -2 → "-2", 14.5 → " 14.5".
std::u16string GeneralNumberForm(double value);

// The same without the leading space: 17 → "17", -0 → "0".
std::u16string PlainDecimalForm(double value);

// What a statistic or LP box holds after it loses the focus: the number at the start of
// its half-width form, in plain decimal form. "１５" → "15", "12ab" → "12", "" → "0". A
// number too large for a double keeps its digits as typed, since no form of it would read
// back as the same value.
std::u16string TidyNumberBox(std::u16string_view text);

}  // namespace kavelin::sheet
