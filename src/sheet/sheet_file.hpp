// The character sheet file: a JSON document (UTF-8) that holds a whole sheet, so that a
// character can be kept, versioned and made again without the window.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "io/result.hpp"
#include "sheet/catalogue.hpp"
#include "sheet/character_sheet.hpp"
#include "sheet/palette_swap.hpp"

namespace kavelin::sheet {

struct SheetDocument {
  CharacterSheet sheet;
  std::vector<PaletteSwap> paletteSwaps;
  // The "template" key: the template's path as the file keeps it, UTF-8 with "/" between
  // folders, relative to the sheet file's folder or absolute; empty when there is none.
  std::string templateFile;
  bool operator==(const SheetDocument&) const = default;
};

// Longest "template" value a sheet file may hold, in bytes.
inline constexpr std::size_t kMaxTemplateKeyBytes = 4096;

// What is wrong with a sheet file, one kind for each shape of message, so that a front end
// can word it in its own language.
enum class SheetProblemKind {
  kNone,
  kNestedTooDeep,             // limit: the deepest nesting allowed
  kNulByte,                   // value: the byte's offset
  kNotJson,                   // line and column, when the parser gave them
  kBytesAfterValue,           // value: the offset of the first byte after the JSON value
  kTooManyKeys,               // limit: the most keys an object may have
  kNotObject,                 // key: empty for the whole document
  kUnknownKey,                // key
  kWrongType,                 // key, expected, found
  kNotUtf8,                   // key
  kWrongLength,               // key, value: the entries found, limit: the entries expected
  kPositionOutOfRange,        // key, value, limit: the highest position
  kCodeNotHex,                // key, found: the code as written
  kCodeNotInList,             // key, found: the code in upper case, list
  kSwapEntryOutOfRange,       // key, value, limit: the highest entry
  kSwapReservedEntry,         // key, value
  kTemplatePathLength,        // key, value: the bytes found, limit: the most bytes allowed
  kTemplateControlCharacter,  // key
};

// What a value of the wrong type should have been.
enum class SheetValueKind {
  kString,
  kStringOrNumber,
  kTrueOrFalse,
  kWholeNumber,
  kCode,
  kArray,
  kArrayOfPairs,
  kPairOfEntries,
  kPath,
};

struct SheetFileProblem {
  SheetProblemKind kind = SheetProblemKind::kNone;
  // The key path, e.g. "initialArts.spells[2]", cut and escaped as in `error`.
  std::string key;
  SheetValueKind expected = SheetValueKind::kString;
  // The value as written (JSON text, cut and escaped as in `error`), or the code.
  std::string found;
  ListId list = ListId::kGender;
  long long value = 0;
  long long limit = 0;
  std::size_t line = 0;  // 1-based; 0 when unknown
  std::size_t column = 0;
  bool operator==(const SheetFileProblem&) const = default;
};

std::string_view ReasonText(SheetProblemKind kind);
inline std::error_code make_error_code(SheetProblemKind kind) {
  return MakeReason(kind, "sheet");
}

// The document, or a failure whose `what` gives the key path and the bad value, e.g.
// initialArts.spells[2]: code "B1" is not in the spell list
// and whose parts are the same as a SheetFileProblem.
using SheetFileResult = Result<SheetDocument>;
// That failure.
Failure SheetFileFailure(std::string what, SheetFileProblem problem);

// Every key is optional and takes the fresh-sheet value when missing. An unknown key, a
// wrong type or length, a position out of range or a code the list does not offer is an
// error. Comment line breaks become CR LF. A "paletteWords" array, which inspecting a
// patch adds, is allowed and ignored: the palette comes from the template.
SheetFileResult ReadSheetFile(std::string_view json);

// The whole document, every key present, codes in upper case; ReadSheetFile gives it back.
// "template" is written only when the document names one.
std::string WriteSheetFile(const SheetDocument& document);

// The "template" value for a sheet saved as `sheetFile` whose template is `templateFile`:
// relative to the sheet's folder when the two share a folder below the root, so that the
// pair can be moved together; absolute otherwise. Empty when the path is not UTF-8 text,
// which a sheet file cannot hold.
std::string TemplateKeyFor(const std::filesystem::path& sheetFile,
                           const std::filesystem::path& templateFile);
// The template a "template" value names, for the sheet read from `sheetFile`: a relative
// value is taken from the sheet's real folder, links followed.
std::filesystem::path TemplateOfSheet(const std::filesystem::path& sheetFile,
                                      std::string_view templateKey);
// Whether a "template" value names a file outside the sheet's folder and the folders
// below it (an absolute path, or one that climbs out with ".."): a patch beside such a
// template lands in a folder the user never named.
bool TemplateKeyLeavesSheetFolder(std::string_view templateKey);
// A path made absolute with every link and dot resolved (as far as it exists); the path
// as given when even that fails.
std::filesystem::path RealPath(const std::filesystem::path& path);
// The real folder a file lies in.
std::filesystem::path RealFolderOf(const std::filesystem::path& file);

}  // namespace kavelin::sheet

template <>
struct std::is_error_code_enum<kavelin::sheet::SheetProblemKind> : std::true_type {};
