#include "image/decoder.hpp"

#include <algorithm>
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

// Reads the file up to kMaxFileBytes, sized by the file system first so that even a
// large bitmap comes in one read.
std::optional<std::vector<std::uint8_t>> ReadHead(const std::filesystem::path& file) {
  std::FILE* handle = OpenNative(file);
  if (handle == nullptr) return std::nullopt;
  std::setvbuf(handle, nullptr, _IONBF, 0);  // straight into our buffer, no copy of stdio's
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  // One byte more than the size, so that a file that grew meanwhile shows it.
  std::vector<std::uint8_t> bytes(
      std::min<std::uintmax_t>(error ? 1 << 16 : size + 1, kMaxFileBytes));
  std::size_t filled = 0;
  for (;;) {
    filled += std::fread(bytes.data() + filled, 1, bytes.size() - filled, handle);
    if (filled < bytes.size() || bytes.size() >= kMaxFileBytes) break;
    bytes.resize(std::min(bytes.size() * 2, kMaxFileBytes));
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
