#include "text/settings_file.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "support/failure_access.hpp"
#include "support/file_io.hpp"
#include "support/trace.hpp"
#include "text/encoding.hpp"

namespace kavelin::text {
namespace {

using namespace ::kavelin::testing;

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
  EXPECT_EQ(StatusOf(first), EncodeStatus::kExtended);
  EXPECT_EQ(ValueOf(first).bytes, (std::vector<std::uint8_t>{0x18, 0x30}));
  EXPECT_EQ(ValueOf(EncodeGameText(codes, u"葵")).bytes, (std::vector<std::uint8_t>{0x18, 0x3B}));
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
  EXPECT_EQ(StatusOf(EncodeGameText(codes, u"■")), EncodeStatus::kUnencodable);
  // 茜 stands in rows 3, 4 and 10; the first occurrence gives the code.
  EXPECT_EQ(ValueOf(EncodeGameText(codes, u"茜")).bytes, (std::vector<std::uint8_t>{0x18, 0x3D}));
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
  EXPECT_EQ(StatusOf(EncodeGameText(codes, u"名無し\u3000さん")), EncodeStatus::kEncoded);
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
  KAVELIN_SKIP_IN_WEB_BUILD("executable of its own");
  const auto path = FamilySettingsPath();
  EXPECT_EQ(path.filename(), "KV7Tools.ini");
  // This test program is the running executable.
  EXPECT_TRUE(std::filesystem::exists(path.parent_path() / KAVELIN_TEST_PROGRAM));
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(SettingsFile, LinesThatAreNotCodePage932AreFound) {
  // Every fixture is code page 932 throughout.
  for (const char* file : {"only_row3.ini", "only_row3_lf.ini", "rows_f1a.ini", "tricky_lines.ini",
                           "duplicate_row2.ini", "no_rows.ini", "empty.ini"}) {
    const SettingsFileRead read = ReadSettingsFile(kData / file);
    EXPECT_TRUE(read.Ok()) << file;
    EXPECT_EQ(ValueOf(read).foreignLine, 0u) << file;
  }
  EXPECT_FALSE(ReadSettingsFile(kData / "no_such_file.ini").Ok());

  // Row 3 saved as UTF-8, after two lines; CR LF, LF and a lone CR each end one line.
  std::string rowUtf8 = "3 = ";
  for (const char16_t c : kRow3)
    rowUtf8 += ToUtf8(std::u16string(1, c)) + ", ";
  for (const char* breaks : {"\r\n", "\n", "\r"}) {
    const std::string text = std::string("// comment") + breaks + "[Kavelin]" + breaks + rowUtf8 +
                             breaks + "5 = x" + breaks;
    const SettingsFileRead read = SettingsFromBytes(Bytes(text));
    EXPECT_EQ(ValueOf(read).foreignLine, 3u) << "breaks " << breaks[1];
    // Still read as code page 932: the row is there, as the bytes decode.
    ASSERT_EQ(ValueOf(read).rows.size(), 240u);
    EXPECT_NE(Row(ValueOf(read).rows, 3), kSpaces16);
  }
  // UTF-8 that happens to pair up as code page 932 ("アルト" does) is found all the same.
  const std::string katakana = ToUtf8(u"3 = アルト");
  EXPECT_EQ(ValueOf(SettingsFromBytes(Bytes("1 = a\n" + katakana + "\n"))).foreignLine, 2u);
  // A UTF-8 byte-order mark alone makes the first line foreign.
  EXPECT_EQ(ValueOf(SettingsFromBytes(Bytes("\xEF\xBB\xBF// x\r\n1 = a"))).foreignLine, 1u);

  // Bytes the code page does not define: an unassigned pair, a byte that is never a
  // character, a lead byte cut by the line's end or by the file's end.
  EXPECT_EQ(ValueOf(SettingsFromBytes(Bytes("a\r\nb\x85\x40\r\n"))).foreignLine, 2u);
  EXPECT_EQ(ValueOf(SettingsFromBytes(Bytes("a\n\nc\xFD"))).foreignLine, 3u);
  EXPECT_EQ(ValueOf(SettingsFromBytes(Bytes("a\x88\nb"))).foreignLine, 1u);
  EXPECT_EQ(ValueOf(SettingsFromBytes(Bytes("a\nb\x88"))).foreignLine, 2u);
  // Half-width katakana and a kanji pair are code page 932; the first bad line wins.
  EXPECT_EQ(ValueOf(SettingsFromBytes(Bytes("\xB1\x88\x9F\n\x80\n\x80"))).foreignLine, 2u);
}

TEST(SettingsFile, PlacesSearchedBesideTheProgramThenTheUsersConfigFolder) {
  using Places = std::vector<std::filesystem::path>;
  EXPECT_EQ(FamilySettingsPlaces("/opt/k", "/x/conf", "/home/u"),
            (Places{"/opt/k/KV7Tools.ini", "/x/conf/kavelin/KV7Tools.ini"}));
  // An unset, empty or relative XDG_CONFIG_HOME means ~/.config.
  for (const char* xdg : {static_cast<const char*>(nullptr), "", "conf"}) {
    EXPECT_EQ(FamilySettingsPlaces("/opt/k", xdg, "/home/u"),
              (Places{"/opt/k/KV7Tools.ini", "/home/u/.config/kavelin/KV7Tools.ini"}));
  }
  EXPECT_EQ(FamilySettingsPlaces({}, nullptr, nullptr), Places{});
  EXPECT_EQ(FamilySettingsPlaces({}, nullptr, ""), Places{});

  // Nothing lies beside this test program, so the configuration folder is searched.
  const test_support::TempFolder temp;
  const std::filesystem::path config = temp / "config";
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string savedXdg = oldXdg != nullptr ? oldXdg : "";
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  EXPECT_EQ(FindFamilySettings(), std::filesystem::path());
  std::filesystem::create_directories(config / "kavelin" / "KV7Tools.ini");
  EXPECT_EQ(FindFamilySettings(), std::filesystem::path()) << "a folder is not a settings file";
  std::filesystem::remove(config / "kavelin" / "KV7Tools.ini");
  std::filesystem::copy_file(kData / "only_row3.ini", config / "kavelin" / "KV7Tools.ini");
  EXPECT_EQ(FindFamilySettings(), config / "kavelin" / "KV7Tools.ini");
  if (oldXdg != nullptr)
    ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace kavelin::text
