#include "command/file_kind.hpp"

#include "io/read_file.hpp"

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
  if (startsWith("GIF") || startsWith("BM") || startsWith("\x89PNG\r\n\x1a\n"))
    return FileKind::kTemplate;
  std::size_t i = startsWith("\xEF\xBB\xBF") ? 3 : 0;
  while (i < start.size() &&
         (start[i] == ' ' || start[i] == '\t' || start[i] == '\r' || start[i] == '\n'))
    ++i;
  if (i < start.size() && start[i] == '{') return FileKind::kSheet;
  return FileKind::kUnknown;
}

FileKind KindOfFile(const std::filesystem::path& file) {
  // Only regular files have a kind; the reader refuses the rest without waiting on a pipe.
  const io::FileRead start = io::ReadFileStart(file, 64);
  return start ? KindOfBytes(*start) : FileKind::kUnknown;
}

}  // namespace kavelin::command
