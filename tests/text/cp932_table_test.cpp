// The table code path (text/cp932_table.hpp), which builds without ICU use, against ICU called
// exactly as text/encoding_icu.cpp calls it, over every input that can be enumerated: each
// must give the same result to the unit.
#include "text/cp932_table.hpp"

#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>

namespace kavelin::text {
namespace {

using Bytes = std::vector<std::uint8_t>;

// ICU as the door calls it.
UConverter* Cp932() {
  static const std::unique_ptr<UConverter, void (*)(UConverter*)> converter = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> c(ucnv_open("windows-932", &status),
                                                         ucnv_close);
    ucnv_setSubstChars(c.get(), "?", 1, &status);
    if (U_FAILURE(status)) ADD_FAILURE() << "windows-932: " << u_errorName(status);
    return c;
  }();
  return converter.get();
}

Bytes IcuEncode(char16_t unit) {
  char buffer[8];
  int32_t length = 0;
  if (unit < 0xD800 || unit > 0xDFFF) {
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(Cp932());
    length = ucnv_fromUChars(Cp932(), buffer, sizeof buffer, &unit, 1, &status);
    if (U_FAILURE(status)) length = 0;
  }
  if (length < 1 || length > 2) return {'?'};
  return Bytes(buffer, buffer + length);
}

std::u16string IcuDecode(const Bytes& bytes) {
  if (bytes.empty()) return {};
  ucnv_reset(Cp932());
  std::u16string out(bytes.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = ucnv_toUChars(Cp932(), out.data(), static_cast<int32_t>(out.size()),
                                       reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string IcuToUtf8(std::u16string_view text) {
  std::string out(text.size() * 3 + 1, '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, text.data(),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::optional<std::u16string> IcuFromUtf8(std::string_view bytes) {
  std::u16string out(bytes.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strFromUTF8(out.data(), static_cast<int32_t>(out.size()), &length, bytes.data(),
                static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  out.resize(static_cast<std::size_t>(length));
  return out;
}

template <typename Range>
std::string Hex(const Range& values) {
  std::ostringstream out;
  out << std::hex << std::uppercase;
  for (const auto v : values)
    out << ' ' << static_cast<unsigned>(static_cast<char32_t>(v));
  return out.str().empty() ? " (none)" : out.str();
}

// Counts the comparisons and reports the first few differences.
class Tally {
 public:
  explicit Tally(std::string what) : what_(std::move(what)) {}
  ~Tally() {
    std::cout << what_ << ": " << compared_ << " compared, " << differences_ << " differ\n";
    EXPECT_EQ(differences_, 0u) << what_;
  }
  template <typename T, typename Describe>
  void Compare(const T& table, const T& icu, const Describe& input) {
    ++compared_;
    if (table == icu) return;
    if (++differences_ <= 10) ADD_FAILURE() << what_ << " differ for" << input();
  }

 private:
  std::string what_;
  std::size_t compared_ = 0, differences_ = 0;
};

void CompareDecode(Tally& tally, const Bytes& bytes) {
  tally.Compare(table::DecodeCp932(bytes), IcuDecode(bytes), [&] { return Hex(bytes); });
}

TEST(Cp932Table, EncodesEveryUnitAsIcu) {
  Tally tally("code page 932 encodings");
  std::u16string all;
  Bytes icuAll;
  for (std::uint32_t u = 0; u < 0x10000; ++u) {
    const char16_t unit = static_cast<char16_t>(u);
    const Bytes icu = IcuEncode(unit);
    tally.Compare(table::EncodeCp932(std::u16string(1, unit)), icu,
                  [&] { return Hex(std::u16string(1, unit)); });
    all += unit;
    icuAll.insert(icuAll.end(), icu.begin(), icu.end());
  }
  // The whole range as one text: a character per unit, in order.
  tally.Compare(table::EncodeCp932(all), icuAll, [] { return std::string(" the whole range"); });
}

TEST(Cp932Table, DecodesEveryOneAndTwoByteSequenceAsIcu) {
  Tally tally("code page 932 decodings");
  CompareDecode(tally, {});
  for (unsigned a = 0; a < 256; ++a) {
    CompareDecode(tally, {std::uint8_t(a)});
    for (unsigned b = 0; b < 256; ++b)
      CompareDecode(tally, {std::uint8_t(a), std::uint8_t(b)});
  }
}

TEST(Cp932Table, ResynchronisesAsIcuAfterBadAndTruncatedSequences) {
  Tally tally("code page 932 decodings of longer strings");
  // Every pair before a lead byte left without its trail byte.
  for (const unsigned lead : {0x81u, 0x9Fu, 0xE0u, 0xFCu})
    for (unsigned a = 0; a < 256; ++a)
      for (unsigned b = 0; b < 256; ++b)
        CompareDecode(tally, {std::uint8_t(a), std::uint8_t(b), std::uint8_t(lead)});
  // Random strings, thick with lead bytes and the bytes around the trail ranges' ends.
  const std::uint8_t edges[] = {0x00, 0x3F, 0x40, 0x7E, 0x7F, 0x80, 0x81, 0x9F, 0xA0,
                                0xDF, 0xE0, 0xEF, 0xF0, 0xFC, 0xFD, 0xFF, 0x1A, 0x41};
  std::mt19937 random(932);
  for (int n = 0; n < 20000; ++n) {
    Bytes bytes(random() % 48);
    for (auto& b : bytes)
      b = random() % 2 ? edges[random() % std::size(edges)] : std::uint8_t(random());
    CompareDecode(tally, bytes);
  }
}

TEST(Cp932Table, CategoriesMatchIcuForEveryCodePoint) {
  Tally tally("general categories");
  constexpr std::uint32_t invisible = U_GC_CC_MASK | U_GC_CF_MASK | U_GC_ZL_MASK | U_GC_ZP_MASK;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    const std::uint32_t mask = U_GET_GC_MASK(static_cast<UChar32>(c));
    const auto name = [&] { return Hex(std::u32string(1, c)); };
    tally.Compare(table::IsInvisibleCharacter(c), (mask & invisible) != 0, name);
    tally.Compare(table::IsSpaceCharacter(c), (mask & U_GC_ZS_MASK) != 0, name);
  }
  for (const char32_t c : {char32_t{0x110000}, char32_t{0xFFFFFFFF}}) {
    tally.Compare(table::IsInvisibleCharacter(c) || table::IsSpaceCharacter(c), false,
                  [&] { return Hex(std::u32string(1, c)); });
  }
}

TEST(Cp932Table, ToUtf8MatchesIcu) {
  Tally tally("UTF-8 encodings");
  const auto compare = [&](const std::u16string& text) {
    tally.Compare(table::ToUtf8(text), IcuToUtf8(text), [&] { return Hex(text); });
  };
  // Every unit alone, lone surrogates included, and every pair of surrogates.
  for (std::uint32_t u = 0; u < 0x10000; ++u)
    compare(std::u16string(1, char16_t(u)));
  for (std::uint32_t c = 0x10000; c <= 0x10FFFF; ++c)
    compare({char16_t(0xD800 + ((c - 0x10000) >> 10)), char16_t(0xDC00 + (c & 0x3FF))});
  // Halves out of order and beside other units.
  const char16_t edges[] = {0x41,   0x7F,   0x80,   0x7FF,  0x800,  0xD7FF, 0xD800,
                            0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFD, 0xFFFF};
  for (const char16_t a : edges)
    for (const char16_t b : edges)
      for (const char16_t c : edges)
        compare({a, b, c});
}

TEST(Cp932Table, FromUtf8MatchesIcuOnWellAndIllFormedInput) {
  Tally tally("UTF-8 decodings");
  std::string bytes;
  const auto compare = [&] {
    tally.Compare(table::FromUtf8(bytes), IcuFromUtf8(bytes), [&] { return Hex(bytes); });
  };
  // Every string of one and two bytes, and of three from every three-byte lead, the edges
  // of the two-byte leads, truncated four-byte leads and bytes no sequence starts with.
  for (unsigned a = 0; a < 256; ++a) {
    const bool three = (a >= 0xE0 && a <= 0xF5) || a == 0xC0 || a == 0xC2 || a == 0xDF || a == 0xFF;
    bytes.assign(1, char(a));
    compare();
    for (unsigned b = 0; b < 256; ++b) {
      bytes.assign({char(a), char(b)});
      compare();
      for (unsigned c = 0; three && c < 256; ++c) {
        bytes.assign({char(a), char(b), char(c)});
        compare();
      }
    }
  }
  // Four-byte leads with every second byte and the edges of the continuation range after.
  const char edges[] = {'\x00', 'A',    '\x7F', '\x80', '\x8F',
                        '\x90', '\x9F', '\xA0', '\xBF', '\xC0'};
  for (unsigned a = 0xF0; a <= 0xF7; ++a)
    for (unsigned b = 0; b < 256; ++b)
      for (const char c : edges)
        for (const char d : edges) {
          bytes.assign({char(a), char(b), c, d});
          compare();
        }
  // Every scalar value, well formed.
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    bytes = IcuToUtf8(c < 0x10000 ? std::u16string(1, char16_t(c))
                                  : std::u16string{char16_t(0xD800 + ((c - 0x10000) >> 10)),
                                                   char16_t(0xDC00 + (c & 0x3FF))});
    compare();
  }
}

TEST(Cp932Table, CommittedTableIsWhatTheGeneratorWritesNow) {
  namespace fs = std::filesystem;
  const fs::path fresh =
      fs::temp_directory_path() / ("kavelin-cp932-table-" + std::to_string(getpid()) + ".inc");
  const std::string command =
      std::string("'") + KAVELIN_CP932_TABLE_TOOL + "' '" + fresh.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const auto read = [](const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  };
  const std::string made = read(fresh);
  fs::remove(fresh);
  EXPECT_FALSE(made.empty());
  EXPECT_TRUE(made == read(KAVELIN_CP932_TABLE_INC))
      << KAVELIN_CP932_TABLE_INC << " is stale: run kavelin-cp932-table on it";
}

}  // namespace
}  // namespace kavelin::text
