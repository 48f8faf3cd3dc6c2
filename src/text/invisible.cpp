// General categories from ICU, so that they follow the Unicode version ICU carries rather
// than a table of ours that would go stale.
#include "text/invisible.hpp"

#include <unicode/uchar.h>

#include <cstdint>

namespace kavelin::text {
namespace {

std::uint32_t CategoryMask(char32_t c) {
  if (c > 0x10FFFF) return 0;
  return U_GET_GC_MASK(static_cast<UChar32>(c));
}

}  // namespace

bool IsInvisibleCharacter(char32_t c) {
  return (CategoryMask(c) & (U_GC_CC_MASK | U_GC_CF_MASK | U_GC_ZL_MASK | U_GC_ZP_MASK)) != 0;
}

bool IsSpaceCharacter(char32_t c) {
  return (CategoryMask(c) & U_GC_ZS_MASK) != 0;
}

}  // namespace kavelin::text
