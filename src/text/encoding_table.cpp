// The encoding door without ICU: code page 932 from the table generated from ICU's
// converter (cp932_table.inc, made by tools/cp932), UTF-8 by hand. The results are ICU's to
// the unit, which text_cp932_table_test checks over every input it can enumerate.
#include <cstddef>
#include <cstdint>

#include "text/cp932_inverse.hpp"
#include "text/cp932_table.hpp"
#include "text/encoding.hpp"

namespace kavelin::text {
namespace table {
namespace {

#include "text/cp932_table.inc"

constexpr std::uint8_t kNone = 0xFF;
constexpr char16_t kReplacement = kReplacementUnit;

// UTF-16 unit to code: a single byte below 0x100, else the lead byte in the high half. The
// table stores the decoder only, so the encoder is its inverse, corrected by the units where
// ICU chooses otherwise.
std::vector<std::uint16_t> BuildEncoder() {
  std::vector<unsigned> leads, trails;
  for (unsigned b = 0; b < 256; ++b) {
    if (kLeadIndex[b] != kNone) leads.push_back(b);
    if (kTrailIndex[b] != kNone) trails.push_back(b);
  }
  std::vector<std::uint16_t> codes =
      InvertDecoder([](unsigned b) { return kSingle[b]; },
                    [](unsigned lead, unsigned trail) {
                      return kPairs[kLeadIndex[lead] * kTrailCount + kTrailIndex[trail]];
                    },
                    leads, trails);
  for (const auto& [unit, code] : kEncodeExceptions)
    codes[unit] = code;
  return codes;
}

// On the heap: a web build's stack is small.
const std::vector<std::uint16_t>& Encoder() {
  static const std::vector<std::uint16_t> codes = BuildEncoder();
  return codes;
}

constexpr bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t c) {
  const auto byte = [&](char32_t v) { out.push_back(static_cast<char>(v)); };
  if (c < 0x80) {
    byte(c);
  } else if (c < 0x800) {
    byte(0xC0 | c >> 6);
    byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    byte(0xE0 | c >> 12);
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  } else {
    byte(0xF0 | c >> 18);
    byte(0x80 | (c >> 12 & 0x3F));
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::vector<std::uint8_t> EncodeCp932(std::u16string_view text) {
  const std::vector<std::uint16_t>& codes = Encoder();
  std::vector<std::uint8_t> out;
  out.reserve(text.size() * 2);
  for (const char16_t c : text) {
    const std::uint16_t code = codes[c];
    if (code > 0xFF) out.push_back(static_cast<std::uint8_t>(code >> 8));
    out.push_back(static_cast<std::uint8_t>(code & 0xFF));
  }
  return out;
}

std::u16string DecodeCp932(std::span<const std::uint8_t> bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t lead = kLeadIndex[bytes[i]];
    if (lead != kNone && i + 1 < bytes.size()) {
      // A byte that cannot follow a lead byte is not swallowed: the lead byte alone becomes
      // the substitute (kSingle holds U+FFFD for it) and the byte starts afresh, as in ICU.
      const std::uint8_t trail = kTrailIndex[bytes[i + 1]];
      if (trail != kNone) {
        out.push_back(kPairs[lead * kTrailCount + trail]);
        ++i;
        continue;
      }
    }
    out.push_back(kSingle[bytes[i]]);
  }
  return out;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendUtf8(out, kReplacement);  // a lone half
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

std::optional<std::u16string> FromUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
  // A continuation byte within [low, high]; the bounds of the second byte are what reject
  // overlong forms, UTF-16 surrogates and values past U+10FFFF (RFC 3629, section 4).
  const auto continuation = [&](std::size_t k, std::uint8_t low, std::uint8_t high) {
    return k < bytes.size() && at(k) >= low && at(k) <= high;
  };
  while (i < bytes.size()) {
    const std::uint8_t b = at(i);
    char32_t c = 0;
    if (b < 0x80) {
      c = b;
      i += 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      if (!continuation(i + 1, 0x80, 0xBF)) return std::nullopt;
      c = char32_t{b & 0x1Fu} << 6 | (at(i + 1) & 0x3Fu);
      i += 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      const std::uint8_t low = b == 0xE0 ? 0xA0 : 0x80, high = b == 0xED ? 0x9F : 0xBF;
      if (!continuation(i + 1, low, high) || !continuation(i + 2, 0x80, 0xBF)) return std::nullopt;
      c = char32_t{b & 0x0Fu} << 12 | char32_t{at(i + 1) & 0x3Fu} << 6 | (at(i + 2) & 0x3Fu);
      i += 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
      const std::uint8_t low = b == 0xF0 ? 0x90 : 0x80, high = b == 0xF4 ? 0x8F : 0xBF;
      if (!continuation(i + 1, low, high) || !continuation(i + 2, 0x80, 0xBF) ||
          !continuation(i + 3, 0x80, 0xBF))
        return std::nullopt;
      c = char32_t{b & 0x07u} << 18 | char32_t{at(i + 1) & 0x3Fu} << 12 |
          char32_t{at(i + 2) & 0x3Fu} << 6 | (at(i + 3) & 0x3Fu);
      i += 4;
    } else {
      return std::nullopt;  // a stray continuation byte, C0, C1 or F5 to FF
    }
    if (c < 0x10000) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
  }
  return out;
}

}  // namespace table

std::vector<std::uint8_t> EncodeCp932(std::u16string_view text) {
  return table::EncodeCp932(text);
}

std::u16string DecodeCp932(std::span<const std::uint8_t> bytes) {
  return table::DecodeCp932(bytes);
}

std::string ToUtf8(std::u16string_view text) {
  return table::ToUtf8(text);
}

std::optional<std::u16string> FromUtf8(std::string_view bytes) {
  return table::FromUtf8(bytes);
}

}  // namespace kavelin::text
