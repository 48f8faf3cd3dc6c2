// The user's own names for the entries of the coded lists, from "kavelin-names.tsv": one
// entry a line, LIST<TAB>CODE<TAB>NAME. Names are for display only; sheet files and patches
// keep codes, and every rule keeps working by code and list position.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/read_file.hpp"
#include "sheet/catalogue.hpp"

namespace kavelin::sheet {

inline constexpr std::string_view kNamesFileName = "kavelin-names.tsv";
// A names file holds 383 short lines at most that matter; anything this large is no names
// file, and is not read at all.
inline constexpr std::size_t kMaxNamesFileBytes = std::size_t{1} << 20;
// Characters (code points) of one name.
inline constexpr std::size_t kMaxNameLength = 40;
// Bad lines reported per file; the rest are counted in one last report.
inline constexpr std::size_t kMaxReportedNamesProblems = 50;

// The coded lists, in the order `names` prints them.
inline constexpr std::array<ListId, 8> kCodedLists = {
    ListId::kInspirationType, ListId::kTechnique, ListId::kSpell,           ListId::kWeapon,
    ListId::kArmour,          ListId::kFormation, ListId::kExclusiveWeapon, ListId::kCommanderType,
};

// The sheet file's key of a coded list ("techniques"), which the names file uses as LIST;
// empty for a plain list.
std::string_view NamesListKey(ListId list);
std::optional<ListId> ListOfNamesKey(std::string_view key);

// The name part of an entry text: what follows 【XX】 ("技0F" of "【0F】技0F").
std::u16string_view BuiltInName(std::u16string_view entry);

// Display names of the coded lists' entries: the user's where given, else the built-in ones.
class NamesTable {
 public:
  // The name of the entry with `code`: the user's, else the built-in one; empty when the
  // list does not offer the code.
  std::u16string_view Name(ListId list, std::uint8_t code) const;
  // What a list shows at `position`: "【XX】" + the user's name when there is one, else the
  // built-in entry text. Empty for a position outside the list.
  std::u16string DisplayText(ListId list, int position) const;
  // Every entry of a list in list order, as DisplayText gives them.
  std::vector<std::u16string> DisplayEntries(ListId list) const;

  // Names the entry; a name equal to the built-in one leaves it unnamed, so that a table
  // read back from its own `names` output equals it. False, and nothing changes, when the
  // list does not offer the code or the name is not valid (ValidName).
  bool SetName(ListId list, std::uint8_t code, std::u16string_view name);
  // Entries the user has named (with a name other than the built-in one).
  std::size_t NamedCount() const { return names_.size(); }

  bool operator==(const NamesTable&) const = default;

