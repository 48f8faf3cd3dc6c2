// Inputs at and far past their limits, end to end: a sheet file read, checked and written
// as a patch; the settings file; template images at the size cap. Each gets a clear
// message or a clean result, and an older patch is never touched by a refused sheet.
// Time and memory are measured outside the tests, never asserted here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "command/create_patch.hpp"
#include "image/decoder.hpp"
#include "image/intake.hpp"
#include "patch/patch_reader.hpp"
#include "sheet/sheet_file.hpp"
#include "support/failure_access.hpp"
#include "support/file_io.hpp"
#include "text/encoding.hpp"
#include "text/settings_file.hpp"
#include "validate/messages.hpp"

namespace kavelin {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using test_support::ReadAll;
using test_support::WriteAll;

class Folder : public ::testing::Test {
 protected:
  test_support::TempFolder temp_;
  const fs::path& folder_ = temp_.Path();
};

// Answers yes to everything and remembers what it was shown.
class YesDialogs : public command::CreatePatchDialogs {
 public:
  std::u16string errors;
  void ShowInputErrors(const validate::CheckResult& e) override { errors = e.report; }
  bool ConfirmWarnings(const validate::CheckResult&) override { return true; }
  bool ConfirmCreate() override { return true; }
  void ShowDone(const std::filesystem::path&) override {}
  void ShowWriteFailure(const Failure&) override {}
};

// The sample template taken in from disk, and a sheet from a sheet file's text, down the
// road of "パッチ作成", with an older patch already beside the template.
class HugeFields : public Folder {
 protected:
  void SetUp() override {
    Folder::SetUp();
    fs::copy_file(fs::path(KAVELIN_EXAMPLES) / "hero.gif", folder_ / "hero.gif");
    ASSERT_EQ(image::TakeInTemplateFile(template_, folder_ / "hero.gif", image::DecodeImageFile),
              image::ImageStatus::kOk);
    WriteAll(Patch(), "an older patch");
  }
  fs::path Patch() const { return folder_ / "hero.k7p"; }

  // The road for a sheet file that holds `key` with a string of `count` copies of `unit`.
  command::CreatePatchOutcome Make(const std::string& key, const std::string& unit,
                                   std::size_t count) {
    std::string json = "{\"" + key + "\": \"";
    json.reserve(json.size() + unit.size() * count + 4);
    for (std::size_t i = 0; i < count; ++i)
      json += unit;
    json += "\"}";
    const auto read = sheet::ReadSheetFile(json);
    EXPECT_TRUE(read.Ok()) << WhatOf(read);
    sheet::CharacterSheet s = ValueOf(read).sheet;
    return command::CreatePatch(s, template_, codes_, dialogs_, {.output = {}, .sync = false})
        .outcome;
  }

