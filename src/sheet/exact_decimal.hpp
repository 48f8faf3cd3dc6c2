// Exact conversions between decimal text and double, with integers only, so that the sheet
// reads and shows numbers the same wherever it is built (the web build's C++ library has
// no floating-point from_chars or to_chars).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kavelin::sheet {

// The double nearest to digits × 10^exponent, halves to the even neighbour; digits are
// ASCII '0' to '9', any number of them (none reads as 0). HUGE_VAL when the value rounds
// past the largest double, 0 when it rounds below the smallest subnormal.
double DecimalToDouble(std::string_view digits, std::int64_t exponent);

// The shortest fixed-notation text (no exponent) that DecimalToDouble reads back as
// `value`; of several such texts, the one nearest to `value`, a tie to the even last
// digit. A whole number is written with all its digits, exactly. A negative zero
// shows its sign; infinities and NaN read "inf", "-inf", "nan", "-nan".
std::string ShortestFixed(double value);

}  // namespace kavelin::sheet
