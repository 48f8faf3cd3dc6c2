// Reading a patch back into a sheet, for inspection and for editing a character again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "image/palette.hpp"
#include "io/result.hpp"
#include "patch/sprite_tiles.hpp"
#include "sheet/catalogue.hpp"
#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"

namespace kavelin::patch {

struct PatchContents {
  // Sections without a block are off and keep the fresh-sheet values. Numbers read back
  // as plain decimal text. Trailing full-width spaces of the name and job name cannot be
  // told from the padding and are not restored.
  sheet::CharacterSheet sheet;
  std::array<std::uint16_t, image::kPaletteSize> paletteWords{};
  std::array<std::uint8_t, kTileDataBytes> tiles{};
};

// What is wrong with a patch, one kind for each shape of message, so that a front end can
// word it in its own language. Bytes and block ids are given as numbers; `reason` shows
// bytes in hexadecimal.
enum class PatchProblemKind {
  kNone,
  kTooShort,                    // value: the file's bytes, expected: the fixed part's
  kNotPatch,                    // no signature
  kTextCodeCutOff,              // field
  kNotGameCharacter,            // field, value: the byte
  kNotGameOrSettingsCharacter,  // field, value: the byte, the lead of an extended code
  kUnknownGender,               // value: the byte
  kOutOfRange,                  // field, value
  kCodeNotInList,               // list, value: the code
  kLevelSchoolBits,             // value: the level byte
  kForbiddenSchoolsBits,        // value: the byte
  kUnknownBlock,                // value: the block id
  kBlockOrder,                  // block, value: the block before it
  kBlockCutOff,                 // block
  kLockByte,                    // block, value: the lock byte
  kPayloadLength,               // block, value: the length found, expected: the right one
  kCommentBlockCutOff,
  kEmptyComment,
  kCommentCutOff,  // value: the characters found, expected: the count promised
  kCommentLastCharCutOff,
  kBytesAfterComment,  // value: how many
};

// The field a problem of the fixed part or of a small value concerns.
enum class PatchField { kNone, kName, kJobName, kDestinyStar, kFavouriteWeapon };

struct PatchProblem {
  PatchProblemKind kind = PatchProblemKind::kNone;
  PatchField field = PatchField::kNone;
  sheet::ListId list = sheet::ListId::kGender;
  int block = 0;
  std::size_t value = 0;
  std::size_t expected = 0;
  bool operator==(const PatchProblem&) const = default;
};

std::string_view ReasonText(PatchProblemKind kind);
inline std::error_code make_error_code(PatchProblemKind kind) {
  return MakeReason(kind, "patch");
}

// A malformed patch's parts, as the failure of ReadPatchFile carries them: the problem and
// the byte at which it was found. The failure's `what` says the same in English.
struct PatchProblemAt {
  PatchProblem problem;
  std::size_t offset = 0;
};
using ReadResult = Result<PatchContents>;

// Every read is bounds-checked; anything the writer would not produce (a short fixed
// part, an unknown, repeated or misplaced block, a wrong payload length, a code no list
// offers, a truncated comment, bytes after the end) is reported with its offset.
ReadResult ReadPatchFile(std::span<const std::uint8_t> bytes, const text::CodeTable& codes);

}  // namespace kavelin::patch

template <>
struct std::is_error_code_enum<kavelin::patch::PatchProblemKind> : std::true_type {};
