// Drives the real kavelin-cli executable: exit codes, messages and patch bytes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "cli_fixture.hpp"
#include "image/blank_template.hpp"
#include "image/decoder.hpp"
#include "image/encoder.hpp"
#include "image/intake.hpp"
#include "patch/patch_writer.hpp"
#include "sheet/sheet_file.hpp"
#include "support/failure_access.hpp"
#include "support/file_io.hpp"
#include "text/settings_file.hpp"
#include "validate/input_errors.hpp"

namespace {

namespace fs = std::filesystem;
using namespace kavelin;
using namespace kavelin::testing;

const fs::path kExamples = fs::path(KAVELIN_SOURCE_DIR) / "examples";

using test_support::ReadAll;
using test_support::ReadText;

// The program's folder, with templates and settings files the tests write there.
class Cli : public test_support::ProgramFolder {
 protected:
  // A template of one colour: every palette entry but 0 and 3 stays empty.
  void WriteOneColourBmp(const std::string& name) const {
    const int width = 176, height = 132, row = width * 3;
    std::string bmp = "BM";
    const auto le32 = [&bmp](std::uint32_t v) {
      for (int i = 0; i < 4; ++i)
        bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const auto le16 = [&bmp](std::uint16_t v) {
      bmp += static_cast<char>(v & 0xFF);
      bmp += static_cast<char>(v >> 8);
    };
    le32(54 + row * height);
    le32(0);
    le32(54);
    le32(40);
    le32(width);
    le32(height);
    le16(1);
    le16(24);
    for (int i = 0; i < 6; ++i)
      le32(0);
    for (int i = 0; i < width * height; ++i)
      bmp += "\x80\x40\x20";
    Write(name, bmp);
  }
  void AddSettings(const char* fixture) {
    fs::copy_file(fs::path(KAVELIN_TEST_DATA) / "settings" / fixture, folder_ / "KV7Tools.ini");
  }
};

TEST_F(Cli, MakeWritesTheBytesTheCoreWrites) {
  const auto r = Run("make hero.gif --sheet hero.json");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "hero.k7p\n");
  EXPECT_EQ(r.err, "");

  // The same inputs through the core directly.
  auto document = ValueOf(sheet::ReadSheetFile(ReadText(folder_ / "hero.json")));
  image::TemplateImage image;
  ASSERT_EQ(image::TakeInTemplateFile(image, folder_ / "hero.gif", image::DecodeImageFile),
            image::ImageStatus::kOk);
  const text::CodeTable codes;
  ASSERT_FALSE(validate::CheckInputErrors(document.sheet, codes, true).Found());
  const auto written = patch::WritePatchFile(document.sheet, codes, image,
                                             {.output = folder_ / "core.k7p", .sync = false});
  ASSERT_TRUE(written.Ok()) << WhatOf(written);
  EXPECT_EQ(ReadText(folder_ / "hero.k7p"), ReadText(folder_ / "core.k7p"));
}

TEST_F(Cli, MakeInspectMakeGivesTheSameBytes) {
  ASSERT_EQ(Run("make hero.gif --sheet hero.json").exitCode, 0);
  const std::string first = ReadText(folder_ / "hero.k7p");
  const auto inspected = Run("inspect hero.k7p --json");
  ASSERT_EQ(inspected.exitCode, 0) << inspected.err;
  EXPECT_NE(inspected.out.find("\"paletteWords\""), std::string::npos);
  Write("again.json", inspected.out);
  const auto again = Run("make hero.gif --sheet again.json --output again.k7p");
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(ReadText(folder_ / "again.k7p"), first);

  const auto summary = Run("inspect hero.k7p");
  EXPECT_EQ(summary.exitCode, 0);
  EXPECT_NE(summary.out.find("名前: アルト\n"), std::string::npos);
  EXPECT_NE(summary.out.find("その他 (変更禁止):\n"), std::string::npos);
  EXPECT_NE(summary.out.find("コメント:\nサンプルのキャラクターです。\n"), std::string::npos);

  const auto fromPatch = Run("sheet --from hero.k7p");
  EXPECT_EQ(fromPatch.exitCode, 0);
  EXPECT_EQ(ValueOf(sheet::ReadSheetFile(fromPatch.out)).sheet.name, u"アルト");
  EXPECT_EQ(Run("sheet").out, sheet::WriteSheetFile({}));
}

TEST_F(Cli, MakeWithASheetAloneUsesTheTemplateItNames) {
  ASSERT_EQ(Run("make hero.gif --sheet hero.json").exitCode, 0);
  const auto expected = ReadAll(folder_ / "hero.k7p");
  fs::remove(folder_ / "hero.k7p");
  fs::create_directories(folder_ / "sheets");
  auto document = ValueOf(sheet::ReadSheetFile(ReadText(folder_ / "hero.json")));
  document.templateFile = "../hero.gif";
  Write("sheets/hero.k7c", sheet::WriteSheetFile(document));
  // Outside the sheet's folder: the patch would land where the user never said.
  const auto outside = Run("make --sheet sheets/hero.k7c");
  EXPECT_EQ(outside.exitCode, 2);
  EXPECT_NE(outside.err.find("--output"), std::string::npos) << outside.err;
  EXPECT_NE(outside.err.find((folder_ / "hero.k7p").native()), std::string::npos) << outside.err;
  EXPECT_FALSE(fs::exists(folder_ / "hero.k7p"));
  const auto r = Run("make --sheet sheets/hero.k7c -o hero.k7p");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadAll(folder_ / "hero.k7p"), expected);
  fs::remove(folder_ / "hero.k7p");
  document.templateFile = "hero.gif";
  Write("inside.k7c", sheet::WriteSheetFile(document));
  ASSERT_EQ(Run("make --sheet inside.k7c").exitCode, 0);
  EXPECT_EQ(ReadAll(folder_ / "hero.k7p"), expected) << "beside the template, as named";

