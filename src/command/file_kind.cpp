#include "command/file_kind.hpp"

#include <array>
#include <fstream>

namespace kavelin::command {

FileKind KindOfBytes(std::span<const std::uint8_t> start) {
  const auto startsWith = [&](std::string_view signature) {
    if (start.size() < signature.size()) return false;
    for (std::size_t i = 0; i < signature.size(); ++i) {
      if (start[i] != static_cast<std::uint8_t>(signature[i])) return false;
    }
    return true;
  };
  if (startsWith("K7P")) return FileKind::kPatch;
  if (startsWith("GIF") || startsWith("BM")) return FileKind::kTemplate;
  std::size_t i = startsWith("\xEF\xBB\xBF") ? 3 : 0;
  while (i < start.size() &&
         (start[i] == ' ' || start[i] == '\t' || start[i] == '\r' || start[i] == '\n'))
    ++i;
  if (i < start.size() && start[i] == '{') return FileKind::kSheet;
  return FileKind::kUnknown;
}

FileKind KindOfFile(const std::filesystem::path& file) {
  std::error_code error;
  // A pipe would block the read; only regular files have a kind.
  if (!std::filesystem::is_regular_file(file, error)) return FileKind::kUnknown;
  std::ifstream in(file, std::ios::binary);
  std::array<char, 64> buffer{};
  in.read(buffer.data(), buffer.size());
  const auto got = static_cast<std::size_t>(in.gcount());
  return KindOfBytes({reinterpret_cast<const std::uint8_t*>(buffer.data()), got});
}

}  // namespace kavelin::command
