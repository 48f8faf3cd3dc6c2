#include "patch/patch_file.hpp"

#include "sheet/catalogue.hpp"
#include "sheet/numeric.hpp"
#include "text/encoding.hpp"

namespace kavelin::patch {
namespace {

using sheet::ListId;
using sheet::NumericValue;
using sheet::RoundToByte;

std::uint8_t Code(ListId list, int position) {
  // Positions come from the window's lists or from a checked sheet file; an impossible one
  // is written as the list's empty entry rather than as an arbitrary byte.
  return sheet::CodeAt(list, position).value_or(sheet::CodeAt(list, 0).value_or(0));
}

std::uint8_t Position(int position) {
  return static_cast<std::uint8_t>(position);
}

void AppendPayload(std::vector<std::uint8_t>& out, const sheet::CharacterSheet& s,
                   sheet::Section section) {
  switch (section) {
    case sheet::Section::kBasicStatus: {
      const auto& b = s.basicStatus;
      for (const auto& stat : b.stats)
        out.push_back(RoundToByte(NumericValue(stat)));
      out.push_back(RoundToByte(NumericValue(b.lp)));
      out.push_back(Position(b.destinyStar));
      out.push_back(Position(b.favouriteWeapon));
      out.push_back(Code(ListId::kInspirationType, b.inspirationType));
      break;
    }
    case sheet::Section::kInitialLevels: {
      const auto& l = s.initialLevels;
      const std::uint16_t hp =
          static_cast<std::uint16_t>((sheet::RoundToWord(NumericValue(l.levels[0])) & 0x7FFF) |
                                     (l.grows[0] ? kHpGrowsBit : 0));
      out.push_back(static_cast<std::uint8_t>(hp & 0xFF));
      out.push_back(static_cast<std::uint8_t>(hp >> 8));
      for (std::size_t i = 1; i < l.levels.size(); ++i) {
        auto byte = RoundToByte(NumericValue(l.levels[i]));
        if (l.grows[i]) byte = static_cast<std::uint8_t>(byte + kGrowsBit);
        // A level of 0 without growth stays 0 whatever school is chosen.
        if (byte != 0 && i == sheet::kEarthLevelIndex)
          byte = static_cast<std::uint8_t>(byte + kSchoolUnit * l.earthSchool);
        if (byte != 0 && i == sheet::kHeavenLevelIndex)
          byte = static_cast<std::uint8_t>(byte + kSchoolUnit * l.heavenSchool);
        out.push_back(byte);
      }
      break;
    }
    case sheet::Section::kInitialArts:
      for (const int p : s.initialArts.techniques)
        out.push_back(Code(ListId::kTechnique, p));
      for (const int p : s.initialArts.spells)
        out.push_back(Code(ListId::kSpell, p));
      break;
    case sheet::Section::kInitialEquipment:
      for (const int p : s.initialEquipment.weapons)
        out.push_back(Code(ListId::kWeapon, p));
      for (const int p : s.initialEquipment.armour)
        out.push_back(Code(ListId::kArmour, p));
      break;
    case sheet::Section::kForbiddenSpells: {
      std::uint8_t bits = 0;
      for (std::size_t i = 0; i < s.forbiddenSpells.forbiddenSchools.size(); ++i) {
        if (s.forbiddenSpells.forbiddenSchools[i]) bits = static_cast<std::uint8_t>(bits | 1u << i);
      }
      out.push_back(bits);
      break;
    }
    case sheet::Section::kOtherTraits:
      out.push_back(Code(ListId::kFormation, s.otherTraits.formation));
      out.push_back(Code(ListId::kExclusiveWeapon, s.otherTraits.exclusiveWeapon));
      out.push_back(Code(ListId::kCommanderType, s.otherTraits.commanderType));
      break;
    case sheet::Section::kGrowthRates:
      for (const auto& rate : s.growthRates.growthRates)
        out.push_back(RoundToByte(NumericValue(rate)));
      break;
  }
}

// Appends the game codes of a text padded to `width`; false when it cannot be encoded
// or does not fit.
bool AppendGameText(std::vector<std::uint8_t>& out, const text::CodeTable& codes,
                    std::u16string_view text, std::size_t width) {
  const auto encoded = text::EncodeGameText(codes, text);
  if (!encoded || encoded->bytes.size() > width) {
    return false;
  }
  out.insert(out.end(), encoded->bytes.begin(), encoded->bytes.end());
  out.insert(out.end(), width - encoded->bytes.size(), kTextPadding);
  return true;
}

}  // namespace

std::string_view ReasonText(BuildProblem problem) {
  switch (problem) {
    case BuildProblem::kNone:
      break;
    case BuildProblem::kNameUnfit:
      return "the name does not fit the patch";
    case BuildProblem::kJobNameUnfit:
      return "the job name does not fit the patch";
    case BuildProblem::kCommentTooLong:
      return "the comment is longer than 65535 characters";
  }
  return {};
}

namespace {

Failure Unfit(BuildProblem problem, std::u16string_view message) {
  return {.reason = problem, .what = text::ToUtf8(message)};
}

}  // namespace

BuildResult BuildPatchBytes(const sheet::CharacterSheet& s, const text::CodeTable& codes,
                            const image::TemplateImage& templateImage) {
  std::vector<std::uint8_t> out;
  out.reserve(kFixedPartBytes + 128);
  out.insert(out.end(), kSignature.begin(), kSignature.end());
  if (!AppendGameText(out, codes, s.name, kNameBytes)) {
    return Unfit(BuildProblem::kNameUnfit, u"名前をパッチに書き込めません。");
  }
  out.push_back(s.gender >= 0 && static_cast<std::size_t>(s.gender) < kGenderBytes.size()
                    ? kGenderBytes[static_cast<std::size_t>(s.gender)]
                    : kGenderBytes[0]);
  if (!AppendGameText(out, codes, s.jobName, kJobNameBytes)) {
    return Unfit(BuildProblem::kJobNameUnfit, u"職業名をパッチに書き込めません。");
  }

  // The pixels as loaded, through the palette as swapped: what the picture area shows (a
  // preview's colours, a ring) is the window's and never reaches the patch.
  const auto graphics =
      EncodeSpriteTiles(templateImage.loaded, templateImage.originOffset, templateImage.palette);
  out.insert(out.end(), graphics.palette.begin(), graphics.palette.end());
  out.insert(out.end(), graphics.tiles.begin(), graphics.tiles.end());

  for (const BlockInfo& block : kBlocks) {
    const sheet::SectionFlags& flags = s.Flags(block.section);
    if (!flags.enabled) continue;
    out.push_back(block.id);
    out.push_back(flags.locked ? kLockedByte : 0x00);
    out.push_back(block.payloadLength);
    AppendPayload(out, s, block.section);
  }

  if (!s.comment.empty()) {
    const std::u16string comment = sheet::NormaliseLineBreaks(s.comment);
    if (comment.size() > sheet::kMaxCommentLength) {
      return Unfit(BuildProblem::kCommentTooLong, u"コメントが65535文字を超えています。");
    }
    out.push_back(kCommentMarker);
    out.push_back(static_cast<std::uint8_t>(comment.size() & 0xFF));
    out.push_back(static_cast<std::uint8_t>(comment.size() >> 8));
    const auto bytes = text::EncodeCp932(comment);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

std::string PatchOutputName(std::string_view path, char separator) {
  if (path.empty()) return {};
  const std::size_t stop = path.find_last_of(std::string{'.', separator});
  if (stop != std::string_view::npos && path[stop] == '.') {
    return std::string(path.substr(0, stop + 1)) + "k7p";
  }
  // No dot in the file name. A bare file name (no folder part) is treated the same way:
  // it names a file in the working folder, and still gets a patch beside it. The name is
  // kept byte for byte: " hero" is another file than "hero", and so is its patch.
  return std::string(path) + ".k7p";
}

std::filesystem::path PatchOutputName(const std::filesystem::path& templatePath) {
  return PatchOutputName(templatePath.native(),
                         static_cast<char>(std::filesystem::path::preferred_separator));
}

}  // namespace kavelin::patch
