// kavelin-cli in a Japanese locale: its own words are Japanese, the road's messages, the
// numbers, the names and the bytes it writes are the same as in English.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_fixture.hpp"
#include "translate/translate.hpp"

namespace kavelin {
namespace {

namespace fs = std::filesystem;
using test_support::ReadText;

bool LocaleExists(const char* name) {
  const locale_t locale = ::newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return false;
  ::freelocale(locale);
  return true;
}

class Translations : public test_support::ProgramFolder {
 protected:
  void SetUp() override {
    if (!KAVELIN_CATALOGUES)
      GTEST_SKIP() << "built without gettext or msgfmt: kavelin-cli speaks English only";
    // glibc takes LANGUAGE in any locale but "C"; C.UTF-8 is built into Debian's libc.
    if (LocaleExists("ja_JP.UTF-8")) {
      japanese_ = "LC_ALL= LANGUAGE= LANG=ja_JP.UTF-8";
    } else if (LocaleExists("C.UTF-8")) {
      japanese_ = "LC_ALL=C.UTF-8 LANGUAGE=ja";
    } else {
      GTEST_SKIP() << "no locale here can carry Japanese: neither ja_JP.UTF-8 (locale-gen, "
                      "Debian's locales package) nor C.UTF-8";
    }
    Write("bad.json", R"({"name": ""})");
    Write("deep.json", std::string(1000, '['));
    Write("warn.json",
          R"({"initialEquipment": {"enabled": true, "weapons": ["50", "FF", "51", "FF"]}})");
    Write("notes.txt", "hello");
    fs::copy_file(folder_ / "hero.gif", folder_ / "second.gif");
  }
  test_support::CommandResult InJapanese(const std::string& args, const std::string& how = "") {
    locale_ = how.empty() ? japanese_ : how;
    auto r = Run(args);
    locale_ = kEnglish;
    return r;
  }
  std::string japanese_;
};

// What the program says of its own, in both languages: the file names, numbers and
// offsets are the same, and so is the exit code.
TEST_F(Translations, TheProgramsOwnWordsAreJapanese) {
  const struct {
    std::string args;
    bool onStdout;
    std::string english, japanese;  // the whole stream, or its start when `start`
    bool start;
  } cases[] = {
      {"--help", true, "usage: kavelin-cli [--ini SETTINGS] COMMAND [ARGS]\n",
       "使い方: kavelin-cli [--ini SETTINGS] COMMAND [ARGS]\n", true},
      {"make --help", true, "usage: kavelin-cli make TEMPLATE...",
       "使い方: kavelin-cli make TEMPLATE...", true},
      {"frobnicate", false, "kavelin-cli: unknown command frobnicate\nusage: kavelin-cli [",
       "kavelin-cli: 知らないコマンド frobnicate です\n使い方: kavelin-cli [", true},
      {"make --colour", false, "kavelin-cli: unknown option --colour\n",
       "kavelin-cli: 知らないオプション --colour です\n", true},
      {"make hero.gif --sheet nothere.json", false, "kavelin-cli: nothere.json: no such file\n",
       "kavelin-cli: nothere.json: ファイルが見つかりません\n", false},
      {"make hero.gif --sheet deep.json", false,
       "kavelin-cli: deep.json: document: nested more than 16 levels deep\n",
       "kavelin-cli: deep.json: ファイル全体: 入れ子が 16 段より深くなっています\n", false},
      {"inspect hero.gif", false,
       "kavelin-cli: hero.gif: offset 2749: the file has 2749 bytes, fewer than the 7158 of a "
       "patch's fixed part\n",
       "kavelin-cli: hero.gif: オフセット 2749: ファイルが 2749 バイトしかなく、パッチの固定部分"
       "の 7158 バイトに足りません\n",
       false},
      {"make hero.gif second.gif --sheet bad.json", false,
       "hero.gif: 名前を入力してください。\nsecond.gif: 名前を入力してください。\n"
       "kavelin-cli: 2 templates: 0 written, 0 stopped at warnings, 2 refused, 0 failed\n",
       "hero.gif: 名前を入力してください。\nsecond.gif: 名前を入力してください。\n"
       "kavelin-cli: テンプレート画像 2 件: 作成 0 件、注意で中止 0 件、拒否 2 件、失敗 0 件\n",
       false},
      {"make hero.gif --sheet warn.json", false,
       "盾が複数装備されています。\n"
       "kavelin-cli: nothing was written; --yes goes on despite warnings\n",
       "盾が複数装備されています。\n"
       "kavelin-cli: 何も書き込みませんでした。--yes を付けると、注意があっても続けます\n",
       false},
      {"encode あいぺ", true, "あいぺ\tnot encodable: 「ぺ」\n",
       "あいぺ\tゲームにない文字です: 「ぺ」\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const auto english = Run(c.args), japanese = InJapanese(c.args);
    EXPECT_EQ(japanese.exitCode, english.exitCode);
    const std::string& en = c.onStdout ? english.out : english.err;
    const std::string& ja = c.onStdout ? japanese.out : japanese.err;
    EXPECT_EQ(c.start ? en.substr(0, c.english.size()) : en, c.english);
    EXPECT_EQ(c.start ? ja.substr(0, c.japanese.size()) : ja, c.japanese);
  }
}

// The road's boxes and reports keep their exact texts, and a patch its exact bytes.
TEST_F(Translations, TheRoadsMessagesAndThePatchAreTheSameInBoth) {
  for (const char* args : {"make hero.gif --sheet bad.json", "make notes.txt", "make missing.gif",
                           "make hero.gif --sheet hero.json"}) {
    SCOPED_TRACE(args);
    const auto english = Run(args);
    const std::string patch = ReadText(folder_ / "hero.k7p");
    fs::remove(folder_ / "hero.k7p");
    const auto japanese = InJapanese(args);
    EXPECT_EQ(japanese.exitCode, english.exitCode);
    EXPECT_EQ(japanese.out, english.out);
    EXPECT_EQ(ReadText(folder_ / "hero.k7p"), patch);
    // The road's words lead each line; only a reason of the system's own may follow.
    const std::string road = english.err.substr(0, english.err.find(" ("));
    EXPECT_EQ(japanese.err.substr(0, road.size()), road) << japanese.err;
  }
}

// Every variable gettext reads picks the language, in its order; the C locale keeps
// English whatever LANGUAGE says.
TEST_F(Translations, EveryWayOfNamingTheLanguageIsHeard) {
  std::string japaneseLocale = "ja_JP.UTF-8";
  std::string path;
  if (!LocaleExists("ja_JP.UTF-8")) {
    // Made for this test alone, where the system has the locale's sources but not the
    // locale (Debian's locales package without locale-gen).
    fs::create_directory(folder_ / "locales");
    const std::string made = "localedef -i ja_JP -f UTF-8 '" +
                             (folder_ / "locales" / "ja_JP.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(made.c_str()) != 0)
      GTEST_SKIP() << "ja_JP.UTF-8 cannot be had here: not installed (locale-gen) and "
                      "localedef could not make it";
    path = "LOCPATH='" + (folder_ / "locales").string() + "' ";
  }
  const struct {
    std::string environment;
    bool japanese;
  } cases[] = {
      {"LC_ALL= LC_MESSAGES= LANGUAGE= LANG=" + japaneseLocale, true},
      {"LC_ALL= LANGUAGE= LANG=C LC_MESSAGES=" + japaneseLocale, true},
      {"LANGUAGE= LANG=C LC_ALL=" + japaneseLocale, true},
      {"LC_ALL=C.UTF-8 LANGUAGE=ja", LocaleExists("C.UTF-8")},
      {"LC_ALL=C LANGUAGE=ja", false},
      {"LANG=" + japaneseLocale + " LANGUAGE= LC_ALL=C", false},
      {"LC_ALL= LANGUAGE= LANG=fr_FR.UTF-8", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.environment);
    const auto r = InJapanese("frobnicate", path + c.environment);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              c.japanese ? "kavelin-cli: 知らないコマンド frobnicate です"
                         : "kavelin-cli: unknown command frobnicate");
  }
}

// A catalogue carried beside the program is read before the build's.
TEST_F(Translations, ACatalogueBesideTheProgramWins) {
  const fs::path folder = folder_ / "locale" / "ja" / "LC_MESSAGES";
  fs::create_directories(folder);
  Write("beside.po",
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
        "msgid \"unknown command %s\"\nmsgstr \"beside: %s\"\n");
  const std::string make = std::string("'") + KAVELIN_MSGFMT + "' -o '" +
                           (folder / "kavelin.mo").string() + "' '" +
                           (folder_ / "beside.po").string() + "'";
  ASSERT_EQ(std::system(make.c_str()), 0);
  const auto r = InJapanese("frobnicate");
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "kavelin-cli: beside: frobnicate");
  // Its other messages stay English: the build's catalogue is not read at all.
  const auto other = InJapanese("make --colour");
  EXPECT_EQ(other.err.substr(0, other.err.find('\n')), "kavelin-cli: unknown option --colour");
}

// What a translation can do wrong, a numbered value out of range or a stray percent sign,
// never reads past the values.
TEST(MessageFormat, PutsEachValueWhereThePatternSays) {
  using text::Format;
  const struct {
    std::string got, expected;
  } cases[] = {
      {Format("%s: %s", "a.gif", "no such file"), "a.gif: no such file"},
      {Format("%2$s の %1$s", "x", "y"), "y の x"},
      {Format("entry %1$s decides entry %1$s", 3), "entry 3 decides entry 3"},
      {Format("%s bytes, %s", std::size_t{7158}, -1LL), "7158 bytes, -1"},
      {Format("100%% %s", "done"), "100% done"},
      {Format("%3$s|%s|%s", "a"), "|a|"},
      {Format("%d %0$s %", "a"), "%d %0$s %"},
      {Format("no values %s"), "no values "},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.got, c.expected);
}

}  // namespace
}  // namespace kavelin
