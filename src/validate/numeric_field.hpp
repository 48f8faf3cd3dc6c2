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

}  // namespace kavelin::validate::detail
