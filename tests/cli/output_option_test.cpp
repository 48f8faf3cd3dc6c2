// -o and --output on every command that writes a file, and --force wherever a file of
// another kind would be replaced: the file holds what the command prints without them,
// and a refusal leaves every file as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "cli_fixture.hpp"

namespace kavelin {
namespace {

namespace fs = std::filesystem;
using test_support::ReadText;

class OutputOption : public test_support::ProgramFolder {
 protected:
  void SetUp() override {
    ASSERT_EQ(Run("make hero.gif --sheet hero.json --yes").exitCode, 0);
    Write("notes.txt", "mine");
    Write("config/kavelin/kavelin-names.tsv", "techniques\t0F\tテスト技\n");
    fs::create_directory(folder_ / "folder.k7c");
  }
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder_.Path())) {
      const std::string name = e.path().lexically_relative(folder_.Path()).string();
      if (name != "kavelin-cli" && name != "stdout.txt" && name != "stderr.txt")
        files[name] = e.is_regular_file() ? ReadText(e.path()) : "folder";
    }
    return files;
  }
};

TEST_F(OutputOption, EachCommandWritesWhatItPrintsToTheFileEitherSpellingNames) {
  const struct {
    std::string command, output;
    bool prints;  // the file holds what the command prints without -o
  } cases[] = {
      {"sheet", "s.k7c", true},
      {"sheet --from hero.k7p", "s.k7c", true},
      {"inspect hero.k7p", "i.txt", true},
      {"inspect hero.k7p --json", "i.json", true},
      {"names", "n.tsv", true},
      {"export hero.k7p", "e.gif", false},
      {"template", "t.png", false},
  };
  for (const auto& c : cases) {
    std::string first;
    for (const std::string spelling : {"-o", "--output"}) {
      SCOPED_TRACE(c.command + " " + spelling);
      fs::remove(folder_ / c.output);
      const auto r = Run(c.command + " " + spelling + " " + c.output);
      ASSERT_EQ(r.exitCode, 0) << r.err;
      EXPECT_EQ(r.out, c.output + "\n");
      const std::string written = ReadText(folder_ / c.output);
      EXPECT_FALSE(written.empty());
      if (c.prints) {
        EXPECT_EQ(written, Run(c.command).out);
      }
      if (!first.empty()) {
        EXPECT_EQ(written, first);
      }
      first = written;
    }
  }
  // The same kind is replaced as it is: a sheet file by a sheet file.
  EXPECT_EQ(Run("inspect hero.k7p --json -o s.k7c").exitCode, 0);
  EXPECT_EQ(ReadText(folder_ / "s.k7c"), Run("inspect hero.k7p --json").out);
}

TEST_F(OutputOption, AFileInTheWayOrAnInputIsRefusedAndKept) {
  const std::string userNames = "config/kavelin/kavelin-names.tsv";
  const struct {
    std::string args;
    int exitCode;
    std::string err;  // a part of the message
  } cases[] = {
      {"sheet -o notes.txt", 2, "there is a file of another kind there, not a character sheet"},
      {"sheet --output hero.k7p", 2, "there is a patch there, not a character sheet; --force"},
      {"inspect hero.k7p -o hero.json", 2, "there is a character sheet there already; --force"},
      {"names -o notes.txt", 2, "there is a file of another kind there already; --force"},
      // What the run reads is never its output, --force or not: a shell's "names > FILE"
      // would have emptied the user's names file before it was read.
      {"names -o " + userNames + " --force", 2, "an input of this run; nothing was written"},
      {"sheet --from hero.k7p -o ./hero.k7p --force", 2, "hero.k7p, an input of this run"},
      {"inspect hero.k7p --json --output hero.k7p --force", 2, "an input of this run"},
      {"sheet -o a.k7c --output b.k7c", 2, "-o and --output name the same thing; give one"},
      {"names --output ''", 2, "--output is an empty name"},
      {"inspect hero.k7p -o", 2, "-o needs a value"},
      {"encode -o x.txt あ", 2, "unknown option -o"},  // encode only prints
      {"sheet -o folder.k7c", 4, "folder.k7c"},
      {"names -o gone/n.tsv", 4, "gone/n.tsv"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const auto before = Snapshot();
    const auto r = Run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Snapshot(), before);
  }
  // --force replaces a file of another kind, and a names file only with it.
  EXPECT_EQ(Run("sheet -o notes.txt --force").exitCode, 0);
  EXPECT_EQ(ReadText(folder_ / "notes.txt"), Run("sheet").out);
  ASSERT_EQ(Run("names -o n.tsv").exitCode, 0);
  EXPECT_EQ(Run("names -o n.tsv").exitCode, 2);
  EXPECT_EQ(Run("names -o n.tsv --force").exitCode, 0);
}

}  // namespace
}  // namespace kavelin
