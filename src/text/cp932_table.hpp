// The conversions and categories of encoding.hpp and invisible.hpp computed from tables of
// our own (cp932_table.inc, generated from ICU) rather than by ICU, for builds without ICU.
// A build without ICU forwards the public functions here; a build with ICU keeps these
// only for the test that compares them with ICU.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kavelin::text::table {

std::vector<std::uint8_t> EncodeCp932(std::u16string_view text);
std::u16string DecodeCp932(std::span<const std::uint8_t> bytes);
std::string ToUtf8(std::u16string_view text);
std::optional<std::u16string> FromUtf8(std::string_view bytes);

bool IsInvisibleCharacter(char32_t c);
bool IsSpaceCharacter(char32_t c);

}  // namespace kavelin::text::table
