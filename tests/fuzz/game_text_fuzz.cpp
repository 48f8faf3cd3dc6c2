// Name encoding on arbitrary UTF-16: widening, then the game's codes. Whatever encodes
// decodes to a text with the same codes; whatever does not names a character of the input.
// The same text as a comment: its code page 932 bytes walk back to exactly its character
// count, which is how the patch reader finds the end of the comment.
#include <cstdint>
#include <string>

#include "fuzz_check.hpp"
#include "text/code_table.hpp"
#include "text/encoding.hpp"
#include "text/widths.hpp"

namespace {

using namespace kavelin::text;

// An extended table as a settings file could give it: symbols the fixed rows lack, a row
// with the empty-cell marks, a short row, and characters the fixed rows already hold.
const CodeTable& Table() {
  static const CodeTable table = [] {
    CodeTable t;
    t.AppendExtendedRow(u"①②③④⑤⑥⑦⑧⑨⑩ⅠⅡⅢⅣⅤⅥ");
    t.AppendExtendedRow(u"αβγδεζηθικλμνξοπ");
    t.AppendExtendedRow(u"□■♪★☆◎●◇◆△▲▽▼※〒→");
    t.AppendExtendedRow(u"ぁぃぅぇぉ");
    t.AppendExtendedRow(u"あ名剣ＡＢＣ");
    return t;
  }();
  return table;
}

bool IsLeadByte(std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);

  const std::u16string wide = WidenText(text);
  KAVELIN_FUZZ_CHECK(wide.size() <= text.size());
  const EncodeResult encoded = EncodeGameText(Table(), wide);
  if (!encoded) {
    const std::u16string_view rejected = RejectedOf(encoded.Why());
    KAVELIN_FUZZ_CHECK(!rejected.empty() && rejected.size() <= 2);
    KAVELIN_FUZZ_CHECK(wide.find(rejected) != std::u16string::npos);
  } else {
    KAVELIN_FUZZ_CHECK(encoded->bytes.size() >= wide.size() &&
                       encoded->bytes.size() <= 2 * wide.size());
    const DecodeResult decoded = DecodeGameText(Table(), encoded->bytes);
    KAVELIN_FUZZ_CHECK(decoded.Ok());
    KAVELIN_FUZZ_CHECK(decoded->size() == wide.size());
    const EncodeResult again = EncodeGameText(Table(), *decoded);
    KAVELIN_FUZZ_CHECK(again.Ok() && again->bytes == encoded->bytes);
  }

  const std::vector<std::uint8_t> comment = EncodeCp932(text);
  std::size_t at = 0;
  for (std::size_t n = 0; n < text.size(); ++n) {
    KAVELIN_FUZZ_CHECK(at < comment.size());
    at += IsLeadByte(comment[at]) ? 2 : 1;
  }
  KAVELIN_FUZZ_CHECK(at == comment.size());
  KAVELIN_FUZZ_CHECK(DecodeCp932(comment).size() == text.size());
  return 0;
}
