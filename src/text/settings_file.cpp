#include "text/settings_file.hpp"

#include <array>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "text/encoding.hpp"
#include "text/executable_folder.hpp"

namespace kavelin::text {
namespace {

// Field F of a row line stands at 0-based character 4 + 3F, so the last field is character
// 49. Code page 932 spends at most two bytes on a character, so a line's first 100 bytes
// always hold them; the rest of a long line is never decoded.
constexpr std::size_t FieldPosition(std::size_t field) {
  return 4 + 3 * field;
}
constexpr std::size_t kLinePrefixBytes = 2 * (FieldPosition(kExtendedRowLength - 1) + 1);

std::optional<unsigned> HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return std::nullopt;
}

// Whether a lead and a trail byte form a character of code page 932. Asked of the
// converter once per pair and remembered: a settings file repeats few pairs.
bool IsCp932Pair(std::uint8_t lead, std::uint8_t trail) {
  static std::array<std::uint8_t, 0x10000> known{};  // 0 not asked, 1 a character, 2 not
  std::uint8_t& answer = known[static_cast<std::size_t>(lead) << 8 | trail];
  if (answer == 0) {
    const std::array<std::uint8_t, 2> pair = {lead, trail};
    const std::u16string decoded = DecodeCp932(pair);
    answer = decoded.size() == 1 && decoded[0] != u'\uFFFD' && decoded[0] != u'\x1A' ? 1 : 2;
  }
  return answer == 1;
}

// Finds the first line that is not code page 932 text. Such a line is either undefined in
// the code page, or valid UTF-8 with characters beyond ASCII: UTF-8 Japanese often forms
// valid pairs of code page 932 by chance, and real code page 932 text almost never passes
// as UTF-8, since its common lead bytes 0x81 to 0x9F cannot start a UTF-8 character.
class ForeignLineFinder {
 public:
  void Byte(std::uint8_t b) {
    if (found_ != 0) return;
    if (b == '\r' || b == '\n') {
      const bool secondHalfOfCrLf = b == '\n' && afterCr_;
      afterCr_ = b == '\r';
      if (!secondHalfOfCrLf) EndLine();
      return;
    }
    afterCr_ = false;
    Cp932(b);
    Utf8(b);
  }

  // The line number, or 0.
  std::size_t Finish() {
    if (found_ == 0) EndLine();
    return found_;
  }

 private:
  void Cp932(std::uint8_t b) {
    if (lead_ != 0) {
      const bool trail = (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
      if (!trail || !IsCp932Pair(lead_, b)) notCp932_ = true;
      lead_ = 0;
    } else if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      lead_ = b;
    } else if (b == 0x80 || b == 0xA0 || b >= 0xFD) {
      // Defined by some converters as private characters; no editor writes them as text.
      notCp932_ = true;
    }
  }

  void Utf8(std::uint8_t b) {
    if (notUtf8_) return;
    if (b < 0x80) {
      notUtf8_ = continuations_ != 0;
    } else if (b <= 0xBF) {
      if (continuations_ == 0)
        notUtf8_ = true;
      else
        --continuations_;
    } else if (b >= 0xC2 && b <= 0xF4 && continuations_ == 0) {
      continuations_ = b <= 0xDF ? 1 : b <= 0xEF ? 2 : 3;
      beyondAscii_ = true;
    } else {
      notUtf8_ = true;
    }
  }

  void EndLine() {
    const bool utf8 = beyondAscii_ && !notUtf8_ && continuations_ == 0;
    if (notCp932_ || lead_ != 0 || utf8) found_ = line_;
    ++line_;
    lead_ = 0;
    notCp932_ = notUtf8_ = beyondAscii_ = false;
    continuations_ = 0;
  }

  std::size_t line_ = 1;
  std::size_t found_ = 0;
  bool afterCr_ = false;
  std::uint8_t lead_ = 0;
  bool notCp932_ = false;
  int continuations_ = 0;
  bool notUtf8_ = false;
  bool beyondAscii_ = false;
};

// Collects row lines as the file streams past. Lines break at CR, LF or CR LF; the empty
// lines this makes of CR LF are ignored like any line that is not a row line. Code page
// 932 never uses CR or LF as a trail byte, so splitting bytes is safe.
class RowCollector {
 public:
  void Feed(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t b : bytes) {
      foreign_.Byte(b);
      if (b == '\r' || b == '\n') {
        EndLine();
      } else if (line_.size() < kLinePrefixBytes) {
        line_.push_back(b);
      }
    }
  }

  std::u16string Finish() {
    EndLine();
    std::u16string table;
    table.reserve(kExtendedTableLength);
    for (const auto& row : rows_) {
      table += row ? *row : std::u16string(kExtendedRowLength, kFullWidthSpace);
    }
    return table;
  }

