#include "patch/patch_reader.hpp"

#include <algorithm>
#include <optional>

#include "patch/patch_file.hpp"
#include "sheet/catalogue.hpp"
#include "text/encoding.hpp"
#include "text/hex.hpp"
#include "translate/translate.hpp"

namespace kavelin::patch {
namespace {

using sheet::ListId;
using text::Format;
using text::Hex;
using text::Tr;

std::u16string Decimal(unsigned value) {
  const std::string digits = std::to_string(value);
  return {digits.begin(), digits.end()};
}

PatchProblem Why(PatchProblemKind kind, std::size_t value = 0, std::size_t expected = 0) {
  PatchProblem problem;
  problem.kind = kind;
  problem.value = value;
  problem.expected = expected;
  return problem;
}

PatchProblem InBlock(PatchProblemKind kind, int block, std::size_t value = 0,
                     std::size_t expected = 0) {
  PatchProblem problem = Why(kind, value, expected);
  problem.block = block;
  return problem;
}

PatchProblem OfField(PatchProblemKind kind, PatchField field, std::size_t value = 0) {
  PatchProblem problem = Why(kind, value);
  problem.field = field;
  return problem;
}

// Each step returns false after recording why it failed; nothing is thrown.
class Reader {
 public:
  Reader(std::span<const std::uint8_t> bytes, const text::CodeTable& codes)
      : bytes_(bytes), codes_(codes) {}

  ReadResult Read() {
    if (bytes_.size() < kFixedPartBytes) {
      Fail(bytes_.size(),
           Format(Tr("the file has %1$s bytes, fewer than the %2$s of a patch's fixed part"),
                  bytes_.size(), kFixedPartBytes),
           Why(PatchProblemKind::kTooShort, bytes_.size(), kFixedPartBytes));
      return std::move(failure_);
    }
    if (!std::equal(kSignature.begin(), kSignature.end(), bytes_.begin())) {
      Fail(0, Tr("not a patch: the file does not start with \"K7P\""),
           Why(PatchProblemKind::kNotPatch));
      return std::move(failure_);
    }
    if (ReadFixedPart() && ReadBlocks()) return std::move(contents_);
    return std::move(failure_);
  }

 private:
  bool Fail(std::size_t offset, std::string reason, PatchProblem problem) {
    failure_.reason = problem.kind;
    failure_.what = std::move(reason);
    failure_.parts = PatchProblemAt{problem, offset};
    return false;
  }

  // The game text of a padded field: padding is the one-byte code 50 after the last code.
  bool ReadGameText(std::size_t offset, std::size_t width, std::u16string& out,
                    const std::string& what, PatchField which) {
    const auto field = bytes_.subspan(offset, width);
    std::size_t end = 0;
    for (std::size_t i = 0; i < field.size();) {
      const std::size_t length = field[i] >= 0x50 ? 1 : 2;
      if (!(length == 1 && field[i] == kTextPadding)) end = i + length;
      i += length;
    }
    if (end > field.size()) {
      return Fail(offset + width - 1, Format(Tr("%s: a two-byte code is cut off"), what),
                  OfField(PatchProblemKind::kTextCodeCutOff, which));
    }
    const auto decoded = text::DecodeGameText(codes_, field.first(end));
    if (!decoded) {
      const std::size_t bad = *decoded.Why().PartsAs<std::size_t>();
      const std::uint8_t byte = field[bad];
      // 18 leads the codes of the extended characters, which come from KV7Tools.ini.
      const bool extended = byte == 0x18;
      return Fail(
          offset + bad,
          extended ? Format(Tr("%1$s: byte %2$s is not a character of the game or of "
                               "KV7Tools.ini"),
                            what, Hex(byte))
                   : Format(Tr("%1$s: byte %2$s is not a character of the game"), what, Hex(byte)),
          OfField(extended ? PatchProblemKind::kNotGameOrSettingsCharacter
                           : PatchProblemKind::kNotGameCharacter,
                  which, byte));
    }
    out = *decoded;
    return true;
  }

  bool ReadFixedPart() {
    auto& s = contents_.sheet;
    if (!ReadGameText(kNameOffset, kNameBytes, s.name, Tr("name"), PatchField::kName)) return false;
    const auto gender = std::find(kGenderBytes.begin(), kGenderBytes.end(), bytes_[kGenderOffset]);
    if (gender == kGenderBytes.end()) {
      return Fail(kGenderOffset,
                  Format(Tr("gender byte %s is unknown"), Hex(bytes_[kGenderOffset])),
                  Why(PatchProblemKind::kUnknownGender, bytes_[kGenderOffset]));
    }
    s.gender = static_cast<int>(gender - kGenderBytes.begin());
    if (!ReadGameText(kJobNameOffset, kJobNameBytes, s.jobName, Tr("job name"),
                      PatchField::kJobName))
      return false;
    for (std::size_t i = 0; i < contents_.paletteWords.size(); ++i) {
      const std::size_t at = kPaletteOffset + 2 * i;
      contents_.paletteWords[i] = static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }
    std::copy_n(bytes_.begin() + kTilesOffset, kTileDataBytes, contents_.tiles.begin());
    return true;
  }

