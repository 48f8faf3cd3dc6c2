// What a file a user hands over is, told by its first bytes, as the window's menu would
// take it: a file manager names any of the three kinds on the command line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace kavelin::command {

enum class FileKind {
  kTemplate,  // starts "GIF", "BM" or with PNG's eight-byte signature
  kPatch,     // starts "K7P"
  kSheet,     // a JSON object: "{" after an optional UTF-8 byte-order mark and blanks
  kUnknown,   // anything else, including a file that cannot be read
};

// The kind of the bytes at the start of a file; 64 bytes are plenty.
FileKind KindOfBytes(std::span<const std::uint8_t> start);
// The kind of a file, from its first bytes.
FileKind KindOfFile(const std::filesystem::path& file);

}  // namespace kavelin::command
