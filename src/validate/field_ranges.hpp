// The values the error pass accepts in each numeric field, for the pass itself and for
// the window, which tells them in each box's tooltip.
#pragma once

#include <optional>

namespace kavelin::validate {

struct FieldRange {
  int low, high;
  std::optional<int> alsoAccepted;  // one value outside the range that is allowed too
  constexpr bool Accepts(double value) const {
    return (value >= low && value <= high) || (alsoAccepted && value == *alsoAccepted);
  }
};

inline constexpr FieldRange kStatRange = {5, 90, std::nullopt};
inline constexpr FieldRange kLpRange = {3, 99, 128};
inline constexpr FieldRange kInitialHpRange = {30, 900, std::nullopt};
inline constexpr FieldRange kLevelRange = {0, 31, std::nullopt};
inline constexpr FieldRange kGrowthRateRange = {0, 8, 255};

}  // namespace kavelin::validate
