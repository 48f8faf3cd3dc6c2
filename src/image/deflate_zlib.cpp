// The zlib stream made by zlib itself, at its best compression.
#include <zlib.h>

#include "image/deflate.hpp"

namespace kavelin::image {

std::optional<std::vector<std::uint8_t>> ZlibStream(std::span<const std::uint8_t> data) {
  uLongf packedSize = compressBound(static_cast<uLong>(data.size()));
  std::vector<std::uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, data.data(), static_cast<uLong>(data.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    return std::nullopt;
  packed.resize(packedSize);
  return packed;
}

}  // namespace kavelin::image