  // A sheet that names none, or names one that is gone, is refused with nothing written.
  fs::remove(folder_ / "hero.k7p");
  const auto none = Run("make --sheet hero.json");
  EXPECT_EQ(none.exitCode, 2);
  EXPECT_NE(none.err.find("names none"), std::string::npos) << none.err;
  document.templateFile = "gone.gif";
  Write("sheets/gone.k7c", sheet::WriteSheetFile(document));
  const auto gone = Run("make --sheet sheets/gone.k7c");
  EXPECT_EQ(gone.exitCode, 2);
  EXPECT_NE(gone.err.find("sheets/gone.gif"), std::string::npos) << gone.err;
  EXPECT_FALSE(fs::exists(folder_ / "hero.k7p"));
}

// A template whose entry 1 is not the game's colour makes its patch, with one note line
// that says what the game will show instead and which pixel decided it; a blank template
// drawn into as it is gives none.
TEST_F(Cli, TheFixedColourTrapIsANoteNotAFailure) {
  image::Raster drawn = image::BlankTemplate();
  drawn.Set(10, 13, image::Rgb(0xF8, 0, 0));
  const auto bytes = image::EncodeImageFile(drawn, "red.gif");
  ASSERT_TRUE(bytes);
  Write("red.gif", std::string(bytes->begin(), bytes->end()));
  const auto r = Run("make red.gif --yes");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err,
            "kavelin-cli: note: palette entry 1 is #F80000 (SNES 0x001F) in the template, but "
            "the game shows its own 0x6BDE (#F7F7D6) there: 1 cell pixel change; pixel (10, 13) "
            "of the template decides entry 1\n");
  EXPECT_TRUE(fs::exists(folder_ / "red.k7p"));
  ASSERT_EQ(Run("template -o blank.gif").exitCode, 0);
  const auto blank = Run("make blank.gif --yes");
  EXPECT_EQ(blank.exitCode, 0);
  EXPECT_EQ(blank.err.find("note:"), std::string::npos) << blank.err;
}

// Cells past the picture's edge are a note, the patch still made; too many colours stay a
// failure with the box's text, and a note after it says how many and which pixel.
TEST_F(Cli, CellsPastTheEdgeAndTooManyColoursAreExplained) {
  const image::Raster blank = image::BlankTemplate();
  image::Raster narrow(170, blank.Height());
  for (int y = 0; y < narrow.Height(); ++y) {
    for (int x = 0; x < narrow.Width(); ++x)
      narrow.Set(x, y, blank.At(x, y));
  }
  image::Raster crowded = blank;
  for (int i = 0; i < 20; ++i)
    crowded.Set(2 + i, 20, image::Rgb(static_cast<std::uint8_t>(100 + i), 1, 2));
  struct Case {
    const char* name;
    const image::Raster& picture;
    int exitCode;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"narrow.gif",
       narrow,
       0,
       {"kavelin-cli: note: the picture is 170x132 but its cells need 174x131: 96 cell pixels "
        "past its edge read the background #D4D0C8 (cell 20)\n"}},
      {"crowded.bmp",
       crowded,
       2,
       {"kavelin-cli: crowded.bmp: 色数が多すぎます。\n",
        "kavelin-cli: crowded.bmp: note: the cells hold 2",
        " colours, but at most 15 fit (the backdrop included); the first that did not fit is #"}},
  };
  for (const Case& c : cases) {
    const auto bytes = image::EncodeImageFile(c.picture, c.name);
    ASSERT_TRUE(bytes) << c.name;
    Write(c.name, std::string(bytes->begin(), bytes->end()));
    const auto r = Run(std::string("make ") + c.name + " --yes");
    EXPECT_EQ(r.exitCode, c.exitCode) << c.name << r.err;
    for (const std::string& line : c.lines)
      EXPECT_NE(r.err.find(line), std::string::npos) << c.name << ": " << r.err;
  }
  EXPECT_TRUE(fs::exists(folder_ / "narrow.k7p"));
  EXPECT_FALSE(fs::exists(folder_ / "crowded.k7p"));
}

