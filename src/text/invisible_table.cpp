// General categories without ICU: the ranges of cp932_table.inc, which the generator takes
// from ICU's character data, so that both builds follow the same Unicode version.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "text/cp932_table.hpp"
#include "text/invisible.hpp"

namespace kavelin::text {
namespace table {
namespace {

#include "text/cp932_table.inc"

// `ranges` are sorted and disjoint, each {first, last}.
template <std::size_t N>
bool InRanges(const char32_t (&ranges)[N][2], char32_t c) {
  const auto after = std::upper_bound(std::begin(ranges), std::end(ranges), c,
                                      [](char32_t v, const char32_t(&r)[2]) { return v < r[0]; });
  return after != std::begin(ranges) && c <= (*std::prev(after))[1];
}

}  // namespace

bool IsInvisibleCharacter(char32_t c) {
  return InRanges(kInvisibleRanges, c);
}

bool IsSpaceCharacter(char32_t c) {
  return InRanges(kSpaceRanges, c);
}

}  // namespace table

bool IsInvisibleCharacter(char32_t c) {
  return table::IsInvisibleCharacter(c);
}

bool IsSpaceCharacter(char32_t c) {
  return table::IsSpaceCharacter(c);
}

}  // namespace kavelin::text
