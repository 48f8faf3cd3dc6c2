// The integer-only conversions are checked against the C++ library's own (libstdc++ has
// exact floating-point from_chars and to_chars), which the web build cannot use.
#include "sheet/exact_decimal.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace kavelin::sheet {
namespace {

double Bits(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
std::uint64_t Bits(double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

// Only a C++ library with exact floating-point charconv can be the reference.
#if defined(__cpp_lib_to_chars)

std::string LibraryFixed(double value) {
  char buffer[400];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return error == std::errc() ? std::string(buffer, end) : "?";
}

// The library's reading of digits × 10^exponent, written out in plain scientific form.
double LibraryRead(const std::string& digits, std::int64_t exponent) {
  const std::string text = digits + "e" + std::to_string(exponent);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    // libstdc++ leaves the value alone when out of range; tell large from small.
    const auto significant = static_cast<std::int64_t>(digits.find_first_not_of('0'));
    return static_cast<std::int64_t>(digits.size()) - significant + exponent > 0 ? HUGE_VAL : 0;
  }
  return value;
}

TEST(ExactDecimal, ShortestFixedMatchesTheLibraryOnEdgesAndRandomDoubles) {
  const double edges[] = {0.0,
                          -0.0,
                          1.0,
                          0.1,
                          0.3,
                          2.5,
                          1e22,
                          1e23,
                          9007199254740993.0,
                          std::numeric_limits<double>::max(),
                          std::numeric_limits<double>::min(),
                          std::numeric_limits<double>::denorm_min(),
                          std::numeric_limits<double>::epsilon(),
                          5e-324,
                          1.7976931348623157e308,
                          123456.789,
                          -0.000123};
  for (const double d : edges)
    EXPECT_EQ(ShortestFixed(d), LibraryFixed(d)) << d;

  std::mt19937_64 random(24);
  for (int i = 0; i < 2000; ++i) {
    const double d = Bits(random());
    if (!std::isfinite(d)) continue;
    ASSERT_EQ(ShortestFixed(d), LibraryFixed(d)) << Bits(d);
  }
  // The numbers a sheet really holds: small, with a few decimals.
  std::uniform_int_distribution<int> small(-100000, 100000);
  for (int i = 0; i < 5000; ++i) {
    const double d = small(random) / 100.0;
    ASSERT_EQ(ShortestFixed(d), LibraryFixed(d)) << d;
  }
}

TEST(ExactDecimal, ReadingRoundsAsTheLibraryDoes) {
  struct Case {
    std::string digits;
    std::int64_t exponent;
  };
  const Case cases[] = {
      {"", 0},
      {"000", 5},
      {"1", 0},
      {"9007199254740993", 0},  // halfway between two doubles: to the even one
      {"9007199254740995", 0},
      {"17976931348623157", 292},
      {"17976931348623159", 292},   // rounds past the largest double
      {"24703282292062327", -340},  // just under half the smallest subnormal
      {"24703282292062328", -340},
      {"1", 400},
      {"1", -400},
      {"4940656458412465441765687928682213723651", -363},
      // A halfway point written out with many digits, then one more nonzero far away.
      {"9007199254740993" + std::string(900, '0') + "1", -900},
      {"123456789012345678901234567890", -10},
  };
  for (const Case& c : cases) {
    const double expected = c.digits.empty() ? 0 : LibraryRead(c.digits, c.exponent);
    EXPECT_EQ(DecimalToDouble(c.digits, c.exponent), expected) << c.digits << "e" << c.exponent;
  }

  std::mt19937_64 random(25);
  std::uniform_int_distribution<int> length(1, 40), digit(0, 9), exponent(-360, 320);
  for (int i = 0; i < 5000; ++i) {
    std::string digits;
    for (int n = length(random); n > 0; --n)
      digits += static_cast<char>('0' + digit(random));
    const int e = exponent(random);
    ASSERT_EQ(DecimalToDouble(digits, e), LibraryRead(digits, e)) << digits << "e" << e;
  }
}

TEST(ExactDecimal, EveryShortestFormReadsBack) {
  std::mt19937_64 random(26);
  for (int i = 0; i < 1000; ++i) {
    const double d = std::fabs(Bits(random()));
    if (!std::isfinite(d)) continue;
    const std::string text = ShortestFixed(d);
    const std::size_t point = text.find('.');
    std::string digits = text;
    std::int64_t e = 0;
    if (point != std::string::npos) {
      digits.erase(point, 1);
      e = -static_cast<std::int64_t>(text.size() - point - 1);
    }
    ASSERT_EQ(DecimalToDouble(digits, e), d) << text;
  }
}

#else
TEST(ExactDecimal, NeedsALibraryWithFloatingPointCharconv) {
  GTEST_SKIP() << "this C++ library has no floating-point from_chars and to_chars to compare with";
}
#endif

}  // namespace
}  // namespace kavelin::sheet
