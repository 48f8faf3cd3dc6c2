#include "text/widths.hpp"

#include <array>
#include <cstddef>

namespace kavelin::text {
namespace {

constexpr char16_t kHalfKanaFirst = u'\uFF61';
constexpr char16_t kHalfVoicedMark = u'\uFF9E';      // ﾞ
constexpr char16_t kHalfSemiVoicedMark = u'\uFF9F';  // ﾟ

// Full-width forms of U+FF61 (｡) to U+FF9F (ﾟ), in code order.
constexpr std::u16string_view kFullKana =
    u"。「」、・ヲァィゥェォャュョッー"
    u"アイウエオカキクケコサシスセソタ"
    u"チツテトナニヌネノハヒフヘホマミ"
    u"ムメモヤユヨラリルレロワン゛゜";
static_assert(kFullKana.size() == 0xFF9F - 0xFF61 + 1);

// Narrow signs whose full-width forms live at U+FFE0 to U+FFE6: ¢ £ ¬ ¯ ¦ ¥ ₩.
constexpr std::array<char16_t, 7> kNarrowSigns = {u'\u00A2', u'\u00A3', u'\u00AC', u'\u00AF',
                                                  u'\u00A6', u'\u00A5', u'\u20A9'};

// Half-width forms U+FFE8 to U+FFEE and their full-width partners.
constexpr std::u16string_view kHalfFormsWide = u"│←↑→↓■○";

// Kana with a voiced form one code point above them, and those that also have a
// semi-voiced form two above. ウ, ワ and ヲ have voiced forms elsewhere.
constexpr std::u16string_view kVoiceable = u"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr std::u16string_view kSemiVoiceable = u"ハヒフヘホ";
constexpr std::u16string_view kIrregularBase = u"ウワヲ";
constexpr std::u16string_view kIrregularVoiced = u"ヴヷヺ";

// The voiced form of a full-width kana, or 0 when it has none.
char16_t Voiced(char16_t kana) {
  if (kVoiceable.find(kana) != std::u16string_view::npos) return static_cast<char16_t>(kana + 1);
  const auto p = kIrregularBase.find(kana);
  return p == std::u16string_view::npos ? u'\0' : kIrregularVoiced[p];
}

char16_t SemiVoiced(char16_t kana) {
  return kSemiVoiceable.find(kana) == std::u16string_view::npos ? u'\0'
                                                                : static_cast<char16_t>(kana + 2);
}

// The half-width spelling of a full-width kana, or 0 when it has none.
char16_t HalfKana(char16_t kana) {
  const auto p = kFullKana.find(kana);
  return p == std::u16string_view::npos ? u'\0' : static_cast<char16_t>(kHalfKanaFirst + p);
}

}  // namespace

std::u16string WidenText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u' ') {
      out += u'\u3000';
    } else if (c >= 0x21 && c <= 0x7E) {
      out += static_cast<char16_t>(c + 0xFEE0);
    } else if (c >= kHalfKanaFirst && c <= kHalfSemiVoicedMark) {
      const char16_t wide = kFullKana[c - kHalfKanaFirst];
      const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
      const char16_t combined = next == kHalfVoicedMark       ? Voiced(wide)
                                : next == kHalfSemiVoicedMark ? SemiVoiced(wide)
                                                              : u'\0';
      if (combined != u'\0') {
        out += combined;
        ++i;
      } else {
        out += wide;
      }
    } else if (c >= u'\uFFE8' && c <= u'\uFFEE') {
      out += kHalfFormsWide[c - u'\uFFE8'];
    } else {
      char16_t wide = c;
      for (std::size_t k = 0; k < kNarrowSigns.size(); ++k) {
        if (kNarrowSigns[k] == c) wide = static_cast<char16_t>(0xFFE0 + k);
      }
      out += wide;
    }
  }
  return out;
}

std::u16string NarrowText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    if (c < 0x80) {  // most of what is typed, and nothing to narrow
      out += c;
    } else if (c == u'\u3000') {
      out += u' ';
    } else if (c >= 0xFF01 && c <= 0xFF5E) {
      out += static_cast<char16_t>(c - 0xFEE0);
    } else if (c >= 0xFFE0 && c <= 0xFFE6) {
      out += kNarrowSigns[c - 0xFFE0];
    } else if (const char16_t half = HalfKana(c); half != u'\0') {
      out += half;
    } else if (const auto p = kIrregularVoiced.find(c); p != std::u16string_view::npos) {
      out += HalfKana(kIrregularBase[p]);
      out += kHalfVoicedMark;
    } else if (c > 1 && Voiced(static_cast<char16_t>(c - 1)) == c) {
      out += HalfKana(static_cast<char16_t>(c - 1));
      out += kHalfVoicedMark;
    } else if (c > 2 && SemiVoiced(static_cast<char16_t>(c - 2)) == c) {
      out += HalfKana(static_cast<char16_t>(c - 2));
      out += kHalfSemiVoicedMark;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace kavelin::text