  bool Position(ListId list, const std::string& listName, std::size_t at, int& out) {
    const auto position = sheet::PositionOfCode(list, bytes_[at]);
    if (!position) {
      PatchProblem problem = Why(PatchProblemKind::kCodeNotInList, bytes_[at]);
      problem.list = list;
      return Fail(at, Format(Tr("code %1$s is not in the %2$s list"), Hex(bytes_[at]), listName),
                  problem);
    }
    out = *position;
    return true;
  }

  bool Small(std::size_t at, std::size_t limit, const std::string& what, PatchField field,
             int& out) {
    if (bytes_[at] >= limit) {
      return Fail(at, Format(Tr("%1$s %2$s is out of range"), what, bytes_[at]),
                  OfField(PatchProblemKind::kOutOfRange, field, bytes_[at]));
    }
    out = bytes_[at];
    return true;
  }

  bool ReadPayload(sheet::Section section, std::size_t p) {
    auto& s = contents_.sheet;
    switch (section) {
      case sheet::Section::kBasicStatus: {
        auto& b = s.basicStatus;
        for (std::size_t i = 0; i < b.stats.size(); ++i)
          b.stats[i] = Decimal(bytes_[p + i]);
        const std::size_t after = p + b.stats.size();
        b.lp = Decimal(bytes_[after]);
        return Small(after + 1, sheet::kDestinyStarCount, Tr("destiny star"),
                     PatchField::kDestinyStar, b.destinyStar) &&
               Small(after + 2, sheet::kFavouriteWeaponCount, Tr("favourite weapon"),
                     PatchField::kFavouriteWeapon, b.favouriteWeapon) &&
               Position(ListId::kInspirationType, Tr("inspiration type"), after + 3,
                        b.inspirationType);
      }
      case sheet::Section::kInitialLevels: {
        auto& l = s.initialLevels;
        const unsigned hp = bytes_[p] | bytes_[p + 1] << 8;
        l.levels[0] = Decimal(hp & 0x7FFFu);
        l.grows[0] = (hp & kHpGrowsBit) != 0;
        for (std::size_t i = 1; i < l.levels.size(); ++i) {
          const std::size_t at = p + i + 1;
          const unsigned byte = bytes_[at];
          l.levels[i] = Decimal(byte & 0x1Fu);
          l.grows[i] = (byte & kGrowsBit) != 0;
          const int school = static_cast<int>((byte >> 5) & 3u);
          if (i == sheet::kEarthLevelIndex) {
            if (byte != 0) l.earthSchool = school;
          } else if (i == sheet::kHeavenLevelIndex && school < int{sheet::kHeavenSchoolCount}) {
            if (byte != 0) l.heavenSchool = school;
          } else if (school != 0) {
            return Fail(at, Format(Tr("level byte %s has school bits set"), Hex(byte)),
                        Why(PatchProblemKind::kLevelSchoolBits, byte));
          }
        }
        return true;
      }
      case sheet::Section::kInitialArts:
        for (std::size_t i = 0; i < sheet::kArtSlots; ++i) {
          if (!Position(ListId::kTechnique, Tr("technique"), p + i, s.initialArts.techniques[i]) ||
              !Position(ListId::kSpell, Tr("spell"), p + sheet::kArtSlots + i,
                        s.initialArts.spells[i])) {
            return false;
          }
        }
        return true;
      case sheet::Section::kInitialEquipment:
        for (std::size_t i = 0; i < sheet::kEquipmentSlots; ++i) {
          if (!Position(ListId::kWeapon, Tr("weapon"), p + i, s.initialEquipment.weapons[i]) ||
              !Position(ListId::kArmour, Tr("armour"), p + sheet::kEquipmentSlots + i,
                        s.initialEquipment.armour[i])) {
            return false;
          }
        }
        return true;
      case sheet::Section::kGrowthRates:
        for (std::size_t i = 0; i < s.growthRates.growthRates.size(); ++i) {
          s.growthRates.growthRates[i] = Decimal(bytes_[p + i]);
        }
        return true;
      case sheet::Section::kForbiddenSpells: {
        const unsigned bits = bytes_[p];
        if (bits & 0xC0u)
          return Fail(p, Format(Tr("forbidden schools byte %s has bits 6 or 7 set"), Hex(bits)),
                      Why(PatchProblemKind::kForbiddenSchoolsBits, bits));
        for (std::size_t i = 0; i < sheet::kSpellSchoolCount; ++i)
          s.forbiddenSpells.forbiddenSchools[i] = (bits >> i) & 1u;
        return true;
      }
      case sheet::Section::kOtherTraits:
        return Position(ListId::kFormation, Tr("formation"), p, s.otherTraits.formation) &&
               Position(ListId::kExclusiveWeapon, Tr("exclusive weapon"), p + 1,
                        s.otherTraits.exclusiveWeapon) &&
               Position(ListId::kCommanderType, Tr("commander"), p + 2,
                        s.otherTraits.commanderType);
    }
    return true;
  }

