// Writes src/text/cp932_table.inc: the code page 932 conversions and the general categories
// the core needs, taken from ICU, for builds that have no ICU (the web build).
//
//   kavelin-cp932-table [OUTPUT]
//
// Without OUTPUT the table goes to standard output. The converter is asked exactly as
// src/text/encoding_icu.cpp asks it, so the table reproduces that file's results, ICU's
// quirks included. Before writing, the tool checks that ICU's decoder follows the model
// the table's reader (src/text/encoding_table.cpp) implements; if it does not, nothing is
// written and the tool says what differs.
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/uversion.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "text/cp932_inverse.hpp"

namespace {

constexpr char16_t kReplacement = kavelin::text::table::kReplacementUnit;
constexpr std::uint8_t kNone = 0xFF;
constexpr std::uint16_t kQuestionMark = kavelin::text::table::kQuestionMarkCode;

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// The door's converter: windows-932 with "?" as the substitute.
ConverterPtr OpenConverter() {
  UErrorCode status = U_ZERO_ERROR;
  ConverterPtr c(ucnv_open("windows-932", &status));
  if (U_FAILURE(status)) return nullptr;
  ucnv_setSubstChars(c.get(), "?", 1, &status);
  if (U_FAILURE(status)) return nullptr;
  return c;
}

// One UTF-16 unit as EncodeCp932 converts it: its one or two bytes as a code (a single byte
// below 0x100, lead byte high), "?" for anything else.
std::uint16_t EncodeUnit(UConverter* converter, char16_t unit) {
  if (unit >= 0xD800 && unit <= 0xDFFF) return kQuestionMark;
  char buffer[8];
  UErrorCode status = U_ZERO_ERROR;
  const UChar u = unit;
  ucnv_reset(converter);
  const int32_t length = ucnv_fromUChars(converter, buffer, sizeof buffer, &u, 1, &status);
  if (U_FAILURE(status) || length < 1 || length > 2) return kQuestionMark;
  const auto byte = [&](int i) { return static_cast<std::uint16_t>(std::uint8_t(buffer[i])); };
  return length == 1 ? byte(0) : static_cast<std::uint16_t>(byte(0) << 8 | byte(1));
}

std::optional<std::u16string> Decode(UConverter* converter, const std::vector<std::uint8_t>& in) {
  char16_t out[16];
  UErrorCode status = U_ZERO_ERROR;
  ucnv_reset(converter);
  const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(out), 16,
                                       reinterpret_cast<const char*>(in.data()),
                                       static_cast<int32_t>(in.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  return std::u16string(out, static_cast<std::size_t>(length));
}

struct Tables {
  std::array<char16_t, 256> single{};
  std::array<std::uint8_t, 256> leadIndex{};
  std::array<std::uint8_t, 256> trailIndex{};
  std::vector<std::uint8_t> leads, trails;
  std::vector<char16_t> pairs;  // leads.size() * trails.size(), lead-major
  std::vector<std::array<std::uint16_t, 2>> encodeExceptions;
  std::vector<std::array<char32_t, 2>> invisible, spaces;
  std::size_t encodeMapped = 0;
};

std::string Hex(std::uint32_t v, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, static_cast<unsigned>(v));
  return buffer;
}

struct Failure {
  std::string message;
};

// Reads the decoder. Every byte decodes alone to one unit. A byte is a lead byte when some
// byte after it makes one character with it; such a pair is consumed whole, giving its
// character or U+FFFD when the pair is unassigned. A lead byte before any other byte, or at
// the end, gives U+FFFD alone and the next byte starts afresh.
void ReadDecoder(UConverter* converter, Tables& t) {
  for (int b = 0; b < 256; ++b) {
    const auto s = Decode(converter, {std::uint8_t(b)});
    if (!s || s->size() != 1) throw Failure{"byte " + Hex(b, 2) + " does not decode to one unit"};
    t.single[b] = (*s)[0];
  }
  // consumed[lead][trail]
  std::vector<std::array<bool, 256>> consumed(256);
  std::array<char16_t, 256 * 256> pair{};
  for (int l = 0; l < 256; ++l) {
    for (int r = 0; r < 256; ++r) {
      const auto s = Decode(converter, {std::uint8_t(l), std::uint8_t(r)});
      const std::string where = "bytes " + Hex(l, 2) + " " + Hex(r, 2);
      if (!s) throw Failure{where + " fail to decode"};
      if (s->size() == 1) {
        consumed[l][r] = true;
        pair[l * 256 + r] = (*s)[0];
      } else if (*s != std::u16string{t.single[l], t.single[r]}) {
        throw Failure{where + " decode neither as one character nor byte by byte"};
      }
    }
  }
  t.leadIndex.fill(kNone);
  t.trailIndex.fill(kNone);
  const std::array<bool, 256>* trailSet = nullptr;
  for (int l = 0; l < 256; ++l) {
    bool any = false;
    for (int r = 0; r < 256; ++r)
      any = any || consumed[l][r];
    if (!any) continue;
    if (trailSet == nullptr) trailSet = &consumed[l];
    if (consumed[l] != *trailSet) throw Failure{"lead bytes differ in the bytes that follow them"};
    if (t.single[l] != kReplacement) throw Failure{"lead byte " + Hex(l, 2) + " decodes alone"};
    t.leadIndex[l] = static_cast<std::uint8_t>(t.leads.size());
    t.leads.push_back(static_cast<std::uint8_t>(l));
  }
  if (trailSet == nullptr) throw Failure{"the converter has no double-byte characters"};
  for (int r = 0; r < 256; ++r) {
    if (!(*trailSet)[r]) continue;
    t.trailIndex[r] = static_cast<std::uint8_t>(t.trails.size());
    t.trails.push_back(static_cast<std::uint8_t>(r));
  }
  if (t.leads.size() >= kNone || t.trails.size() >= kNone)
    throw Failure{"too many lead or trail bytes for one-byte indexes"};
  for (const std::uint8_t l : t.leads)
    for (const std::uint8_t r : t.trails)
      t.pairs.push_back(pair[l * 256 + r]);
}

// The encoder is stored as what the decoder gives back (InvertDecoder), and the units where
// ICU chooses otherwise (duplicates in the code page, fallbacks that do not decode back,
// units that decode but do not encode) are listed apart.
void ReadEncoder(UConverter* converter, Tables& t) {
  const auto at = [](const std::vector<std::uint8_t>& bytes, unsigned b) {
    return static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), b) - bytes.begin());
  };
  const std::vector<std::uint16_t> inverse = kavelin::text::table::InvertDecoder(
      [&](unsigned b) { return t.single[b]; },
      [&](unsigned lead, unsigned trail) {
        return t.pairs[at(t.leads, lead) * t.trails.size() + at(t.trails, trail)];
      },
      t.leads, t.trails);
  for (std::uint32_t u = 0; u < 0x10000; ++u) {
    const std::uint16_t code = EncodeUnit(converter, static_cast<char16_t>(u));
    if (code != kQuestionMark || u == '?') ++t.encodeMapped;
    if (code != inverse[u]) t.encodeExceptions.push_back({static_cast<std::uint16_t>(u), code});
  }
}

