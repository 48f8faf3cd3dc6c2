// How the passes read a numeric field. Internal to the validation module.
#pragma once

#include <string_view>

#include "sheet/numeric.hpp"

namespace kavelin::validate::detail {

// The passes read a field exactly as the patch writer will, so that what passes is what
// is written.
inline double StoredValue(std::u16string_view fieldText) {
  return sheet::NumericValue(fieldText);
}

inline bool InRange(double value, double low, double high) {
  return value >= low && value <= high;
}

inline bool Equals(double value, double exactly) {
  return value == exactly;
}

}  // namespace kavelin::validate::detail
