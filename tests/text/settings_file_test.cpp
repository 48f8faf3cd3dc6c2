#include "text/settings_file.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "text/encoding.hpp"

namespace kavelin::text {
namespace {

const std::filesystem::path kData = std::filesystem::path(KAVELIN_TEST_DATA) / "settings";

const std::u16string kSpaces16(16, kFullWidthSpace);
constexpr std::u16string_view kRow3 = u"凛煌蓮翔琥珀萌雫桜椿楓葵梓茜菫柚";

std::u16string Row(std::u16string_view table, std::size_t row) {
  return std::u16string(table.substr((row - 1) * 16, 16));
}

TEST(SettingsFile, OnlyRowThree) {
  for (const char* file : {"only_row3.ini", "only_row3_lf.ini"}) {
    const std::u16string table = ReadExtendedRows(kData / file);
    ASSERT_EQ(table.size(), 240u) << file;
    EXPECT_EQ(table.substr(0, 32), std::u16string(32, kFullWidthSpace));
    EXPECT_EQ(table.substr(32, 16), kRow3);
    EXPECT_EQ(table.substr(48), std::u16string(192, kFullWidthSpace));
  }
  CodeTable codes;
  LoadExtendedRows(codes, kData / "only_row3.ini");
  const auto first = EncodeGameText(codes, u"凛");
  EXPECT_EQ(first.status, EncodeStatus::kExtended);
  EXPECT_EQ(first.bytes, (std::vector<std::uint8_t>{0x18, 0x30}));
  EXPECT_EQ(EncodeGameText(codes, u"葵").bytes, (std::vector<std::uint8_t>{0x18, 0x3B}));
}

TEST(SettingsFile, RowOrderInTheFileDoesNotMatter) {
  const auto shuffled = ReadExtendedRows(kData / "rows_f1a.ini");
  ASSERT_EQ(shuffled.size(), 240u);
  EXPECT_EQ(shuffled, ReadExtendedRows(kData / "rows_1af.ini"));
  EXPECT_EQ(Row(shuffled, 1), u"柚菫茜梓葵楓椿桜雫萌珀琥翔蓮煌凛");
  EXPECT_EQ(Row(shuffled, 10), u"魁斎皐嵩峯柚菫茜梓葵楓椿桜雫萌珀");
  EXPECT_EQ(Row(shuffled, 15), u"嵩峯魁斎皐凛煌蓮翔琥珀萌雫桜椿楓");
  EXPECT_EQ(Row(shuffled, 2), kSpaces16);
}

TEST(SettingsFile, TheFirstLineForARowWins) {
  EXPECT_EQ(Row(ReadExtendedRows(kData / "duplicate_row2.ini"), 2),
            u"柚菫茜梓葵楓椿桜雫萌珀琥翔蓮煌凛");
}

TEST(SettingsFile, LinesThatAreNotRowLines) {
  const auto table = ReadExtendedRows(kData / "tricky_lines.ini");
  ASSERT_EQ(table.size(), 240u);
  // "//3", " 3" and "0" lines are skipped; the row-3 line with other separators counts.
  EXPECT_EQ(Row(table, 3), kRow3);
  // A lower-case digit names the same row as an upper-case one.
  EXPECT_EQ(Row(table, 10), kRow3);
  // A line that ends after field 9 is padded with full-width spaces.
  std::u16string padded = u"柚菫茜梓葵楓椿桜雫萌";
  padded.append(6, kFullWidthSpace);
  EXPECT_EQ(Row(table, 5), padded);
  // The empty-cell marks are read, and the encoder still refuses them.
  EXPECT_EQ(Row(table, 4).substr(0, 2), u"□■");
  CodeTable codes;
  LoadExtendedRows(codes, kData / "tricky_lines.ini");
  EXPECT_EQ(EncodeGameText(codes, u"■").status, EncodeStatus::kUnencodable);
  // 茜 stands in rows 3, 4 and 10; the first occurrence gives the code.
  EXPECT_EQ(EncodeGameText(codes, u"茜").bytes, (std::vector<std::uint8_t>{0x18, 0x3D}));
}

TEST(SettingsFile, MissingEmptyAndRowlessFiles) {
  EXPECT_TRUE(ReadExtendedRows(kData / "no_such_file.ini").empty());
  EXPECT_TRUE(ReadExtendedRows(kData / "empty.ini").empty());
  EXPECT_TRUE(ReadExtendedRows(kData).empty()) << "a folder is not a settings file";
  EXPECT_TRUE(ReadExtendedRows({}).empty());

  const auto rowless = ReadExtendedRows(kData / "no_rows.ini");
  EXPECT_EQ(rowless, std::u16string(240, kFullWidthSpace));
  // Full-width spaces are found in the standard row first, so nothing becomes extended.
  CodeTable codes;
  LoadExtendedRows(codes, kData / "no_rows.ini");
  EXPECT_EQ(EncodeGameText(codes, u"名無し\u3000さん").status, EncodeStatus::kEncoded);
}

TEST(SettingsFile, LoadingReplacesAnEarlierTable) {
  CodeTable codes;
  LoadExtendedRows(codes, kData / "only_row3.ini");
  LoadExtendedRows(codes, kData / "no_such_file.ini");
  EXPECT_TRUE(codes.ExtendedTable().empty());
}

TEST(SettingsFile, BytesThatAreNotCodePage932AndHugeLines) {
  // Invalid lead bytes become substitutes; the row is still 16 characters wide.
  std::vector<std::uint8_t> bytes = {'3', ' ', ' ', ' ', 0x81, 0xFF, 0xFF, '\r', '\n'};
  const auto table = ExtendedRowsFromSettings(bytes);
  ASSERT_EQ(table.size(), 240u);
  EXPECT_NE(Row(table, 3), kSpaces16);

  // A megabyte-long row line still gives its fields; only its start is decoded.
  std::u16string longLine = u"7 = ";
  for (int i = 0; i < 16; ++i)
    longLine += std::u16string(u"凛, ");
  longLine += std::u16string(500000, u'x');
  auto encoded = EncodeCp932(longLine);
  encoded.push_back('\r');
  encoded.push_back('\n');
  EXPECT_EQ(Row(ExtendedRowsFromSettings(encoded), 7), std::u16string(16, u'凛'));
}

TEST(SettingsFile, FoundBesideTheExecutable) {
  const auto path = FamilySettingsPath();
  EXPECT_EQ(path.filename(), "KV7Tools.ini");
  // This test program is the running executable.
  EXPECT_TRUE(std::filesystem::exists(path.parent_path() / "text_settings_file_test"));
}

}  // namespace
}  // namespace kavelin::text
