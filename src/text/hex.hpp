// Upper-case hexadecimal for messages and listings: codes, bytes and palette words.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kavelin::text {

// `value` in at least `digits` digits, e.g. Hex(0x0B) is "0B" and Hex(0x1F, 4) is "001F".
inline std::string Hex(unsigned value, int digits = 2) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[value & 0xFu]);
    value >>= 4;
    --digits;
  } while (value != 0 || digits > 0);
  return out;
}

// Bytes as two digits each, separated by spaces: "82 A0 FF".
inline std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (const auto b : bytes) {
    if (!out.empty()) out += ' ';
    out += Hex(b);
  }
  return out;
}

}  // namespace kavelin::text
