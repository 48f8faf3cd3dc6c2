// Conversions between the program's UTF-16 text and the byte encodings of its files:
// code page 932 (the settings file and the patch comment) and UTF-8 (sheet files, the
// terminal).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kavelin::text {

// Microsoft's code page 932. Every UTF-16 code unit gives one character in the result: a
// character the code page lacks becomes "?" (one byte), including each half of a surrogate
// pair and characters a converter would otherwise drop (U+200B, U+FEFF), so a character
// count taken before conversion always describes the bytes after it.
std::vector<std::uint8_t> EncodeCp932(std::u16string_view text);

// The characters of `text` that code page 932 lacks, each once, in the order they first
// appear: a patch comment stores each of them as "?".
std::u16string Cp932Lacks(std::u16string_view text);

// Decodes code page 932; a byte sequence the code page does not define becomes a
// substitute character.
std::u16string DecodeCp932(std::span<const std::uint8_t> bytes);

std::string ToUtf8(std::u16string_view text);
// Empty optional when `bytes` is not well-formed UTF-8.
std::optional<std::u16string> FromUtf8(std::string_view bytes);

}  // namespace kavelin::text
