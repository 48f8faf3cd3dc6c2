#include "image/decoder.hpp"

#include <algorithm>
#include <iterator>
#include <new>

#include "io/read_file.hpp"

namespace kavelin::image {
namespace {}  // namespace

std::optional<Raster> DecodeImage(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(bytes);
  if (bytes.size() >= std::size(kPngSignature) &&
      std::equal(std::begin(kPngSignature), std::end(kPngSignature), bytes.begin()))
    return DecodePng(bytes);
  return DecodeGif(bytes);
}

std::optional<Raster> DecodeImageFile(const std::filesystem::path& file) {
  const io::FileRead read = io::ReadFile(file, kMaxTemplateFileBytes);
  // Low memory is no fault of the file's; the intake says which it was.
  if (!read && io::ProblemOf(read.Why()) == io::ReadProblem::kOutOfMemory) throw std::bad_alloc();
  if (!read) return std::nullopt;
  return DecodeImage(*read);
}

}  // namespace kavelin::image
