// Reading numbers out of the sheet's text fields, and turning checked values into bytes.
#pragma once

#include <cstdint>
#include <string_view>

namespace kavelin::sheet {

// The number at the start of a text field. Spaces, tabs and line feeds anywhere are
// ignored; then an optional sign, decimal digits and an optional fraction after "." are
// read, or, after &H or &O, hexadecimal or octal digits. Reading stops at the first
// character that cannot continue the number; a text without a leading number reads as 0.
// Full-width digits, signs and spaces read as their ASCII forms, so that a number typed
// with the Japanese input method is the number that is checked and written.
double NumericValue(std::u16string_view text);

// Rounds to the nearest integer, halves to the even neighbour (0.5 → 0, 1.5 → 2, 2.5 → 2).
double RoundHalfEven(double value);

// RoundHalfEven, then clamped into the target type; NaN gives 0. Callers pass values the
// error pass has bounded, so the clamp only keeps a programming error from being undefined.
std::uint8_t RoundToByte(double value);
std::uint16_t RoundToWord(double value);

}  // namespace kavelin::sheet
