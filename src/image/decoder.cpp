#include "image/decoder.hpp"

#include <cstdio>
#include <vector>

namespace kavelin::image {
namespace {

// The largest bitmap allowed (4096 x 4096 at 32 bits) with room for its headers; a GIF's
// first frame is far smaller. Nothing past this is read.
constexpr std::size_t kMaxFileBytes = std::size_t{80} << 20;

std::FILE* OpenNative(const std::filesystem::path& file) {
#ifdef _WIN32
  return _wfopen(file.c_str(), L"rb");
#else
  return std::fopen(file.c_str(), "rb");
#endif
}

std::optional<std::vector<std::uint8_t>> ReadHead(const std::filesystem::path& file) {
  std::FILE* handle = OpenNative(file);
  if (handle == nullptr) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  bytes.resize(error ? std::size_t{1} << 16 : std::min<std::uintmax_t>(size + 1, kMaxFileBytes));
  std::size_t filled = 0;
  for (;;) {
    filled += std::fread(bytes.data() + filled, 1, bytes.size() - filled, handle);
    if (filled < bytes.size() || bytes.size() >= kMaxFileBytes) break;
    bytes.resize(std::min(bytes.size() * 2, kMaxFileBytes));  // the file grew, or its size was unknown
  }
  const bool failed = std::ferror(handle) != 0;
  std::fclose(handle);
  if (failed) return std::nullopt;
  bytes.resize(filled);
  return bytes;
}

}  // namespace

std::optional<Raster> DecodeImage(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(bytes);
  return DecodeGif(bytes);
}

std::optional<Raster> DecodeImageFile(const std::filesystem::path& file) {
  const auto bytes = ReadHead(file);
  if (!bytes) return std::nullopt;
  return DecodeImage(*bytes);
}

}  // namespace kavelin::image
