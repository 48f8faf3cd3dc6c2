// The zlib stream without zlib: the data in stored (uncompressed) deflate blocks
// (RFC 1951, 3.2.4), under the zlib header and the Adler-32 of RFC 1950. The file is
// larger than a compressed one, and just as valid.
#include <algorithm>

#include "image/deflate.hpp"

namespace kavelin::image {

std::vector<std::uint8_t> StoredZlibStream(std::span<const std::uint8_t> data) {
  const std::size_t blocks =
      std::max<std::size_t>(1, (data.size() + kStoredBlockMax - 1) / kStoredBlockMax);
  std::vector<std::uint8_t> out;
  out.reserve(2 + data.size() + 5 * blocks + 4);
  // Deflate with a 32 KiB window; level "fastest", which stored blocks are; no dictionary.
  // 0x7801 is a multiple of 31, as the header's check bits require.
  out.insert(out.end(), {0x78, 0x01});
  std::size_t at = 0;
  for (std::size_t k = 0; k < blocks; ++k) {
    const std::size_t length = std::min(kStoredBlockMax, data.size() - at);
    // BFINAL in bit 0, BTYPE 00 in bits 1 and 2; a stored block's header then pads to the
    // byte, and every block here starts on one.
    out.push_back(k + 1 == blocks ? 1 : 0);
    const auto len = static_cast<std::uint16_t>(length);
    const auto nlen = static_cast<std::uint16_t>(~len);
    out.insert(out.end(),
               {static_cast<std::uint8_t>(len & 0xFF), static_cast<std::uint8_t>(len >> 8),
                static_cast<std::uint8_t>(nlen & 0xFF), static_cast<std::uint8_t>(nlen >> 8)});
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  }
  const std::uint32_t adler = Adler32(data);
  for (int i = 3; i >= 0; --i)
    out.push_back(static_cast<std::uint8_t>(adler >> (8 * i)));
  return out;
}

#if !defined(__EMSCRIPTEN__)
std::optional<std::vector<std::uint8_t>> ZlibStream(std::span<const std::uint8_t> data) {
  return StoredZlibStream(data);
}
#endif

}  // namespace kavelin::image
