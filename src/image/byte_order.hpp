// Little-endian numbers in the image files' headers, read and written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kavelin::image {

// `size` bytes at `at`, least significant first; the caller has checked they are there.
inline std::uint32_t ReadLittle(std::span<const std::uint8_t> bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

inline void PutLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace kavelin::image
