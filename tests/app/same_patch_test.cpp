// The window and kavelin-cli run one road: a character saved from the window and made
// again on the command line gives the window's patch byte for byte.
#include <sys/wait.h>

#include <QPushButton>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/qt_text.hpp"
#include "support/file_io.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

using test_support::ReadText;

class SamePatchTest : public LoadedWindowTest {
 protected:
  // kavelin-cli in the test's folder, its messages kept; the exit code.
  int Cli(const std::string& args) {
    const std::string command = "cd '" + folder_.Path().string() + "' && '" KAVELIN_CLI "' " +
                                args + " </dev/null >cli.out 2>cli.err";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The window's patch at `file`, answering yes to the road's one question.
  void MakeInWindow(const std::filesystem::path& file) {
    window_.SetWriteOptions({.output = file, .sync = false});
    dialogs_.answers = {true};
    Get<QPushButton>("Command1")->click();
    ASSERT_TRUE(dialogs_.answers.empty());
  }
  QPushButton* Toggle(int i) { return Get<QPushButton>(QString("Check1(%1)").arg(i)); }
};

TEST_F(SamePatchTest, ASavedSheetWithSwapsGivesTheSameBytes) {
  sheet::CharacterSheet s = window_.ReadSheet();
  s.name = u"アルト";
  s.comment = u"一行目\r\n二行目";
  s.flags[0] = {true, true};
  s.basicStatus.stats[2] = u"18";
  s.flags[2] = {true, false};
  s.initialArts.techniques = {3, 7, 0, 0};
  window_.ShowSheet(s);
  for (const int entry : {5, 9, 0, 4})
    Toggle(entry)->click();
  ASSERT_EQ(window_.Document().paletteSwaps.size(), 2u);
  ASSERT_TRUE(window_.SaveSheetFile(folder_ / "alto.json"));
  MakeInWindow(folder_ / "window.k7p");

  ASSERT_EQ(Cli("make hero.bmp --sheet alto.json --output cli.k7p --yes"), 0)
      << ReadText(folder_ / "cli.err");
  EXPECT_EQ(ReadText(folder_ / "cli.k7p"), ReadText(folder_ / "window.k7p"));
  EXPECT_FALSE(ReadText(folder_ / "cli.k7p").empty());
}

TEST_F(SamePatchTest, ASwapNamingAnEmptyEntryIsLeftOutByBoth) {
  // One colour and the reserved black: every other entry is empty.
  WriteTemplate(folder_ / "plain.bmp", image::Raster(176, 132, 0x204080));
  window_.TakeInFile(folder_ / "plain.bmp");
  const std::string sheet = R"({"name": "アルト", "paletteSwaps": [[0, 5]]})";
  std::ofstream(folder_ / "plain.json", std::ios::binary) << sheet;
  dialogs_.boxes.clear();
  ASSERT_TRUE(window_.OpenSheetFile(folder_ / "plain.json"));
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_TRUE(dialogs_.boxes[0].text.endsWith(Q(u"0 ⇔ 5")));
  dialogs_.boxes.clear();
  MakeInWindow(folder_ / "window.k7p");

  ASSERT_EQ(Cli("make plain.bmp --sheet plain.json --output cli.k7p"), 0)
      << ReadText(folder_ / "cli.err");
  EXPECT_EQ(ReadText(folder_ / "cli.err"),
            "kavelin-cli: paletteSwaps: 0 ⇔ 5 left out: entry 5 is empty in this template\n");
  EXPECT_EQ(ReadText(folder_ / "cli.k7p"), ReadText(folder_ / "window.k7p"));
}

}  // namespace
}  // namespace kavelin::app::testing
