// The program-wide options of kavelin-cli and the blank template, run as a user would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/file_io.hpp"

namespace kavelin {
namespace {

namespace fs = std::filesystem;
using test_support::ReadText;
using test_support::WriteAll;

struct Result {
  int exitCode = -1;
  std::string out, err;
};

class CliOptions : public ::testing::Test {
 protected:
  // Runs in the test's folder, with XDG_CONFIG_HOME inside it, so that no settings file
  // of the machine's user is found.
  Result Run(const std::string& args) const {
    const std::string command = "cd '" + temp_.Path().string() + "' && LC_ALL=C XDG_CONFIG_HOME='" +
                                (temp_ / "config").string() + "' '" KAVELIN_CLI "' " + args +
                                " </dev/null >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(temp_ / "out.txt"),
            ReadText(temp_ / "err.txt")};
  }
  test_support::TempFolder temp_;
};

TEST_F(CliOptions, VersionAndHelpNeedNothingElse) {
  const Result version = Run("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "kavelin-cli " KAVELIN_VERSION "\n");
  const Result help = Run("--ini nowhere.ini --help");
  EXPECT_EQ(help.exitCode, 2) << "a named settings file must be there";
  EXPECT_EQ(help.err, "kavelin-cli: settings file nowhere.ini: no such file\n");
  EXPECT_EQ(Run("--ini").exitCode, 2);
  EXPECT_EQ(Run("template --help").exitCode, 0);
}

TEST_F(CliOptions, TheSettingsFileUsedIsNamedAndAForeignLineWarned) {
  // Nothing anywhere: no line about settings.
  Result r = Run("encode ア");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");

  // The user's configuration folder.
  fs::create_directories(temp_ / "config" / "kavelin");
  fs::copy_file(fs::path(KAVELIN_TEST_DATA) / "settings" / "only_row3.ini",
                temp_ / "config" / "kavelin" / "KV7Tools.ini");
  r = Run("encode 凛");
  EXPECT_EQ(r.out, "凛\t18 30\t(extended characters)\n");
  EXPECT_EQ(r.err, "kavelin-cli: settings file " +
                       (temp_ / "config" / "kavelin" / "KV7Tools.ini").string() + "\n");

  // --ini wins over the search; a file saved as UTF-8 is warned about, with its line.
  WriteAll(temp_ / "utf8.ini", "// saved as UTF-8\r\n3 = \xE5\x87\x9B, x\r\n");
  r = Run("--ini utf8.ini encode 凛");
  EXPECT_EQ(r.exitCode, 1) << "凛 is not in the table read as code page 932";
  EXPECT_EQ(r.err,
            "kavelin-cli: settings file utf8.ini\n"
            "kavelin-cli: warning: utf8.ini line 2 is not Shift_JIS (code page 932) text, which "
            "the settings file must be; it is read as code page 932 all the same\n");
}

TEST_F(CliOptions, ABlankTemplateIsWrittenAndMakesAPatch) {
  for (const char* name : {"blank.gif", "blank.bmp"}) {
    const Result r = Run(std::string("template -o ") + name);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, std::string(name) + "\n");
    const Result made = Run(std::string("make --yes ") + name);
    EXPECT_EQ(made.exitCode, 0) << made.err;
  }
  EXPECT_TRUE(fs::exists(temp_ / "blank.k7p"));

  // Refusals write nothing and keep what was there.
  WriteAll(temp_ / "keep.txt", "mine");
  EXPECT_EQ(Run("template -o keep.txt").exitCode, 2);
  EXPECT_EQ(ReadText(temp_ / "keep.txt"), "mine");
  EXPECT_EQ(Run("template").exitCode, 2);
  EXPECT_EQ(Run("template extra -o x.gif").exitCode, 2);
  fs::create_directory(temp_ / "folder.gif");
  EXPECT_EQ(Run("template -o folder.gif").exitCode, 4) << "never replaced, as make and export";
  const Result failed = Run("template -o gone/blank.gif");
  EXPECT_EQ(failed.exitCode, 4);
  EXPECT_EQ(failed.err.rfind("kavelin-cli: gone/blank.gif: ", 0), 0u) << failed.err;
  EXPECT_FALSE(fs::exists(temp_ / "x.gif"));
}

}  // namespace
}  // namespace kavelin
