#include "sheet/stat_display.hpp"

#include <cmath>

#include "sheet/exact_decimal.hpp"
#include "sheet/numeric.hpp"
#include "text/widths.hpp"

namespace kavelin::sheet {
namespace {

std::u16string Ascii(std::string_view s) {
  return std::u16string(s.begin(), s.end());
}

std::u16string ShiftText(int shift) {
  return Ascii(std::to_string(shift));
}

}  // namespace

std::u16string PlainDecimalForm(double value) {
  // Adding zero turns a negative zero into zero, which shows without a sign.
  value += 0.0;
  // The shortest fixed form that reads back exactly; the largest double has 309 digits.
  return Ascii(ShortestFixed(value));
}

std::u16string GeneralNumberForm(double value) {
  std::u16string text = PlainDecimalForm(value);
  if (!text.starts_with(u'-')) text.insert(text.begin(), u' ');
  return text;
}

std::optional<StatDisplay> RecomputeStatDisplay(const std::array<std::u16string, kStatCount>& stats,
                                                int destinyStar, int favouriteWeapon) {
  if (destinyStar < 0 || static_cast<std::size_t>(destinyStar) >= kStarShiftTable.size() ||
      favouriteWeapon < 0 || static_cast<std::size_t>(favouriteWeapon) >= kWeaponShiftTable.size())
    return std::nullopt;
  const StatShifts& star = kStarShiftTable[static_cast<std::size_t>(destinyStar)];
  const StatShifts& weapon = kWeaponShiftTable[static_cast<std::size_t>(favouriteWeapon)];

  StatDisplay display;
  double total = 0;
  for (std::size_t k = 0; k < kStatCount; ++k) {
    display.starShift[k] = ShiftText(star[k]);
    display.weaponShift[k] = ShiftText(weapon[k]);
    const double shifted = NumericValue(stats[k]) + star[k] + weapon[k];
    display.shifted[k] = GeneralNumberForm(shifted);
    // The total adds what the displays show; their form reads back as the same value.
    total += NumericValue(display.shifted[k]);
  }
  display.total = GeneralNumberForm(total);
  return display;
}

std::u16string TidyNumberBox(std::u16string_view text) {
  const std::u16string narrow = text::NarrowText(text);
  const double value = NumericValue(narrow);
  if (!std::isfinite(value)) return narrow;
  return PlainDecimalForm(value);
}

}  // namespace kavelin::sheet