 private:
  std::map<std::pair<ListId, std::uint8_t>, std::u16string> names_;
};

// Whether a name may stand in a names file: 1 to 40 characters, none of them a control
// character or another invisible one (text::IsInvisibleCharacter), and not only blanks
// (space separators). The reason when it may not.
std::optional<std::string> NameProblem(std::u16string_view name);

// A line of a names file that was skipped, or a file that could not be used (line 0).
struct NamesProblem {
  std::filesystem::path file;
  std::size_t line = 0;
  std::string reason;           // English, for the terminal
  std::optional<Failure> read;  // why the whole file could not be read, when that was it
};
// "FILE:LINE: reason", or "FILE: reason" for the whole file.
std::string ProblemText(const NamesProblem& problem);

// Reads one names file's bytes onto `table`: each good line names its entry, overriding
// what the table held. Bad lines are reported (the first kMaxReportedNamesProblems, then
// one count of the rest) and skipped; a repeated entry keeps its first line.
void ReadNamesFile(std::span<const std::uint8_t> bytes, const std::filesystem::path& file,
                   NamesTable& table, std::vector<NamesProblem>& problems);

// The whole table in the file's own format, every entry of every coded list, unnamed
// entries with their built-in names.
std::string WriteNamesFile(const NamesTable& table);

// One name given or taken out in place, as the window's lists do it.
struct NameChange {
  ListId list = ListId::kTechnique;
  std::uint8_t code = 0;
  std::optional<std::u16string> name;  // nothing: the user's name is taken out
};

// What a names file the program creates starts with, so that a person opening it knows
// what it is and how to edit it.
inline constexpr std::string_view kNamesFileHeader =
    "# Kavelin names: one entry a line, LIST<TAB>CODE<TAB>NAME (1 to 40 characters).\n"
    "# Lines starting with # are comments.\n";

// Whether the file has a line the reader takes for the entry.
bool HasNamesLine(std::span<const std::uint8_t> bytes, ListId list, std::uint8_t code);

// `bytes` with one change made and every other byte kept, comments, blank lines, line
// ends and lines the reader rejects included: a name replaces the line the reader takes
// for the entry in place (its line end kept), or is appended in the file's own line ends;
// taking a name out removes every line the reader could take for the entry, so that a
// later duplicate does not become the name. Nothing when the list does not offer the code
// or the name is not valid (NameProblem).
std::optional<std::string> ApplyNameChange(std::span<const std::uint8_t> bytes,
                                           const NameChange& change);
// The same over what a names file holds now, nothing meaning no file: a new file starts
// with kNamesFileHeader, and taking a name out of no file leaves no file (an empty result).
std::optional<std::string> MergeNameChange(const std::optional<std::vector<std::uint8_t>>& current,
                                           const NameChange& change);

// Which step of writing one change into a names file failed.
enum class NamesWriteStep {
  kNone,
  kName,    // the change itself is not valid
  kFolder,  // the file's folder could not be made
  kLock,    // the lock file beside it could not be opened or locked
  kBusy,    // another writer held the lock for longer than the wait
  kRead,    // the file there could not be read (too large, no regular file, ...)
  kWrite,   // the atomic write failed
};
std::string_view ReasonText(NamesWriteStep step);
inline std::error_code make_error_code(NamesWriteStep step) {
  return MakeReason(step, "names");
}
// The file as it is after the change; or a Failure whose reason is the step, whose `error`
// is the errno (or io:: write error) of kFolder, kLock and kWrite, and whose parts are the
// read's own Failure for kRead.
using NamesWrite = Result<std::string>;
// The lock file beside a names file, which writers hold while they read, merge and
// write. The names file itself cannot be locked: the atomic write replaces it.
std::filesystem::path NamesLockFile(const std::filesystem::path& file);
// Reads `file` and writes it back with the one change, under an exclusive lock on
// NamesLockFile, so that writers in other windows never lose each other's lines. Waits at
// most `wait` for the lock. Makes the folder when it is missing; a link is written through
// to the file it names. A change that changes nothing writes nothing.
NamesWrite WriteNameChange(const std::filesystem::path& file, const NameChange& change,
                           std::chrono::milliseconds wait = std::chrono::seconds(5));

// Where names files are read from, in order, each overriding the ones before entry by
// entry: beside the executable, then the user's configuration folder.
std::vector<std::filesystem::path> NamesFilePlaces(const std::filesystem::path& executableFolder,
                                                   const char* xdgConfigHome, const char* home);

struct NamesLoad {
  NamesTable table;
  std::vector<NamesProblem> problems;
  std::vector<std::filesystem::path> filesRead;
};
// Reads the files of `places` that exist, in order. A missing file is no problem; one that
// cannot be read, or is over the size cap, is reported and skipped.
NamesLoad ReadNamesFiles(std::span<const std::filesystem::path> places);
// The same for the places of this process. Never fails: the worst outcome is the built-in
// names and a list of problems.
NamesLoad LoadNamesTable();

}  // namespace kavelin::sheet

template <>
struct std::is_error_code_enum<kavelin::sheet::NamesWriteStep> : std::true_type {};
