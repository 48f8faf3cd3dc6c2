#include <algorithm>
#include <array>

#include "image/deflate.hpp"

namespace kavelin::image {
namespace {

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k)
      c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}();

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (const std::uint8_t b : bytes)
    c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
  constexpr std::uint32_t kBase = 65521;
  // 5552 bytes is the longest run whose sums cannot overflow 32 bits before the modulo.
  constexpr std::size_t kRun = 5552;
  std::uint32_t a = 1, b = 0;
  for (std::size_t at = 0; at < bytes.size(); at += kRun) {
    const std::size_t end = std::min(bytes.size(), at + kRun);
    for (std::size_t i = at; i < end; ++i) {
      a += bytes[i];
      b += a;
    }
    a %= kBase;
    b %= kBase;
  }
  return b << 16 | a;
}

}  // namespace kavelin::image
