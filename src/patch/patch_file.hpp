// The patch file: a fixed part of 7158 bytes (signature, name, gender, job name, palette,
// sprite tiles), the enabled sections as blocks in block-id order, and the comment.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "image/template_image.hpp"
#include "io/result.hpp"
#include "patch/sprite_tiles.hpp"
#include "sheet/catalogue.hpp"
#include "sheet/character_sheet.hpp"
#include "text/code_table.hpp"

namespace kavelin::patch {

inline constexpr std::array<std::uint8_t, 3> kSignature = {'K', '7', 'P'};
inline constexpr std::size_t kNameOffset = 3;
inline constexpr std::size_t kNameBytes = sheet::kNameMaxBytes;
inline constexpr std::size_t kGenderOffset = 11;
inline constexpr std::size_t kJobNameOffset = 12;
inline constexpr std::size_t kJobNameBytes = sheet::kJobNameMaxBytes;
inline constexpr std::size_t kPaletteOffset = 22;
inline constexpr std::size_t kTilesOffset = 54;
inline constexpr std::size_t kFixedPartBytes = kTilesOffset + kTileDataBytes;
static_assert(kNameOffset + kNameBytes == kGenderOffset && kGenderOffset + 1 == kJobNameOffset &&
              kJobNameOffset + kJobNameBytes == kPaletteOffset &&
              kPaletteOffset + kPaletteBytes == kTilesOffset);
static_assert(kFixedPartBytes == 7158);

// Name and job name are padded with the code of the full-width space.
inline constexpr std::uint8_t kTextPadding = 0x50;
// The gender byte of each position of the gender list: 男, 女, 無性, 両性.
inline constexpr std::array<std::uint8_t, sheet::kGenderCount> kGenderBytes = {0x95, 0x55, 0x1F,
                                                                               0xDF};
inline constexpr std::uint8_t kLockedByte = 0xFF;
inline constexpr std::uint8_t kCommentMarker = 0xFF;

struct BlockInfo {
  std::uint8_t id;
  sheet::Section section;
  std::uint8_t payloadLength;
};

// In file order. The growth rates come as block 5, ahead of sections 4 and 5.
// Basic status: the stats, LP, destiny star, favourite weapon and inspiration type, a byte
// each. Levels: HP in a 16-bit word, the other levels a byte each. Other traits: three
// codes. The forbidden schools are bits of one byte.
inline constexpr std::array<BlockInfo, sheet::kSectionCount> kBlocks = {{
    {1, sheet::Section::kBasicStatus, sheet::kStatCount + 4},
    {2, sheet::Section::kInitialLevels, sheet::kLevelCount + 1},
    {3, sheet::Section::kInitialArts, 2 * sheet::kArtSlots},
    {4, sheet::Section::kInitialEquipment, 2 * sheet::kEquipmentSlots},
    {5, sheet::Section::kGrowthRates, sheet::kGrowthRateCount},
    {6, sheet::Section::kForbiddenSpells, 1},
    {7, sheet::Section::kOtherTraits, 3},
}};

// Bits 5 and 6 of the earth and heaven level bytes hold the school; bit 7 the growth flag.
inline constexpr std::uint8_t kGrowsBit = 0x80;
inline constexpr std::uint8_t kSchoolUnit = 0x20;
inline constexpr std::uint16_t kHpGrowsBit = 0x8000;

// Why a sheet that passed the error pass still cannot be laid out; the failure's `what`
// is the message shown, in UTF-8.
enum class BuildProblem { kNone, kNameUnfit, kJobNameUnfit, kCommentTooLong };
std::string_view ReasonText(BuildProblem problem);
inline std::error_code make_error_code(BuildProblem problem) {
  return MakeReason(problem, "build");
}
// The patch's bytes, or why they cannot be built.
using BuildResult = Result<std::vector<std::uint8_t>>;

// Every byte of the patch for a sheet the error pass has accepted. The few values that
// would corrupt the layout (a name or job name that does not fit, a comment longer than
// its 16-bit count) fail the build instead of being cut; everything else is written as is.
// The sprite comes from the template's pixels as loaded, whatever the picture area shows.
BuildResult BuildPatchBytes(const sheet::CharacterSheet& sheet, const text::CodeTable& codes,
                            const image::TemplateImage& templateImage);

// The name of the patch for a template: the last extension replaced by "k7p", or ".k7p"
// added (to the path as it is, spaces and all) when the file name has no dot. Only
// `separator` ends the search for the dot, so a dot in a folder name is never taken.
std::string PatchOutputName(std::string_view templatePath, char separator);
// The same with this platform's folder separator.
std::filesystem::path PatchOutputName(const std::filesystem::path& templatePath);

}  // namespace kavelin::patch

template <>
struct std::is_error_code_enum<kavelin::patch::BuildProblem> : std::true_type {};