TEST_F(Cli, ExportAndSheetFromAPatchMakeItAgain) {
  // Swapped entries make the patch's palette order differ from a fresh extraction.
  Write("swapped.json", R"({"name": "ア", "paletteSwaps": [[4, 12], [0, 9]]})");
  ASSERT_EQ(Run("make hero.gif --sheet swapped.json").exitCode, 0);
  const auto exported = Run("export hero.k7p -o back.gif");
  ASSERT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_EQ(exported.out, "back.gif\n");
  const auto sheetRun = Run("sheet --from hero.k7p");
  Write("back.json", sheetRun.out);
  EXPECT_FALSE(ValueOf(sheet::ReadSheetFile(sheetRun.out)).paletteSwaps.empty());
  ASSERT_EQ(Run("make back.gif --sheet back.json").exitCode, 0);
  EXPECT_EQ(ReadText(folder_ / "back.k7p"), ReadText(folder_ / "hero.k7p"));

  EXPECT_EQ(Run("export hero.k7p -o back.jpg").exitCode, 2);
  EXPECT_EQ(Run("export hero.k7p").exitCode, 2);
  EXPECT_EQ(Run("export hero.k7p -o gone/back.gif").exitCode, 4);
}

TEST_F(Cli, InputErrorsArePrintedAndNothingIsWritten) {
  Write("bad.json", R"({"name": " ", "jobName": "abcdefghijk",
                        "basicStatus": {"enabled": true, "lp": "100"}})");
  const auto r = Run("make hero.gif --sheet bad.json");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "名前を入力してください。\n"
            "職業名に存在しない文字が使われています。「ａ」\n"
            "LPが3～99の範囲外です。\n");
  EXPECT_FALSE(fs::exists(folder_ / "hero.k7p"));
}

TEST_F(Cli, WarningsNeedAnAnswer) {
  Write("warn.json",
        R"({"initialEquipment": {"enabled": true, "weapons": ["50", "FF", "51", "FF"]}})");
  const auto r = Run("make hero.gif --sheet warn.json");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err,
            "盾が複数装備されています。\n"
            "kavelin-cli: nothing was written; --yes goes on despite warnings\n");
  EXPECT_FALSE(fs::exists(folder_ / "hero.k7p"));

  const auto yes = Run("make hero.gif --sheet warn.json --yes");
  EXPECT_EQ(yes.exitCode, 0);
  EXPECT_EQ(yes.err, "盾が複数装備されています。\n");
  EXPECT_TRUE(fs::exists(folder_ / "hero.k7p"));
}

