// The settings-file reader on arbitrary code page 932 bytes: the table it yields always has
// its fixed size, and every character it holds can be typed into a name.
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_check.hpp"
#include "text/code_table.hpp"
#include "text/settings_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kavelin::text;
  const std::u16string rows = ExtendedRowsFromSettings(std::span(data, size));
  KAVELIN_FUZZ_CHECK(rows.size() == (size == 0 ? 0 : kExtendedTableLength));

  CodeTable table;
  for (std::size_t r = 0; r < rows.size(); r += kExtendedRowLength)
    table.AppendExtendedRow(std::u16string_view(rows).substr(r, kExtendedRowLength));
  KAVELIN_FUZZ_CHECK(table.ExtendedTable() == rows);

  // The two empty-cell marks are refused by design; everything else in the table encodes,
  // and decodes back to a text that encodes to the same codes.
  for (const char16_t c : rows) {
    if (c == u'□' || c == u'■') continue;
    const std::u16string one(1, c);
    const EncodeResult encoded = EncodeGameText(table, one);
    KAVELIN_FUZZ_CHECK(encoded.Ok());
    const DecodeResult decoded = DecodeGameText(table, encoded->bytes);
    KAVELIN_FUZZ_CHECK(decoded.Ok());
    const EncodeResult again = EncodeGameText(table, *decoded);
    KAVELIN_FUZZ_CHECK(again.Ok() && again->bytes == encoded->bytes);
  }
  return 0;
}
