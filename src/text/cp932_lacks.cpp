#include <algorithm>

#include "text/encoding.hpp"

namespace kavelin::text {
namespace {

// The first byte of a two-byte character of code page 932.
constexpr bool IsLeadByte(std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

std::u16string Cp932Lacks(std::u16string_view text) {
  // The encoder gives one character per code unit, so its bytes walk along the text.
  const std::vector<std::uint8_t> bytes = EncodeCp932(text);
  std::u16string lacking;
  std::size_t at = 0;
  for (const char16_t c : text) {
    if (at >= bytes.size()) break;
    const bool substituted = bytes[at] == '?' && c != u'?';
    at += IsLeadByte(bytes[at]) ? 2 : 1;
    if (substituted && lacking.find(c) == std::u16string::npos) lacking += c;
  }
  return lacking;
}

}  // namespace kavelin::text