TEST_F(Cli, UnusableInputsExitTwoAndWriteNothing) {
  Write("notes.txt", "hello");
  Write("deep.json", std::string(1000, '['));
  Write("spell.json", R"({"initialArts": {"spells": ["FF", "FF", "B1", "FF"]}})");
  WriteOneColourBmp("plain.bmp");
  struct Case {
    std::string args, err;
  };
  const std::vector<Case> cases = {
      {"make missing.gif", "kavelin-cli: missing.gif: ファイルが読み込めません。 (no such file)\n"},
      {"make notes.txt", "kavelin-cli: notes.txt: ファイルが不正です。\n"},
      {"make hero.gif --sheet nothere.json", "kavelin-cli: nothere.json: no such file\n"},
      {"make hero.gif --sheet spell.json",
       "kavelin-cli: spell.json: initialArts.spells[2]: code \"B1\" is not in the spell list\n"},
      {"make hero.gif --sheet deep.json",
       "kavelin-cli: deep.json: document: nested more than 16 levels deep\n"},
      {"inspect hero.gif",
       "kavelin-cli: hero.gif: offset 2749: the file has 2749 bytes, fewer than "
       "the 7158 of a patch's fixed part\n"},
  };
  for (const auto& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
  }
  EXPECT_FALSE(fs::exists(folder_ / "hero.k7p"));
  EXPECT_FALSE(fs::exists(folder_ / "plain.k7p"));
  for (const char* usage :
       {"", "frobnicate", "make", "make hero.gif hero.gif --output x.k7p", "make --colour",
        "make hero.gif --sheet", "inspect", "sheet extra", "encode"}) {
    EXPECT_EQ(Run(usage).exitCode, 2) << usage;
  }
  for (const char* help :
       {"--help", "make --help", "inspect --help", "sheet --help", "encode --help"}) {
    const auto r = Run(help);
    EXPECT_EQ(r.exitCode, 0) << help;
    EXPECT_EQ(r.out.rfind("usage: kavelin-cli", 0), 0u) << help;
  }
}

TEST_F(Cli, ABatchMakesEveryPatchItCanAndReportsTheWorstOutcome) {
  fs::copy_file(folder_ / "hero.gif", folder_ / "second.gif");
  Write("broken.gif", "GIF89a");
  fs::create_directory(folder_ / "third.k7p");  // a folder where the third patch would go
  fs::copy_file(folder_ / "hero.gif", folder_ / "third.gif");
  const auto r = Run("make hero.gif broken.gif second.gif third.gif --sheet hero.json");
  EXPECT_EQ(r.exitCode, 4) << "the worst of 0, 2, 0 and 4";
  EXPECT_EQ(r.out, "hero.k7p\nsecond.k7p\n");
  EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), "broken.gif: ファイルが不正です。\n");
  EXPECT_NE(r.err.find("third.gif: パッチファイルを作成できませんでした。\nthird.gif: third.k7p\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadText(folder_ / "second.k7p"), ReadText(folder_ / "hero.k7p"));
  EXPECT_TRUE(r.err.ends_with(
      "kavelin-cli: 4 templates: 2 written, 0 stopped at warnings, 1 refused, 1 failed\n"))
      << r.err;

  // Input errors are the sheet's, so every template reports them.
  Write("bad.json", R"({"name": ""})");
  const auto errors = Run("make hero.gif second.gif --sheet bad.json");
  EXPECT_EQ(errors.exitCode, 1);
  EXPECT_EQ(errors.err,
            "hero.gif: 名前を入力してください。\nsecond.gif: 名前を入力してください。\n"
            "kavelin-cli: 2 templates: 0 written, 0 stopped at warnings, 2 refused, 0 failed\n");
}

TEST_F(Cli, AFailedWriteExitsFourAndKeepsTheOldPatch) {
  const auto r = Run("make hero.gif --output gone/hero.k7p");
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_NE(
      r.err.find(
          "パッチファイルを作成できませんでした。\ngone/hero.k7p\nフォルダが見つかりません。"),
      std::string::npos)
      << r.err;
  // Writing over the template itself is refused before anything is read.
  const auto self = Run("make hero.gif --output ./hero.gif");
  EXPECT_EQ(self.exitCode, 2);
  EXPECT_EQ(ReadText(folder_ / "hero.gif"), ReadText(kExamples / "hero.gif"));
}

TEST_F(Cli, PaletteSwapsReorderTheEntries) {
  ASSERT_EQ(Run("make hero.gif --output plain.k7p").exitCode, 0);
  Write("swap.json", R"({"paletteSwaps": [[5, 9], [0, 4]]})");
  ASSERT_EQ(Run("make hero.gif --sheet swap.json --output swapped.k7p").exitCode, 0);
  const std::string plain = ReadText(folder_ / "plain.k7p"),
                    swapped = ReadText(folder_ / "swapped.k7p");
  const auto word = [](const std::string& patch, int i) { return patch.substr(22 + 2 * i, 2); };
  EXPECT_EQ(word(swapped, 5), word(plain, 9));
  EXPECT_EQ(word(swapped, 9), word(plain, 5));
  EXPECT_EQ(word(swapped, 0), word(plain, 4));
  EXPECT_NE(swapped.substr(54), plain.substr(54)) << "the tiles follow the new indices";

  // A swap the template cannot take is left out, as the window leaves it out, and said.
  WriteOneColourBmp("plain.bmp");
  Write("empty.json", R"({"paletteSwaps": [[0, 5]]})");
  const auto skipped = Run("make plain.bmp --sheet empty.json --output skipped.k7p");
  EXPECT_EQ(skipped.exitCode, 0);
  EXPECT_EQ(skipped.err,
            "kavelin-cli: paletteSwaps: 0 ⇔ 5 left out: entry 5 is empty in this template\n");
  ASSERT_EQ(Run("make plain.bmp --output unswapped.k7p").exitCode, 0);
  EXPECT_EQ(ReadText(folder_ / "skipped.k7p"), ReadText(folder_ / "unswapped.k7p"));
}

TEST_F(Cli, EncodeShowsCodesWithTheSettingsBesideTheRealProgram) {
  const auto r = Run("encode 名無しさん お腹いっぱい。 あいぺ");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "名無しさん\t21 06 20 B1 5C 5B 7D\n"
            "お腹いっぱい。\t55 23 7D 52 81 22 67 52 E7\n"
            "あいぺ\tnot encodable: 「ぺ」\n");

  AddSettings("only_row3.ini");
  // Started through a link from another folder: the settings file is looked up beside the
  // real program, not beside the link or in the working folder.
  fs::create_directories(folder_ / "elsewhere");
  fs::create_symlink(folder_ / "kavelin-cli", folder_ / "elsewhere" / "kavelin-link");
  const int status =
      std::system(("cd / && LC_ALL=C '" + (folder_ / "elsewhere" / "kavelin-link").string() +
                   "' encode 凛 > '" + (folder_ / "out.txt").string() + "'")
                      .c_str());
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadText(folder_ / "out.txt"), "凛\t18 30\t(extended characters)\n");
}

