// The zlib stream (RFC 1950) inside a PNG's IDAT, and the checksums around it. The stream
// comes from one file, chosen by the build: deflate_zlib.cpp compresses with zlib;
// deflate_web.cpp, in the web build, with the page's port of zlib's deflate, which gives
// the same bytes; deflate_stored.cpp, for other builds without zlib, keeps the bytes as
// they are in stored deflate blocks, which every PNG reader inflates (and the web build
// too where no page brings its deflate, as under node). The checksums are our own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kavelin::image {

// `data` as a complete zlib stream; nothing only when zlib runs out of memory.
std::optional<std::vector<std::uint8_t>> ZlibStream(std::span<const std::uint8_t> data);

// The stored-block stream, for builds without a compressor.
std::vector<std::uint8_t> StoredZlibStream(std::span<const std::uint8_t> data);

// The CRC-32 of PNG chunks and gzip (ISO 3309, reflected polynomial 0xEDB88320).
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// The Adler-32 that ends a zlib stream.
std::uint32_t Adler32(std::span<const std::uint8_t> bytes);

// The most a stored deflate block holds: its length field has 16 bits.
inline constexpr std::size_t kStoredBlockMax = 65535;

}  // namespace kavelin::image
