#include "text/widths.hpp"

#include <gtest/gtest.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>
#include <vector>

namespace kavelin::text {
namespace {

TEST(Widths, WidenNames) {
  EXPECT_EQ(WidenText(u"ABC"), u"ＡＢＣ");
  EXPECT_EQ(WidenText(u" a1~"), u"\u3000ａ１～");
  EXPECT_EQ(WidenText(u"ｶﾞｷﾞﾂﾞﾃﾞﾄﾞﾊﾞﾎﾟｳﾞ"), u"ガギヅデドバポヴ");
  EXPECT_EQ(WidenText(u"ﾜﾞｦﾞ"), u"ヷヺ");
  // Marks that cannot combine stay spacing marks, never combining ones.
  EXPECT_EQ(WidenText(u"ﾞﾟｱﾞｶﾟﾝﾟ"), u"゛゜ア゛カ゜ン゜");
  EXPECT_EQ(WidenText(u"ｰ｡､･｢｣"), u"ー。、・「」");
  // Already full width, hiragana, kanji and non-BMP text pass through.
  EXPECT_EQ(WidenText(u"名無しさんＡ\u3000が\U0001F600"), u"名無しさんＡ\u3000が\U0001F600");
  EXPECT_EQ(WidenText(u"¥\uFFE9\uFFED"), u"￥←■");
}

TEST(Widths, NarrowNumbers) {
  EXPECT_EQ(NarrowText(u"１５"), u"15");
  EXPECT_EQ(NarrowText(u"－７．５"), u"-7.5");
  EXPECT_EQ(NarrowText(u"０\u3000７"), u"0 7");
  EXPECT_EQ(NarrowText(u"＆Ｈ１Ｆ"), u"&H1F");
  EXPECT_EQ(NarrowText(u"ガパヴヷあ漢"), u"ｶﾞﾊﾟｳﾞﾜﾞあ漢");
  EXPECT_EQ(NarrowText(std::u16string(1, u'\0')), std::u16string(1, u'\0'));
}

TEST(Widths, NarrowUndoesWiden) {
  std::u16string half;
  for (char16_t c = 0x20; c <= 0x7E; ++c)
    half += c;
  for (char16_t c = 0xFF61; c <= 0xFF9F; ++c)
    half += c;
  half += u"ｶﾞﾊﾟｳﾞ";
  EXPECT_EQ(NarrowText(WidenText(half)), half);
}

// ICU's transform is the reference for the half-width forms; it differs from the locale
// only in turning a sound mark that cannot combine into the combining mark U+3099/U+309A.
class IcuReference : public ::testing::Test {
 protected:
  void SetUp() override {
    UErrorCode status = U_ZERO_ERROR;
    widen_.reset(
        icu::Transliterator::createInstance("Halfwidth-Fullwidth", UTRANS_FORWARD, status));
    narrow_.reset(
        icu::Transliterator::createInstance("Fullwidth-Halfwidth", UTRANS_FORWARD, status));
    ASSERT_TRUE(U_SUCCESS(status));
  }
  static std::u16string Apply(const icu::Transliterator& t, std::u16string_view text) {
    icu::UnicodeString u(text.data(), static_cast<int32_t>(text.size()));
    t.transliterate(u);
    return {u.getBuffer(), u.getBuffer() + u.length()};
  }
  std::unique_ptr<icu::Transliterator> widen_, narrow_;
};

TEST_F(IcuReference, WideningAgreesExceptForLoneSoundMarks) {
  std::vector<std::u16string> inputs;
  for (char16_t c = 0x20; c <= 0x7E; ++c)
    inputs.push_back({c});
  for (char16_t c = 0xFFE8; c <= 0xFFEE; ++c)
    inputs.push_back({c});
  for (const char16_t c : u"¢£¬¯¦¥₩")
    inputs.push_back({c});
  for (char16_t c = 0xFF61; c <= 0xFF9D; ++c) {
    inputs.push_back({c});
    inputs.push_back({c, 0xFF9E});
    inputs.push_back({c, 0xFF9F});
  }
  int differences = 0;
  for (const auto& input : inputs) {
    auto reference = Apply(*widen_, input);
    for (auto& u : reference) {
      if (u == 0x3099) u = u'゛';
      if (u == 0x309A) u = u'゜';
    }
    if (WidenText(input) != reference) {
      ++differences;
      ADD_FAILURE() << "U+" << std::hex << +input[0] << (input.size() > 1 ? " + mark" : "");
    }
  }
  EXPECT_EQ(differences, 0);
}

TEST_F(IcuReference, NarrowingAgreesOnDigitsSignsSpacesAndKatakana) {
  std::vector<std::u16string> inputs = {u"\u3000"};
  for (char16_t c = 0xFF01; c <= 0xFF5E; ++c)
    inputs.push_back({c});
  for (char16_t c = u'ァ'; c <= u'ヺ'; ++c)
    inputs.push_back({c});
  for (const auto& input : inputs) {
    // ヵ, ヶ, ヰ and ヱ have no half-width form in either.
    EXPECT_EQ(NarrowText(input), Apply(*narrow_, input)) << "U+" << std::hex << +input[0];
  }
}

}  // namespace
}  // namespace kavelin::text