// What a careless or hostile command line must never do: write over a file the user did
// not name as the output, or report success for output that never arrived.
class CliSafety : public Cli {
 protected:
  void SetUp() override {
    Cli::SetUp();
    ASSERT_EQ(Run("make hero.gif --sheet hero.json --output p.k7p").exitCode, 0);
    WriteOneColourBmp("b.k7p");  // a template that happens to be named like a patch
    fs::copy_file(folder_ / "hero.gif", folder_ / "a.gif");
    fs::copy_file(folder_ / "hero.gif", folder_ / "b.gif");
    WriteOneColourBmp("a.bmp");
    before_ = Snapshot();
  }
  // Every file of the folder with its bytes, and the kind of every other node.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder_.Path())) {
      const auto name = e.path().filename().string();
      if (name == "stdout.txt" || name == "stderr.txt" || name == "config") continue;
      files[name] =
          e.is_regular_file() && !e.is_symlink()
              ? ReadText(e.path())
              : "(node " + std::to_string(static_cast<int>(e.symlink_status().type())) + ")";
    }
    return files;
  }
  void ExpectUnchanged(const std::string& what) const { EXPECT_EQ(Snapshot(), before_) << what; }

  std::map<std::string, std::string> before_;
};

TEST_F(CliSafety, OutputsThatMeetAnInputOrEachOtherRefuseTheWholeRun) {
  Write("s.json", R"({"name": "アルト"})");
  before_ = Snapshot();
  const struct {
    std::string args, err;
  } cases[] = {
      {"make b.gif b.k7p --yes",
       "kavelin-cli: the patch of b.gif would be written over b.k7p, an input of this run\n"},
      {"make a.gif a.bmp --yes",
       "kavelin-cli: the patches of a.gif and a.bmp would both be written to a.k7p\n"},
      {"make a.gif ./a.gif",
       "kavelin-cli: the patches of a.gif and ./a.gif would both be "
       "written to ./a.k7p\n"},
      {"make hero.gif --sheet s.json --output s.json",
       "kavelin-cli: the patch of hero.gif would be written over s.json, an input of this run\n"},
      {"make hero.gif --sheet hero.k7p", ""},  // no clash: the sheet is not there, refused as such
      {"make b.k7p",
       "kavelin-cli: the patch of b.k7p would be written over b.k7p, an input of "
       "this run\n"},
  };
  for (const auto& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.args;
    if (!c.err.empty()) {
      EXPECT_EQ(r.err, c.err + "kavelin-cli: nothing was written\n") << c.args;
    }
    EXPECT_EQ(r.out, "") << c.args;
    ExpectUnchanged(c.args);
  }
  // A patch exported over itself.
  const auto exported = Run("export p.k7p -o ./p.k7p");
  EXPECT_EQ(exported.exitCode, 2);
  EXPECT_EQ(exported.err,
            "kavelin-cli: ./p.k7p: the template would be written over its patch; nothing was "
            "written\n");
  fs::copy_file(folder_ / "p.k7p", folder_ / "p.gif");
  before_ = Snapshot();
  EXPECT_EQ(Run("export p.gif -o p.gif").exitCode, 2);
  ExpectUnchanged("export p.gif -o p.gif");
}

