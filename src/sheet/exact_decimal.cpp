#include "sheet/exact_decimal.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace kavelin::sheet {
namespace {

// An unsigned integer of any size: 32-bit limbs, least significant first, no zero limb on
// top. Only what exact conversion needs.
class Big {
 public:
  explicit Big(std::uint64_t value = 0) {
    for (; value != 0; value >>= 32)
      limbs_.push_back(static_cast<std::uint32_t>(value));
  }

  // *this = *this * factor + add.
  void MulAdd(std::uint32_t factor, std::uint32_t add) {
    std::uint64_t carry = add;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t t = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  }

  void MulPow10(std::int64_t n) {
    for (; n >= 9; n -= 9)
      MulAdd(1'000'000'000, 0);
    std::uint32_t rest = 1;
    for (; n > 0; --n)
      rest *= 10;
    MulAdd(rest, 0);
  }

  void MulPow5(std::int64_t n) {
    for (; n >= 13; n -= 13)
      MulAdd(1'220'703'125, 0);  // 5^13, the largest that fits 32 bits
    std::uint32_t rest = 1;
    for (; n > 0; --n)
      rest *= 5;
    MulAdd(rest, 0);
  }

  void ShiftLeft(std::size_t bits) {
    if (limbs_.empty()) return;
    const std::size_t words = bits / 32;
    const unsigned rest = bits % 32;
    if (rest != 0) {
      std::uint32_t carry = 0;
      for (std::uint32_t& limb : limbs_) {
        const std::uint32_t next = limb >> (32 - rest);
        limb = limb << rest | carry;
        carry = next;
      }
      if (carry != 0) limbs_.push_back(carry);
    }
    limbs_.insert(limbs_.begin(), words, 0);
  }

  std::size_t BitLength() const {
    if (limbs_.empty()) return 0;
    std::size_t bits = 32 * (limbs_.size() - 1);
    for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1)
      ++bits;
    return bits;
  }

  friend int Compare(const Big& a, const Big& b) {
    if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    for (std::size_t i = a.limbs_.size(); i-- > 0;) {
      if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
    }
    return 0;
  }

  // *this -= b, where b is not larger.
  void Subtract(const Big& b) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
      std::int64_t t = std::int64_t{limbs_[i]} - borrow - (i < b.limbs_.size() ? b.limbs_[i] : 0);
      borrow = t < 0 ? 1 : 0;
      if (t < 0) t += std::int64_t{1} << 32;
      limbs_[i] = static_cast<std::uint32_t>(t);
    }
    Trim();
  }

  // The decimal digits, without leading zeros ("0" for zero).
  std::string Decimal() const {
    Big rest = *this;
    std::vector<std::uint32_t> chunks;  // nine digits each, least significant first
    while (!rest.limbs_.empty())
      chunks.push_back(rest.DivSmall(1'000'000'000));
    if (chunks.empty()) return "0";
    std::string out = std::to_string(chunks.back());
    for (std::size_t i = chunks.size() - 1; i-- > 0;) {
      const std::string part = std::to_string(chunks[i]);
      out.append(9 - part.size(), '0');
      out += part;
    }
    return out;
  }

 private:
  // *this /= d; returns the remainder.
  std::uint32_t DivSmall(std::uint32_t d) {
    std::uint64_t remainder = 0;
    for (std::size_t i = limbs_.size(); i-- > 0;) {
      const std::uint64_t t = remainder << 32 | limbs_[i];
      limbs_[i] = static_cast<std::uint32_t>(t / d);
      remainder = t % d;
    }
    Trim();
    return static_cast<std::uint32_t>(remainder);
  }

  void Trim() {
    while (!limbs_.empty() && limbs_.back() == 0)
      limbs_.pop_back();
  }

  std::vector<std::uint32_t> limbs_;
};

// Every power of ten up to 10^22 is exact as a double.
constexpr std::array<double, 23> kExactPowers = [] {
  std::array<double, 23> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i)
    p[i] = p[i - 1] * 10;
  return p;
}();

// A halfway point between two doubles has at most 767 significant digits, so the digits
// past these change the rounding only by being there: they are kept as one nonzero digit.
constexpr std::size_t kKeptDigits = 800;

// The decimal digits one larger ("999" gives "1000").
std::string Increment(std::string digits) {
  std::size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '9')
    digits[--i] = '0';
  if (i == 0) return '1' + digits;
  ++digits[i - 1];
  return digits;
}

// digits × 10^exponent in fixed notation, without trailing zeros after the point.
std::string Fixed(const std::string& digits, std::int64_t exponent) {
  if (exponent >= 0) return digits + std::string(static_cast<std::size_t>(exponent), '0');
  const auto fraction = static_cast<std::size_t>(-exponent);
  std::string out = digits.size() > fraction
                        ? digits.substr(0, digits.size() - fraction) + '.' +
                              digits.substr(digits.size() - fraction)
                        : "0." + std::string(fraction - digits.size(), '0') + digits;
  while (out.back() == '0')
    out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out;
}

}  // namespace