  image::TemplateImage template_;
  text::CodeTable codes_;
  YesDialogs dialogs_;
};

TEST_F(HugeFields, OverlongNamesAndCommentsAreInputErrorsAndKeepTheOldPatch) {
  const struct {
    const char* what;
    std::string key, unit;
    std::size_t count;
    std::u16string_view message;
  } cases[] = {
      {"name of 10^5 kana", "name", "あ", 100'000, validate::messages::kNameTooLong},
      {"name of 10^5 digits, widened", "name", "1", 100'000, validate::messages::kNameTooLong},
      {"comment of 65,536", "comment", "あ", 65'536, validate::messages::kCommentTooLong},
      {"comment of 10^6", "comment", "a", 1'000'000, validate::messages::kCommentTooLong},
      // Each lone line break becomes CR LF, so 40,000 of them are 80,000 characters.
      {"comment of 40,000 line breaks", "comment", "\\n", 40'000,
       validate::messages::kCommentTooLong},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs_.errors.clear();
    EXPECT_EQ(Make(c.key, c.unit, c.count), command::CreatePatchOutcome::kInputErrors);
    EXPECT_NE(dialogs_.errors.find(c.message), std::u16string::npos);
    EXPECT_EQ(ReadAll(Patch()),
              (Bytes{'a', 'n', ' ', 'o', 'l', 'd', 'e', 'r', ' ', 'p', 'a', 't', 'c', 'h'}));
  }
}

TEST_F(HugeFields, TheLongestCommentIsWrittenWholeAndReadsBack) {
  ASSERT_EQ(Make("comment", "あ", 65'535), command::CreatePatchOutcome::kWritten);
  const Bytes patch = ReadAll(Patch());
  ASSERT_EQ(patch.size(), 7158u + 3 + 2 * 65'535);
  EXPECT_EQ(patch[7159], 0xFF);
  EXPECT_EQ(patch[7160], 0xFF);
  const auto read = patch::ReadPatchFile(patch, codes_);
  ASSERT_TRUE(read.Ok()) << WhatOf(read);
  EXPECT_EQ(ValueOf(read).sheet.comment, std::u16string(65'535, u'あ'));
}

TEST(HugeSheetFiles, AMillionElementsGiveOneShortMessageOrAreReadWhole) {
  const auto repeat = [](std::string_view head, std::string_view item, std::string_view tail,
                         int count = 1'000'000) {
    std::string json(head);
    for (int i = 0; i < count; ++i) {
      if (i > 0) json += ',';
      json += item;
    }
    return json + std::string(tail);
  };
  const struct {
    std::string json, error;
  } refused[] = {
      {repeat("[", "0", "]"), "document: expected an object"},
      {repeat(R"({"name": [)", "0", "]}", 10'000),
       "name: expected a string, found [0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,..."},
      {repeat(R"({"basicStatus": {"lp": [)", "\"9\"", "]}}", 10'000),
       "basicStatus.lp: expected a string or a number, found "
       "[\"9\",\"9\",\"9\",\"9\",\"9\",\"9\",\"9\",\"9\",\"9\",..."},
      {repeat(R"({"paletteSwaps": [)", "[1, 2]", ",[3]]}", 1000),
       "paletteSwaps[1000]: expected a pair of entry numbers, found [3]"},
      // Half a million distinct keys (5.9 MB) once took minutes, growing with their square.
      {[] {
         std::string json = "{";
         for (int i = 0; i < 500'000; ++i)
           json += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":1";
         return json + "}";
       }(),
       "k0: unknown key"},
  };
  for (const auto& c : refused) {
    const auto read = sheet::ReadSheetFile(c.json);
    EXPECT_FALSE(read.Ok());
    EXPECT_EQ(WhatOf(read), c.error);
  }
  const auto swaps = sheet::ReadSheetFile(repeat(R"({"paletteSwaps": [)", "[4, 5]", "]}"));
  ASSERT_TRUE(swaps.Ok()) << WhatOf(swaps);
  EXPECT_EQ(ValueOf(swaps).paletteSwaps.size(), 1'000'000u);
}

TEST(HugeSheetFiles, LongKeysAndCodesAreCutInTheMessage) {
  const std::string longKey(100'000, 'k');
  const auto unknown = sheet::ReadSheetFile("{\"" + longKey + "\": 1}");
  EXPECT_EQ(WhatOf(unknown), std::string(37, 'k') + "...: unknown key");
  // Control characters are shown escaped, never printed raw, and the escapes count
  // towards the cut.
  EXPECT_EQ(WhatOf(sheet::ReadSheetFile("{\"" + std::string(100, '\x7f') + "\": 1}")),
            "\\u007f\\u007f\\u007f\\u007f\\u007f\\u007f...: unknown key");
  EXPECT_EQ(WhatOf(sheet::ReadSheetFile(R"({"a\u001b[2Jb\nc": 1})")),
            "a\\u001b[2Jb\\u000ac: unknown key");
  const auto code = sheet::ReadSheetFile(R"({"otherTraits": {"formation": ")" +
                                         std::string(100'000, 'z') + "\"}}");
  EXPECT_EQ(WhatOf(code), "otherTraits.formation: code \"" + std::string(37, 'z') +
                              "...\" is not two hexadecimal digits");
  // A cut never splits a character: the message stays valid UTF-8.
  std::string kana;
  for (int i = 0; i < 1000; ++i)
    kana += "あ";
  const auto cut = sheet::ReadSheetFile(R"({"name": [")" + kana + "\"]}");
  ASSERT_FALSE(cut.Ok());
  EXPECT_TRUE(text::FromUtf8(WhatOf(cut)).has_value()) << WhatOf(cut);
}

class HugeSettings : public Folder {};

TEST_F(HugeSettings, AFileOverTheCapIsRefusedUnreadAndOneAtTheCapIsReadToTheLastLine) {
  // A sparse file: 100 MB of NUL bytes in one endless line, then two row lines.
  const fs::path file = folder_ / "KV7Tools.ini";
  const std::string tail = "\r\n1   " + std::string("\x87\x40") + "\r\n2   x\r\n";
  {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 100 << 20), 0);
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), 100 << 20), static_cast<ssize_t>(tail.size()));
    ::close(fd);
  }
  const text::SettingsFileRead huge = text::ReadSettingsFile(file);
  EXPECT_FALSE(huge.Ok());
  EXPECT_EQ(ReadProblemOf(huge), io::ReadProblem::kTooLarge);
  EXPECT_TRUE(ValueOf(huge).rows.empty());
  // The same lines after NUL bytes up to the cap.
  ASSERT_EQ(::truncate(file.c_str(), 0), 0);
  {
    const int fd = ::open(file.c_str(), O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const auto at = static_cast<off_t>(text::kMaxSettingsFileBytes - tail.size());
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), at), static_cast<ssize_t>(tail.size()));
    ::close(fd);
  }
  const std::u16string rows = text::ReadExtendedRows(file);
  ASSERT_EQ(rows.size(), text::kExtendedTableLength);
  EXPECT_EQ(rows[0], u'①');
  EXPECT_EQ(rows[16], u'x');
  EXPECT_EQ(rows.substr(32), std::u16string(208, text::kFullWidthSpace));
}

TEST(BadSettingsBytes, InvalidCodePage932CostsOnlyItsOwnFieldsAndNeverTheOtherRows) {
  // Row 2 holds a lead byte with a trail no table has, an undefined single byte, and a
  // lead byte cut off by the end of the line; rows 1 and 3 are intact around it.
  const std::string file =
      "1   A  B\r\n"
      "2   \x81\x7F \xFD \x82\r\n"
      "3   C  D\r\n"
      "4   \x82";
  const std::u16string rows = text::ExtendedRowsFromSettings(
      {reinterpret_cast<const std::uint8_t*>(file.data()), file.size()});
  ASSERT_EQ(rows.size(), text::kExtendedTableLength);
  EXPECT_EQ(rows.substr(0, 2), u"AB");
  EXPECT_EQ(rows.substr(32, 2), u"CD");
  for (const char16_t c : rows.substr(16, 16))
    EXPECT_TRUE(c != u'\0') << "a bad byte must not end the row early";
  // A lead byte cut off by the end of the file is one bad character, not a lost row.
  EXPECT_EQ(rows.substr(48, 16), u"\uFFFD" + std::u16string(15, text::kFullWidthSpace));
}

class CapSizedImages : public Folder {};

// A one-bit bitmap of `width` x `height`, every pixel colour 0 (white); only `keep` bytes
// of pixel data are written when it is smaller than the whole.
std::string OneBitBmp(int width, int height, std::size_t keep = SIZE_MAX) {
  const std::size_t row = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  const std::size_t pixels = row * static_cast<std::size_t>(height);
  const auto le = [](std::string& s, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
      s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string b = "BM";
  le(b, static_cast<std::uint32_t>(62 + pixels), 4);
  le(b, 0, 4);
  le(b, 62, 4);
  le(b, 40, 4);
  le(b, static_cast<std::uint32_t>(width), 4);
  le(b, static_cast<std::uint32_t>(height), 4);
  le(b, 1, 2);
  le(b, 1, 2);
  le(b, 0, 4);
  le(b, static_cast<std::uint32_t>(pixels), 4);
  le(b, 2835, 4);
  le(b, 2835, 4);
  le(b, 2, 4);
  le(b, 0, 4);
  b += std::string("\xFF\xFF\xFF\0\0\0\0\0", 8);
  b += std::string(std::min(pixels, keep), '\0');
  return b;
}

TEST_F(CapSizedImages, TheLargestImageLoadsAndLargerOrTruncatedOnesAreRefused) {
  const auto take = [&](const char* name, const std::string& bytes) {
    WriteAll(folder_ / name, bytes);
    image::TemplateImage t;
    return image::TakeInTemplateFile(t, folder_ / name, image::DecodeImageFile);
  };
  EXPECT_EQ(take("cap.bmp", OneBitBmp(image::kMaxImageSide, image::kMaxImageSide)),
            image::ImageStatus::kOk);
  EXPECT_EQ(take("wide.bmp", OneBitBmp(image::kMaxImageSide + 1, 1)),
            image::ImageStatus::kInvalidFile);
  EXPECT_EQ(take("huge-header.bmp", OneBitBmp(0x7FFFFFFF, 0x7FFFFFFF, 64)),
            image::ImageStatus::kInvalidFile);
  // At the cap, or small, with rows missing: refused rather than filled with whatever
  // memory held.
  EXPECT_EQ(take("cap-truncated.bmp", OneBitBmp(image::kMaxImageSide, image::kMaxImageSide, 100)),
            image::ImageStatus::kInvalidFile);
  EXPECT_EQ(take("small-truncated.bmp", OneBitBmp(64, 64, 64)), image::ImageStatus::kInvalidFile);
  EXPECT_EQ(take("small.bmp", OneBitBmp(64, 64)), image::ImageStatus::kOk);
}

}  // namespace
}  // namespace kavelin
