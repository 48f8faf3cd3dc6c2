#include "text/code_table.hpp"

#include <algorithm>
#include <optional>
#include <string>

#include "text/encoding.hpp"

namespace kavelin::text {
namespace {

// Row 1 repeats row 0 apart from two documented positions; checked here so an edit of
// either row cannot silently move a code.
consteval bool RowOneRepeatsRowZero() {
  for (std::size_t p = 0; p < kStandardRowLength; ++p) {
    const bool differs = kKanjiPage1[p] != kStandardRow[p];
    const bool expected = p == 0x12 || p == 0x99;
    if (differs != expected) return false;
  }
  return kKanjiPage1[0x12] == u'っ' && kKanjiPage1[0x99] == u'…';
}
static_assert(RowOneRepeatsRowZero());

// A game code: the second byte in the low half, the first byte of a two-byte code in the
// high half (0 for one-byte codes).
struct IndexEntry {
  char16_t character;
  std::uint16_t code;
};

inline constexpr std::size_t kFixedCharacterCount = kStandardRowLength + 4 * kKanjiPageLength;

// The fixed rows sorted by character, keeping only the first occurrence of each, so that a
// lookup is a binary search instead of a scan of 1200 positions.
struct FixedIndex {
  std::array<IndexEntry, kFixedCharacterCount> entries{};
  std::size_t size = 0;
};

consteval FixedIndex BuildFixedIndex() {
  struct Position {
    IndexEntry entry;
    std::size_t order;  // place in the row search, so the first occurrence sorts first
  };
  std::array<Position, kFixedCharacterCount> all{};
  std::size_t n = 0;
  for (std::size_t row = 0; row < kFixedRows.size(); ++row) {
    for (std::size_t p = 0; p < kFixedRows[row].size(); ++p) {
      const auto code = row == 0 ? static_cast<std::uint16_t>(0x50 + p)
                                 : static_cast<std::uint16_t>(((0x1F + row) << 8) | p);
      all[n] = {{kFixedRows[row][p], code}, n};
      ++n;
    }
  }
  std::sort(all.begin(), all.end(), [](const Position& a, const Position& b) {
    return a.entry.character != b.entry.character ? a.entry.character < b.entry.character
                                                  : a.order < b.order;
  });
  FixedIndex index;
  for (std::size_t i = 0; i < n; ++i) {
    if (index.size == 0 || index.entries[index.size - 1].character != all[i].entry.character) {
      index.entries[index.size++] = all[i].entry;
    }
  }
  return index;
}

constexpr FixedIndex kFixedIndex = BuildFixedIndex();

std::optional<std::uint16_t> FindFixedCode(char16_t c) {
  const auto* first = kFixedIndex.entries.data();
  const auto* last = first + kFixedIndex.size;
  const auto* it = std::lower_bound(
      first, last, c, [](const IndexEntry& e, char16_t value) { return e.character < value; });
  if (it == last || it->character != c) return std::nullopt;
  return it->code;
}

bool IsSurrogatePairAt(std::u16string_view text, std::size_t i) {
  return i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 &&
         text[i + 1] <= 0xDFFF;
}

Failure Reject(std::u16string_view text, std::size_t i) {
  std::u16string rejected(text.substr(i, IsSurrogatePairAt(text, i) ? 2 : 1));
  return {.reason = CodeProblem::kUnencodable,
          .what = "the game has no character " + ToUtf8(rejected),
          .parts = std::move(rejected)};
}

}  // namespace

void CodeTable::AppendExtendedRow(std::u16string_view characters) {
  if (extended_.size() >= kExtendedTableLength) return;
  std::u16string row(characters.substr(0, kExtendedRowLength));
  row.resize(kExtendedRowLength, kFullWidthSpace);
  extended_ += row;
}

std::string_view ReasonText(CodeProblem problem) {
  switch (problem) {
    case CodeProblem::kNone:
      break;
    case CodeProblem::kUnencodable:
      return "a character the game does not have";
    case CodeProblem::kNoGameCode:
      return "a byte that is no game code";
  }
  return {};
}

std::u16string_view RejectedOf(const Failure& failure) {
  const auto* rejected = failure.PartsAs<std::u16string>();
  return rejected ? std::u16string_view(*rejected) : std::u16string_view();
}

EncodeResult EncodeGameText(const CodeTable& table, std::u16string_view text) {
  Encoded result;
  result.bytes.reserve(text.size() * 2);
  bool usedExtended = false;
  const std::u16string_view extended = table.ExtendedTable();

  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // Characters the game spells with another glyph, and the two marks the settings file
    // uses for empty cells; these come before any row so the settings file cannot recode them.
    switch (c) {
      case u'ー':
        result.bytes.push_back(0xE5);
        continue;
      case u'へ':
        result.bytes.push_back(0x9E);
        continue;
      case u'べ':
        result.bytes.push_back(0xDD);
        continue;
      case u'□':
      case u'■':
        return Reject(text, i);
      default:
        break;
    }
    if (const auto code = FindFixedCode(c)) {
      if (*code > 0xFF) result.bytes.push_back(static_cast<std::uint8_t>(*code >> 8));
      result.bytes.push_back(static_cast<std::uint8_t>(*code & 0xFF));
      continue;
    }
    const std::size_t p = extended.find(c);
    if (p == std::u16string_view::npos) return Reject(text, i);
    result.bytes.push_back(0x18);
    result.bytes.push_back(static_cast<std::uint8_t>(p + 0x10));
    usedExtended = true;
  }
  result.extended = usedExtended;
  return result;
}

DecodeResult DecodeGameText(const CodeTable& table, std::span<const std::uint8_t> bytes) {
  std::u16string result;
  result.reserve(bytes.size());
  const auto fail = [&](std::size_t offset) {
    return Failure{.reason = CodeProblem::kNoGameCode,
                   .what = "byte " + std::to_string(offset) + " is no game code",
                   .parts = offset};
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t b = bytes[i];
    if (b >= 0x50) {
      result += kStandardRow[b - 0x50u];
      continue;
    }
    const bool kanji = b >= 0x20 && b <= 0x23;
    if ((!kanji && b != 0x18) || i + 1 >= bytes.size()) return fail(i);
    const std::uint8_t p = bytes[i + 1];
    if (kanji) {
      result += kFixedRows[b - 0x1Fu][p];
    } else {
      const std::u16string_view extended = table.ExtendedTable();
      if (p < 0x10 || p - 0x10u >= extended.size()) return fail(i);
      result += extended[p - 0x10u];
    }
    ++i;
  }
  return result;
}

}  // namespace kavelin::text
