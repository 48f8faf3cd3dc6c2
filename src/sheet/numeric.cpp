#include "sheet/numeric.hpp"

#include <cmath>
#include <string>

#include "sheet/exact_decimal.hpp"
#include "text/widths.hpp"

namespace kavelin::sheet {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n';
}

double ReadRadix(std::u16string_view digits, unsigned radix) {
  double value = 0;
  for (const char16_t c : digits) {
    unsigned d;
    if (c >= u'0' && c <= u'9') {
      d = c - u'0';
    } else if (c >= u'A' && c <= u'F') {
      d = c - u'A' + 10;
    } else if (c >= u'a' && c <= u'f') {
      d = c - u'a' + 10;
    } else {
      break;
    }
    if (d >= radix) break;
    value = value * radix + d;
  }
  return value;
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace

double NumericValue(std::u16string_view text) {
  std::u16string compact;
  compact.reserve(text.size());
  for (const char16_t c : text::NarrowText(text)) {
    if (!IsBlank(c)) compact += c;
  }
  const std::u16string_view s = compact;

  if (s.size() >= 2 && s[0] == u'&') {
    if (s[1] == u'H' || s[1] == u'h') return ReadRadix(s.substr(2), 16);
    if (s[1] == u'O' || s[1] == u'o') return ReadRadix(s.substr(2), 8);
  }

  // The longest prefix of the form [sign] digits [. digits], rounded exactly (and
  // independently of the locale) as digits × 10^-(digits after the point).
  std::string digits;
  std::int64_t exponent = 0;
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  for (; i < s.size() && IsDigit(s[i]); ++i)
    digits += static_cast<char>(s[i]);
  if (i < s.size() && s[i] == u'.') {
    for (++i; i < s.size() && IsDigit(s[i]); ++i, --exponent)
      digits += static_cast<char>(s[i]);
  }
  // Too large for a double reads as HUGE_VAL, too small as 0.
  const double value = DecimalToDouble(digits, exponent);
  if (value == 0) return 0;  // no negative zero
  return negative ? -value : value;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction < 0.5) return lower;
  if (fraction > 0.5) return lower + 1;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

namespace {
template <typename T>
T RoundClamped(double value, double max) {
  if (std::isnan(value)) return 0;
  const double r = RoundHalfEven(value);
  if (r <= 0) return 0;
  if (r >= max) return static_cast<T>(max);
  return static_cast<T>(r);
}
}  // namespace

std::uint8_t RoundToByte(double value) {
  return RoundClamped<std::uint8_t>(value, 255);
}
std::uint16_t RoundToWord(double value) {
  return RoundClamped<std::uint16_t>(value, 65535);
}

}  // namespace kavelin::sheet