  bool ReadBlocks() {
    std::size_t pos = kFixedPartBytes;
    int lastId = 0;
    while (pos < bytes_.size()) {
      const std::uint8_t id = bytes_[pos];
      if (id == kCommentMarker) return ReadComment(pos);
      const auto block = std::find_if(kBlocks.begin(), kBlocks.end(),
                                      [id](const BlockInfo& b) { return b.id == id; });
      if (block == kBlocks.end())
        return Fail(pos, Format(Tr("unknown block id %s"), Hex(id)),
                    Why(PatchProblemKind::kUnknownBlock, id));
      if (id <= lastId) {
        return Fail(pos,
                    Format(Tr("block %1$s follows block %2$s; blocks must be in ascending order, "
                              "each once"),
                           id, lastId),
                    InBlock(PatchProblemKind::kBlockOrder, id, static_cast<std::size_t>(lastId)));
      }
      lastId = id;
      if (bytes_.size() - pos < 3) {
        return Fail(pos, Format(Tr("block %s is cut off"), id),
                    InBlock(PatchProblemKind::kBlockCutOff, id));
      }
      const std::uint8_t lock = bytes_[pos + 1];
      if (lock != 0x00 && lock != kLockedByte) {
        return Fail(pos + 1, Format(Tr("lock byte %s is neither 00 nor FF"), Hex(lock)),
                    InBlock(PatchProblemKind::kLockByte, id, lock));
      }
      if (bytes_[pos + 2] != block->payloadLength) {
        return Fail(
            pos + 2,
            Format(Tr("block %1$s has payload length %2$s instead of %3$s"), id, bytes_[pos + 2],
                   block->payloadLength),
            InBlock(PatchProblemKind::kPayloadLength, id, bytes_[pos + 2], block->payloadLength));
      }
      if (bytes_.size() - pos - 3 < block->payloadLength) {
        return Fail(bytes_.size(), Format(Tr("block %s is cut off"), id),
                    InBlock(PatchProblemKind::kBlockCutOff, id));
      }
      contents_.sheet.Flags(block->section) = {true, lock == kLockedByte};
      if (!ReadPayload(block->section, pos + 3)) return false;
      pos += 3u + block->payloadLength;
    }
    return true;
  }

  bool ReadComment(std::size_t pos) {
    if (bytes_.size() - pos < 3) {
      return Fail(pos, Tr("the comment block is cut off"),
                  Why(PatchProblemKind::kCommentBlockCutOff));
    }
    const std::size_t count = bytes_[pos + 1] | static_cast<std::size_t>(bytes_[pos + 2]) << 8;
    if (count == 0) {
      return Fail(pos + 1, Tr("the comment block holds no characters"),
                  Why(PatchProblemKind::kEmptyComment));
    }
    // Walk the characters the count promises: a lead byte of code page 932 takes two bytes.
    const std::size_t start = pos + 3;
    std::size_t at = start;
    for (std::size_t n = 0; n < count; ++n) {
      if (at >= bytes_.size()) {
        return Fail(bytes_.size(),
                    Format(Tr("the comment is cut off after %1$s of %2$s characters"), n, count),
                    Why(PatchProblemKind::kCommentCutOff, n, count));
      }
      const std::uint8_t b = bytes_[at];
      const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
      at += lead ? 2 : 1;
    }
    if (at > bytes_.size()) {
      return Fail(bytes_.size(), Tr("the comment's last character is cut off"),
                  Why(PatchProblemKind::kCommentLastCharCutOff));
    }
    if (at < bytes_.size()) {
      return Fail(at, Format(Tr("%s bytes follow the end of the comment"), bytes_.size() - at),
                  Why(PatchProblemKind::kBytesAfterComment, bytes_.size() - at));
    }
    contents_.sheet.comment = text::DecodeCp932(bytes_.subspan(start, at - start));
    return true;
  }

  std::span<const std::uint8_t> bytes_;
  const text::CodeTable& codes_;
  PatchContents contents_;
  Failure failure_;
};

}  // namespace

std::string_view ReasonText(PatchProblemKind kind) {
  // The failure's `what` names the part and the bytes; the reason alone says only this.
  return kind == PatchProblemKind::kNone ? std::string_view() : "not a valid patch";
}

ReadResult ReadPatchFile(std::span<const std::uint8_t> bytes, const text::CodeTable& codes) {
  return Reader(bytes, codes).Read();
}

}  // namespace kavelin::patch
