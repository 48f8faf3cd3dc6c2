// The sheet-file reader on arbitrary bytes. A refusal is one short line of valid UTF-8
// that names where the problem is; an accepted sheet writes out and reads back the same.
#include <cstdint>
#include <string_view>

#include "fuzz_check.hpp"
#include "sheet/sheet_file.hpp"
#include "text/encoding.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kavelin;
  const std::string_view json(reinterpret_cast<const char*>(data), size);
  const sheet::SheetFileResult read = sheet::ReadSheetFile(json);
  if (!read.ok) {
    KAVELIN_FUZZ_CHECK(!read.error.empty());
    KAVELIN_FUZZ_CHECK(read.error.size() <= 200);
    KAVELIN_FUZZ_CHECK(read.error.find('\n') == std::string::npos);
    KAVELIN_FUZZ_CHECK(text::FromUtf8(read.error).has_value());
    KAVELIN_FUZZ_CHECK(read.document == sheet::SheetDocument{});
    // The window words the refusal from its parts.
    KAVELIN_FUZZ_CHECK(read.problem.kind != sheet::SheetProblemKind::kNone);
    return 0;
  }
  KAVELIN_FUZZ_CHECK(read.error.empty());
  KAVELIN_FUZZ_CHECK(read.problem.kind == sheet::SheetProblemKind::kNone);
  const std::string written = sheet::WriteSheetFile(read.document);
  const sheet::SheetFileResult again = sheet::ReadSheetFile(written);
  KAVELIN_FUZZ_CHECK(again.ok);
  KAVELIN_FUZZ_CHECK(again.document == read.document);
  return 0;
}
