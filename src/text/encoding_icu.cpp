// ICU door: the only file of the core that talks to ICU's converters.
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>

#include "text/encoding.hpp"

namespace kavelin::text {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Opening a converter loads its table; keep one per thread rather than one per call.
UConverter* Cp932Converter() {
  thread_local ConverterPtr converter = [] {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open("windows-932", &status));
    if (U_FAILURE(status)) return ConverterPtr();
    ucnv_setSubstChars(c.get(), "?", 1, &status);
    return c;
  }();
  return converter.get();
}

bool IsSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

// ICU counts in int32_t; larger inputs are refused rather than truncated.
constexpr std::size_t kMaxUnits = 0x3FFFFFFF / 3;

}  // namespace

std::vector<std::uint8_t> EncodeCp932(std::u16string_view text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size() * 2);
  UConverter* converter = Cp932Converter();
  for (const char16_t c : text) {
    // One character at a time: whole-string conversion drops default-ignorable
    // characters and would change the count the patch stores.
    char buffer[8];
    int32_t length = 0;
    if (converter != nullptr && !IsSurrogate(c)) {
      UErrorCode status = U_ZERO_ERROR;
      const UChar unit = c;
      ucnv_reset(converter);
      length = ucnv_fromUChars(converter, buffer, sizeof buffer, &unit, 1, &status);
      if (U_FAILURE(status)) length = 0;
    }
    if (length < 1 || length > 2) {
      out.push_back('?');
    } else {
      out.insert(out.end(), buffer, buffer + length);
    }
  }
  return out;
}

std::u16string DecodeCp932(std::span<const std::uint8_t> bytes) {
  UConverter* converter = Cp932Converter();
  if (converter == nullptr || bytes.empty() || bytes.size() > kMaxUnits) return {};
  ucnv_reset(converter);
  // Code page 932 never yields more UTF-16 units than it has bytes.
  std::u16string out(bytes.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = ucnv_toUChars(
      converter, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
      reinterpret_cast<const char*>(bytes.data()), static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string ToUtf8(std::u16string_view text) {
  if (text.size() > kMaxUnits) return {};
  std::string out(text.size() * 3 + 1, '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  // Lone surrogates become U+FFFD rather than failing the whole conversion.
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                     reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                     0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::optional<std::u16string> FromUtf8(std::string_view bytes) {
  if (bytes.size() > kMaxUnits) return std::nullopt;
  std::u16string out(bytes.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  out.resize(static_cast<std::size_t>(length));
  return out;
}

}  // namespace kavelin::text