double DecimalToDouble(std::string_view digits, std::int64_t exponent) {
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string_view::npos) return 0;
  digits.remove_prefix(first);
  const std::size_t last = digits.find_last_not_of('0');
  exponent += static_cast<std::int64_t>(digits.size() - 1 - last);
  digits = digits.substr(0, last + 1);
  const auto count = static_cast<std::int64_t>(digits.size());
  // The value lies in [10^(count - 1 + exponent), 10^(count + exponent)); the largest
  // double is below 1.8e308, half the smallest subnormal above 2.4e-324.
  if (count - 1 + exponent > 308) return HUGE_VAL;
  if (count + exponent < -324) return 0;

  std::string kept;
  if (digits.size() > kKeptDigits) {
    // The last digit is not zero, so something nonzero is dropped.
    kept.assign(digits.substr(0, kKeptDigits));
    kept += '1';
    exponent += count - static_cast<std::int64_t>(kept.size());
    digits = kept;
  }

  // Both operands exact, so the one rounding of the product or quotient is the right one.
  if (digits.size() <= 15 && exponent >= -22 && exponent <= 22) {
    std::uint64_t m = 0;
    for (const char c : digits)
      m = m * 10 + static_cast<std::uint64_t>(c - '0');
    const double d = static_cast<double>(m);
    const double power =
        kExactPowers[static_cast<std::size_t>(exponent < 0 ? -exponent : exponent)];
    return exponent < 0 ? d / power : d * power;
  }

  // value = num / den exactly; find q with num / (den × 2^q) in [2^52, 2^53), or q at the
  // subnormals' exponent, and round that quotient to an integer.
  Big num, den(1);
  for (const char c : digits)
    num.MulAdd(10, static_cast<std::uint32_t>(c - '0'));
  if (exponent >= 0) {
    num.MulPow10(exponent);
  } else {
    den.MulPow10(-exponent);
  }
  int q = static_cast<int>(num.BitLength()) - static_cast<int>(den.BitLength()) - 53;
  q = std::max(q, -1074);
  for (;;) {
    Big rest = num, divisor = den;
    if (q >= 0) {
      divisor.ShiftLeft(static_cast<std::size_t>(q));
    } else {
      rest.ShiftLeft(static_cast<std::size_t>(-q));
    }
    // The quotient is below 2^54: one bit at a time.
    std::uint64_t quotient = 0;
    for (int bit = 54; bit >= 0; --bit) {
      Big step = divisor;
      step.ShiftLeft(static_cast<std::size_t>(bit));
      if (Compare(rest, step) >= 0) {
        rest.Subtract(step);
        quotient |= std::uint64_t{1} << bit;
      }
    }
    if (quotient >= std::uint64_t{1} << 53) {
      ++q;
      continue;
    }
    rest.ShiftLeft(1);
    const int half = Compare(rest, divisor);
    if (half > 0 || (half == 0 && (quotient & 1) != 0)) ++quotient;
    // At most 2^53, so exact as a double; past the largest double ldexp gives HUGE_VAL.
    return std::ldexp(static_cast<double>(quotient), q);
  }
}

std::string ShortestFixed(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  const std::string sign = std::signbit(value) ? "-" : "";
  value = std::fabs(value);
  if (std::isinf(value)) return sign + "inf";
  if (value == 0) return sign + "0";

  // value = m × 2^e, m odd.
  int e = 0;
  auto m = static_cast<std::uint64_t>(std::ldexp(std::frexp(value, &e), 53));
  e -= 53;
  for (; (m & 1) == 0; m >>= 1)
    ++e;
  Big exact(m);
  // A whole number: all its digits, as fixed notation writes it.
  if (e >= 0) {
    exact.ShiftLeft(static_cast<std::size_t>(e));
    return sign + exact.Decimal();
  }
  // Otherwise m × 5^k / 10^k: the exact digits, the last k of them after the point.
  exact.MulPow5(-e);
  const std::string digits = exact.Decimal();
  const std::int64_t beforePoint = static_cast<std::int64_t>(digits.size()) + e;

  // The p-digit numbers either side of the value; a value that p digits can read back as
  // can be read back from p + 1 too, so the shortest p is found by halving.
  struct Candidates {
    std::string low, high;
    std::int64_t exponent;
    bool lowReads, highReads;
  };
  const auto at = [&](std::size_t p) {
    Candidates c{digits.substr(0, p), {}, beforePoint - static_cast<std::int64_t>(p), false, false};
    c.high = Increment(c.low);
    c.lowReads = DecimalToDouble(c.low, c.exponent) == value;
    c.highReads = DecimalToDouble(c.high, c.exponent) == value;
    return c;
  };
  // 17 significant digits read back as any double.
  std::size_t lo = 1, hi = std::min<std::size_t>(17, digits.size());
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    const Candidates c = at(mid);
    if (c.lowReads || c.highReads) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  const Candidates c = at(lo);
  if (lo == digits.size()) return sign + Fixed(digits, c.exponent);
  bool high = c.highReads;
  if (c.lowReads && c.highReads) {
    // The nearer; on a tie, the even last digit.
    const std::string_view dropped = std::string_view(digits).substr(lo);
    const int side = dropped[0] != '5' ? (dropped[0] > '5' ? 1 : -1)
                     : dropped.find_first_not_of('0', 1) != std::string_view::npos ? 1
                                                                                   : 0;
    high = side > 0 || (side == 0 && (c.low.back() - '0') % 2 == 1);
  }
  return sign + Fixed(high ? c.high : c.low, c.exponent);
}

}  // namespace kavelin::sheet