std::vector<std::array<char32_t, 2>> Ranges(std::uint32_t mask) {
  std::vector<std::array<char32_t, 2>> ranges;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if ((U_GET_GC_MASK(static_cast<UChar32>(c)) & mask) == 0) continue;
    if (!ranges.empty() && ranges.back()[1] + 1 == c) {
      ranges.back()[1] = c;
    } else {
      ranges.push_back({c, c});
    }
  }
  return ranges;
}

// Values a line, indented, within 100 columns.
template <typename T, typename Format>
void WriteValues(std::ostream& out, const std::vector<T>& values, std::size_t perLine,
                 Format format) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    out << (i % perLine == 0 ? "    " : " ") << format(values[i]) << ',';
    if (i % perLine == perLine - 1 || i + 1 == values.size()) out << '\n';
  }
}

std::string Render(const Tables& t) {
  std::ostringstream out;
  out << "// Generated by tools/cp932/make_cp932_table.cpp from ICU " << U_ICU_VERSION
      << " (Unicode " << U_UNICODE_VERSION << "); do not edit by hand.\n";
  out << "constexpr std::size_t kLeadCount = " << t.leads.size() << ";\n";
  out << "constexpr std::size_t kTrailCount = " << t.trails.size() << ";\n";
  const auto index = [&](const char* name, const std::array<std::uint8_t, 256>& a) {
    out << "constexpr std::uint8_t " << name << "[256] = {\n";
    WriteValues(out, std::vector<std::uint8_t>(a.begin(), a.end()), 16,
                [](std::uint8_t v) { return Hex(v, 2); });
    out << "};\n";
  };
  index("kLeadIndex", t.leadIndex);
  index("kTrailIndex", t.trailIndex);
  const auto unit = [](char16_t v) { return Hex(v, 4); };
  out << "constexpr char16_t kSingle[256] = {\n";
  WriteValues(out, std::vector<char16_t>(t.single.begin(), t.single.end()), 12, unit);
  out << "};\n";
  out << "constexpr char16_t kPairs[kLeadCount * kTrailCount] = {\n";
  WriteValues(out, t.pairs, 12, unit);
  out << "};\n";
  out << "constexpr std::uint16_t kEncodeExceptions[][2] = {\n";
  WriteValues(out, t.encodeExceptions, 5, [](const std::array<std::uint16_t, 2>& e) {
    return "{" + Hex(e[0], 4) + ", " + Hex(e[1], 4) + "}";
  });
  out << "};\n";
  const auto ranges = [&](const char* name, const std::vector<std::array<char32_t, 2>>& r) {
    out << "constexpr char32_t " << name << "[][2] = {\n";
    WriteValues(out, r, 4, [](const std::array<char32_t, 2>& e) {
      return "{" + Hex(e[0], 5) + ", " + Hex(e[1], 5) + "}";
    });
    out << "};\n";
  };
  ranges("kInvisibleRanges", t.invisible);
  ranges("kSpaceRanges", t.spaces);
  return out.str();
}

