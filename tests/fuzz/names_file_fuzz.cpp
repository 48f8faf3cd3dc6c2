// The names-file reader on arbitrary bytes: whatever it accepts names an entry the list
// offers with a valid name, list order and codes never change, its reports are safe to
// print, and the table written back out reads as the same table.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_check.hpp"
#include "sheet/names_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kavelin::sheet;
  const std::span<const std::uint8_t> bytes(data, size);
  NamesTable table;
  std::vector<NamesProblem> problems;
  ReadNamesFile(bytes, "fuzz.tsv", table, problems);

  const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
  KAVELIN_FUZZ_CHECK(problems.size() <= kMaxReportedNamesProblems + 1);
  for (const auto& p : problems) {
    KAVELIN_FUZZ_CHECK(p.line <= lines);
    KAVELIN_FUZZ_CHECK(std::none_of(p.reason.begin(), p.reason.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20; }));
  }

  std::size_t named = 0;
  for (const ListId list : kCodedLists) {
    const auto entries = ListEntries(list);
    const auto shown = table.DisplayEntries(list);
    KAVELIN_FUZZ_CHECK(shown.size() == entries.size());
    for (std::size_t p = 0; p < entries.size(); ++p) {
      // Same code at the same position, a valid name after it.
      KAVELIN_FUZZ_CHECK(EntryCode(shown[p]) == EntryCode(entries[p]));
      KAVELIN_FUZZ_CHECK(!NameProblem(std::u16string_view(shown[p]).substr(4)));
      KAVELIN_FUZZ_CHECK(shown[p].substr(4) == table.Name(list, *EntryCode(entries[p])));
      if (shown[p] != entries[p]) ++named;
    }
  }
  KAVELIN_FUZZ_CHECK(named == table.NamedCount());

  // The same file read again changes nothing.
  NamesTable again = table;
  std::vector<NamesProblem> ignored;
  ReadNamesFile(bytes, "fuzz.tsv", again, ignored);
  KAVELIN_FUZZ_CHECK(again == table);

  // The names output reads back as the same table, without a problem.
  const std::string out = WriteNamesFile(table);
  KAVELIN_FUZZ_CHECK(std::count(out.begin(), out.end(), '\n') == 383);
  NamesTable back;
  std::vector<NamesProblem> backProblems;
  ReadNamesFile(std::span(reinterpret_cast<const std::uint8_t*>(out.data()), out.size()), "out",
                back, backProblems);
  KAVELIN_FUZZ_CHECK(backProblems.empty());
  KAVELIN_FUZZ_CHECK(back == table);
  return 0;
}
