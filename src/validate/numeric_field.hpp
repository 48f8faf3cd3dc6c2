// How the passes read a numeric field. Internal to the validation module.
#pragma once

#include <optional>
#include <string_view>

#include "sheet/numeric.hpp"
#include "text/widths.hpp"

namespace kavelin::validate::detail {

// The number the patch will store for a field, or none when the text reads as another
// number once full-width digits, signs and spaces count (say "１００" or "1　0"): the
// writer would store a value the user did not type, so such a field passes no check.
inline std::optional<double> StoredValue(std::u16string_view fieldText) {
  const double asStored = sheet::NumericValue(fieldText);
  const double asTyped = sheet::NumericValue(text::NarrowText(fieldText));
  if (asStored != asTyped) return std::nullopt;
  return asStored;
}

inline bool InRange(std::optional<double> value, double low, double high) {
  return value && *value >= low && *value <= high;
}

inline bool Equals(std::optional<double> value, double exactly) {
  return value && *value == exactly;
}

}  // namespace kavelin::validate::detail
