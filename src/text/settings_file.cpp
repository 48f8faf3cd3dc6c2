#include "text/settings_file.hpp"

#include <array>
#include <fstream>
#include <optional>
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

// Collects row lines as the file streams past. Lines break at CR, LF or CR LF; the empty
// lines this makes of CR LF are ignored like any line that is not a row line. Code page
// 932 never uses CR or LF as a trail byte, so splitting bytes is safe.
class RowCollector {
 public:
  void Feed(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t b : bytes) {
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
};

}  // namespace

std::u16string ExtendedRowsFromSettings(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  RowCollector collector;
  collector.Feed(bytes);
  return collector.Finish();
}

std::u16string ReadExtendedRows(const std::filesystem::path& settingsFile) {
  if (settingsFile.empty()) return {};
  std::ifstream in(settingsFile, std::ios::binary);
  if (!in) return {};
  RowCollector collector;
  std::vector<char> buffer(64 * 1024);
  bool any = false;
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    any = true;
    collector.Feed({reinterpret_cast<const std::uint8_t*>(buffer.data()), got});
  }
  // A read error part-way is treated like a missing file, not as a partial table.
  if (!any || in.bad()) return {};
  return collector.Finish();
}

void LoadExtendedRows(CodeTable& table, const std::filesystem::path& settingsFile) {
  const std::u16string rows = ReadExtendedRows(settingsFile);
  table.ClearExtendedTable();
  for (std::size_t r = 0; r < rows.size(); r += kExtendedRowLength) {
    table.AppendExtendedRow(std::u16string_view(rows).substr(r, kExtendedRowLength));
  }
}

std::filesystem::path FamilySettingsPath() {
  const std::filesystem::path folder = ExecutableFolder();
  if (folder.empty()) return {};
  return folder / kFamilySettingsFileName;
}

}  // namespace kavelin::text