  std::size_t ForeignLine() { return foreign_.Finish(); }

 private:
  void EndLine() {
    if (line_.empty()) return;
    const std::u16string text = DecodeCp932(line_);
    line_.clear();
    // Comment lines ("//"), blank lines and lines of other tools all fail this test: their
    // first character is not a hexadecimal digit from 1 to F.
    const auto row = text.empty() ? std::nullopt : HexDigit(text.front());
    if (!row || *row == 0 || rows_[*row - 1]) return;
    std::u16string fields(kExtendedRowLength, kFullWidthSpace);
    for (std::size_t f = 0; f < kExtendedRowLength && FieldPosition(f) < text.size(); ++f) {
      fields[f] = text[FieldPosition(f)];
    }
    rows_[*row - 1] = std::move(fields);
  }

  std::vector<std::uint8_t> line_;
  std::array<std::optional<std::u16string>, kExtendedRowCount> rows_;
  ForeignLineFinder foreign_;
};

}  // namespace

SettingsFileRead SettingsFromBytes(std::span<const std::uint8_t> bytes) {
  FamilySettings result;
  if (bytes.empty()) return result;
  RowCollector collector;
  collector.Feed(bytes);
  result.rows = collector.Finish();
  result.foreignLine = collector.ForeignLine();
  return result;
}

std::u16string ExtendedRowsFromSettings(std::span<const std::uint8_t> bytes) {
  return SettingsFromBytes(bytes)->rows;
}

SettingsFileRead ReadSettingsFile(const std::filesystem::path& settingsFile) {
  io::FileRead file = io::ReadFile(settingsFile, kMaxSettingsFileBytes);
  if (!file) return std::move(file.Why());
  return SettingsFromBytes(*file);
}

std::u16string ReadExtendedRows(const std::filesystem::path& settingsFile) {
  const SettingsFileRead read = ReadSettingsFile(settingsFile);
  return read ? read->rows : std::u16string();
}

namespace {

SettingsFileRead Load(CodeTable& table, SettingsFileRead read) {
  table.ClearExtendedTable();
  if (!read) return read;
  const std::u16string_view rows = read->rows;
  for (std::size_t r = 0; r < rows.size(); r += kExtendedRowLength) {
    table.AppendExtendedRow(rows.substr(r, kExtendedRowLength));
  }
  return read;
}

}  // namespace

SettingsFileRead LoadFamilySettings(CodeTable& table, const std::filesystem::path& settingsFile) {
  return Load(table, ReadSettingsFile(settingsFile));
}

SettingsFileRead LoadFamilySettings(CodeTable& table, std::span<const std::uint8_t> bytes) {
  return Load(table, SettingsFromBytes(bytes));
}

void LoadExtendedRows(CodeTable& table, const std::filesystem::path& settingsFile) {
  (void)LoadFamilySettings(table, settingsFile);  // a file that cannot be read gives no rows
}

std::filesystem::path FamilySettingsPath() {
  const std::filesystem::path folder = ExecutableFolder();
  if (folder.empty()) return {};
  return folder / kFamilySettingsFileName;
}

std::filesystem::path UserConfigFolder(const char* xdgConfigHome, const char* home) {
  // The base directory rules: a relative value is ignored, as if unset.
  const std::filesystem::path xdg = xdgConfigHome != nullptr ? xdgConfigHome : "";
  if (xdg.is_absolute()) return xdg / "kavelin";
  if (home != nullptr && *home != '\0') return std::filesystem::path(home) / ".config" / "kavelin";
  return {};
}

std::vector<std::filesystem::path> FamilySettingsPlaces(
    const std::filesystem::path& executableFolder, const char* xdgConfigHome, const char* home) {
  std::vector<std::filesystem::path> places;
  if (!executableFolder.empty()) places.push_back(executableFolder / kFamilySettingsFileName);
  const std::filesystem::path config = UserConfigFolder(xdgConfigHome, home);
  if (!config.empty()) places.push_back(config / kFamilySettingsFileName);
  return places;
}

std::filesystem::path FindFamilySettings() {
  for (const auto& place : FamilySettingsPlaces(ExecutableFolder(), std::getenv("XDG_CONFIG_HOME"),
                                                std::getenv("HOME"))) {
    // Any file there is the settings file, so that one that cannot be read (a pipe, a
    // huge file) is reported instead of passed over for the next place; a folder is none.
    std::error_code error;
    const auto status = std::filesystem::status(place, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_directory(status)) return place;
  }
  return {};
}

}  // namespace kavelin::text