TEST_F(CliSafety, AnOutputThatIsNoRegularFileIsLeftAsItIs) {
  ASSERT_EQ(::mkfifo((folder_ / "fifo.k7p").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo((folder_ / "fifo.gif").c_str(), 0644), 0);
  // The node of /dev/full itself, where the system lets us make one.
  const bool device = ::mknod((folder_ / "full.k7p").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
  before_ = Snapshot();
  std::vector<std::string> runs = {"make hero.gif --sheet hero.json --output fifo.k7p",
                                   "export p.k7p -o fifo.gif"};
  if (device) runs.push_back("make hero.gif --sheet hero.json --output full.k7p");
  for (const auto& args : runs) {
    const auto r = Run(args);
    EXPECT_EQ(r.exitCode, 4) << args;
    EXPECT_NE(r.err.find("通常のファイルではないため、置き換えられません。"), std::string::npos)
        << args << "\n"
        << r.err;
    ExpectUnchanged(args);
  }
  EXPECT_TRUE(fs::is_fifo(folder_ / "fifo.k7p"));
  if (device) {
    EXPECT_TRUE(fs::is_character_file(folder_ / "full.k7p"));
  }
}

TEST_F(CliSafety, OutputThatCannotBeWrittenIsAFailure) {
  for (const char* args :
       {"sheet", "sheet --from p.k7p", "inspect p.k7p", "inspect p.k7p --json", "encode あ"}) {
    const auto r = Run(args, "/dev/full");
    EXPECT_EQ(r.exitCode, 4) << args;
    EXPECT_EQ(r.err, "kavelin-cli: the standard output could not be written\n") << args;
  }
  ExpectUnchanged("stdout to /dev/full");
}

TEST_F(CliSafety, AmbiguousCommandLinesAreRefusedBeforeAnythingIsWritten) {
  const struct {
    std::string args, err;
  } cases[] = {
      {"make hero.gif -o a.k7p --output b.k7p",
       "kavelin-cli: -o and --output name the same thing; give one\n"},
      {"make hero.gif --output a.k7p --output b.k7p", "kavelin-cli: --output given twice\n"},
      {"make hero.gif --sheet hero.json --sheet x.json", "kavelin-cli: --sheet given twice\n"},
      {"make hero.gif --yes --yes", "kavelin-cli: --yes given twice\n"},
      {"export p.k7p -o a.gif --output b.gif",
       "kavelin-cli: -o and --output name the same "
       "thing; give one\n"},
      {"inspect -x p.k7p", "kavelin-cli: unknown option -x\n"},
  };
  for (const auto& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.args;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), c.err) << c.args;
    ExpectUnchanged(c.args);
  }
  // A lone "-" and anything after "--" are names, as usual.
  EXPECT_EQ(Run("make -- -o").err, "kavelin-cli: -o: ファイルが読み込めません。 (no such file)\n");
}

TEST_F(CliSafety, MessagesSayWhereAndWhatHappened) {
  Write("comma.json", "{\n  \"name\": \"x\",\n}\n");
  const auto syntax = Run("make hero.gif --sheet comma.json");
  EXPECT_EQ(syntax.exitCode, 2);
  EXPECT_EQ(syntax.err,
            "kavelin-cli: comma.json: document: not valid JSON at line 3, column 1: syntax error "
            "while parsing object key - unexpected '}'; expected string literal\n");
  Write("nul.json", std::string("{\"comment\":\"ok\"}\0garbage", 24));
  EXPECT_EQ(Run("make hero.gif --sheet nul.json").err,
            "kavelin-cli: nul.json: document: offset 16: bytes after the JSON value\n");
  // Control characters reach the terminal escaped, never raw.
  const auto escaped = Run("encode \"$(printf 'a\\033[31mb')\"");
  EXPECT_EQ(escaped.out, "aU+001B[31mb\tnot encodable: 「a」\n");
  EXPECT_EQ(Run("\"$(printf 'x\\033]0;t\\007')\"").err.substr(0, 46),
            "kavelin-cli: unknown command xU+001B]0;tU+0007");
}

}  // namespace
