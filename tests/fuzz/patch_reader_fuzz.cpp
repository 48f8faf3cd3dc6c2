// The patch reader on arbitrary bytes. A refusal names an offset inside the file; an
// accepted patch prints as a sheet file (what `inspect --json` does) that reads back as
// the same sheet, so it can be made again.
#include <cstdint>
#include <span>

#include "fuzz_check.hpp"
#include "patch/patch_reader.hpp"
#include "sheet/sheet_file.hpp"

namespace {

using namespace kavelin;

// Some extended characters, as a settings file would give them, so that extended codes in
// the name can be read.
const text::CodeTable& Table() {
  static const text::CodeTable table = [] {
    text::CodeTable t;
    t.AppendExtendedRow(u"①②③④⑤⑥⑦⑧⑨⑩ⅠⅡⅢⅣⅤⅥ");
    t.AppendExtendedRow(u"αβγδεζηθικλμνξοπ");
    return t;
  }();
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const patch::ReadResult read = patch::ReadPatchFile(std::span(data, size), Table());
  if (!read) {
    const std::string& reason = read.Why().what;
    KAVELIN_FUZZ_CHECK(!reason.empty() && reason.size() <= 200);
    // The window words the refusal from its parts: the problem and its offset.
    const auto* at = read.Why().PartsAs<patch::PatchProblemAt>();
    KAVELIN_FUZZ_CHECK(at != nullptr && at->offset <= size);
    KAVELIN_FUZZ_CHECK(at->problem.kind != patch::PatchProblemKind::kNone);
    KAVELIN_FUZZ_CHECK(read.Why().reason == at->problem.kind);
    return 0;
  }
  KAVELIN_FUZZ_CHECK(size >= 7158);
  sheet::SheetDocument document;
  document.sheet = read->sheet;
  const sheet::SheetFileResult again = sheet::ReadSheetFile(sheet::WriteSheetFile(document));
  KAVELIN_FUZZ_CHECK(again.Ok());
  sheet::CharacterSheet expected = read->sheet;
  expected.comment = sheet::NormaliseLineBreaks(expected.comment);
  KAVELIN_FUZZ_CHECK(again->sheet == expected);
  return 0;
}
