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
  if (!read.ok) {
    KAVELIN_FUZZ_CHECK(!read.reason.empty() && read.reason.size() <= 200);
    KAVELIN_FUZZ_CHECK(read.offset <= size);
    // The window words the refusal from its parts.
    KAVELIN_FUZZ_CHECK(read.problem.kind != patch::PatchProblemKind::kNone);
    return 0;
  }
  KAVELIN_FUZZ_CHECK(read.problem.kind == patch::PatchProblemKind::kNone);
  KAVELIN_FUZZ_CHECK(size >= 7158);
  sheet::SheetDocument document;
  document.sheet = read.contents.sheet;
  const sheet::SheetFileResult again = sheet::ReadSheetFile(sheet::WriteSheetFile(document));
  KAVELIN_FUZZ_CHECK(again.ok);
  sheet::CharacterSheet expected = read.contents.sheet;
  expected.comment = sheet::NormaliseLineBreaks(expected.comment);
  KAVELIN_FUZZ_CHECK(again.document.sheet == expected);
  return 0;
}