// Written beside the target and renamed over it, so that a failed run leaves the old table.
bool WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::path temporary = path;
  temporary += ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.flush();
    if (!file) {
      std::cerr << "kavelin-cp932-table: cannot write " << temporary << '\n';
      file.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::cerr << "kavelin-cp932-table: cannot replace " << path << ": " << error.message() << '\n';
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && std::string(argv[1]).starts_with('-'))) {
    std::cerr << "usage: kavelin-cp932-table [OUTPUT]\n";
    return 2;
  }
  const ConverterPtr converter = OpenConverter();
  if (!converter) {
    std::cerr << "kavelin-cp932-table: ICU has no windows-932 converter\n";
    return 1;
  }
  Tables t;
  try {
    ReadDecoder(converter.get(), t);
    ReadEncoder(converter.get(), t);
  } catch (const Failure& f) {
    std::cerr << "kavelin-cp932-table: the converter does not fit the table: " << f.message << '\n';
    return 1;
  }
  t.invisible = Ranges(U_GC_CC_MASK | U_GC_CF_MASK | U_GC_ZL_MASK | U_GC_ZP_MASK);
  t.spaces = Ranges(U_GC_ZS_MASK);
  const std::string text = Render(t);
  std::cerr << "kavelin-cp932-table: " << t.leads.size() << " lead bytes, " << t.trails.size()
            << " trail bytes, " << t.encodeMapped << " units encoded, " << t.encodeExceptions.size()
            << " encoder exceptions, " << t.invisible.size() << " invisible and " << t.spaces.size()
            << " space ranges, " << text.size() << " bytes\n";
  if (argc == 2) return WriteFile(argv[1], text) ? 0 : 1;
  std::cout << text;
  std::cout.flush();
  return std::cout ? 0 : 1;
}
