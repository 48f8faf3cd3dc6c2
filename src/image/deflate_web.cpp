// Platform door: the zlib stream in the web build, made by the page's port of zlib's
// deflate at its best compression (what deflate_zlib.cpp asks of zlib), so that a PNG the
// page saves is byte for byte the desktop's. Where no page brings it (under node), the
// data goes in stored blocks.
#include <emscripten.h>

#include "image/deflate.hpp"

namespace kavelin::image {
namespace {

// The page's deflate of the bytes, kept by the module until taken; -1 without one. The
// bodies are JavaScript, which the C++ formatter would break.
// clang-format off
EM_JS(int, PageDeflate, (const std::uint8_t* data, int size), {
  const deflate = globalThis.kavelinDeflate;
  if (typeof deflate !== 'function') return -1;
  Module.kavelinPacked = deflate(HEAPU8.slice(data, data + size));
  return Module.kavelinPacked.length;
});

EM_JS(void, TakePageDeflate, (std::uint8_t* out), {
  HEAPU8.set(Module.kavelinPacked, out);
  Module.kavelinPacked = null;
});
// clang-format on

}  // namespace

std::optional<std::vector<std::uint8_t>> ZlibStream(std::span<const std::uint8_t> data) {
  const int size = PageDeflate(data.data(), static_cast<int>(data.size()));
  if (size < 0) return StoredZlibStream(data);
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(size));
  TakePageDeflate(packed.data());
  return packed;
}

}  // namespace kavelin::image
