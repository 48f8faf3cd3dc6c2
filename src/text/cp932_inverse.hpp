// The rule that turns the code page 932 decoder into most of its encoder: each UTF-16 unit
// goes to the first byte sequence that decodes to it, single bytes first, then pairs in
// byte order. The table's reader (encoding_table.cpp) builds its encoder by it, and the
// generator (tools/cp932) by it finds the units where ICU chooses otherwise.
#pragma once

#include <cstdint>
#include <vector>

namespace kavelin::text::table {

inline constexpr char16_t kReplacementUnit = 0xFFFD;
inline constexpr std::uint16_t kQuestionMarkCode = '?';

// `single(b)` is what byte b decodes to alone, `pair(lead, trail)` what the pair decodes
// to; `leads` and `trails` list the bytes that may stand first and second, ascending.
// Units nothing decodes to get "?".
template <class Single, class Pair, class Bytes>
std::vector<std::uint16_t> InvertDecoder(Single single, Pair pair, const Bytes& leads,
                                         const Bytes& trails) {
  std::vector<std::uint16_t> codes(0x10000, kQuestionMarkCode);
  std::vector<bool> taken(0x10000, false);
  const auto offer = [&](char16_t unit, unsigned code) {
    if (unit == kReplacementUnit || taken[unit]) return;
    taken[unit] = true;
    codes[unit] = static_cast<std::uint16_t>(code);
  };
  for (unsigned b = 0; b < 256; ++b)
    offer(single(b), b);
  for (const unsigned lead : leads) {
    for (const unsigned trail : trails)
      offer(pair(lead, trail), lead << 8 | trail);
  }
  return codes;
}

}  // namespace kavelin::text::table
