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
  if (!read) {
    const std::string& error = read.Why().what;
    KAVELIN_FUZZ_CHECK(!error.empty());
    KAVELIN_FUZZ_CHECK(error.size() <= 200);
    KAVELIN_FUZZ_CHECK(error.find('\n') == std::string::npos);
    KAVELIN_FUZZ_CHECK(text::FromUtf8(error).has_value());
    // The window words the refusal from its parts, of the same kind as the reason.
    const auto* problem = read.Why().PartsAs<sheet::SheetFileProblem>();
    KAVELIN_FUZZ_CHECK(problem != nullptr && problem->kind != sheet::SheetProblemKind::kNone);
    KAVELIN_FUZZ_CHECK(read.Why().reason == problem->kind);
    return 0;
  }
  const std::string written = sheet::WriteSheetFile(*read);
  const sheet::SheetFileResult again = sheet::ReadSheetFile(written);
  KAVELIN_FUZZ_CHECK(again.Ok());
  KAVELIN_FUZZ_CHECK(*again == *read);
  return 0;
}
