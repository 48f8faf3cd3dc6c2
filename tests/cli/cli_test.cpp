// Drives the real kavelin-cli executable.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct CommandResult {
  int exitCode;
  std::string out;
};

CommandResult RunCommand(const std::string& command) {
  CommandResult run{-1, {}};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer;
  while (const std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) {
    run.out.append(buffer.data(), n);
  }
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A private copy of the program in its own folder, so a settings file can sit beside it.
class CliInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("kavelin-cli-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::copy_file(KAVELIN_CLI, folder_ / "kavelin-cli");
  }
  void TearDown() override { fs::remove_all(folder_); }
  void AddSettings(const char* fixture) {
    fs::copy_file(fs::path(KAVELIN_TEST_DATA) / "settings" / fixture, folder_ / "KV7Tools.ini");
  }
  std::string Cli() const { return (folder_ / "kavelin-cli").string(); }
  fs::path folder_;
};

TEST_F(CliInstall, EncodesTextsWithTheirStatus) {
  const CommandResult run = RunCommand(Cli() + " encode 名無しさん お腹いっぱい。");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(run.out,
            "名無しさん\t21 06 20 B1 5C 5B 7D\n"
            "お腹いっぱい。\t55 23 7D 52 81 22 67 52 E7\n");

  const CommandResult bad = RunCommand(Cli() + " encode あいぺ");
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_EQ(bad.out, "あいぺ\tnot encodable: 「ぺ」\n");
}

TEST_F(CliInstall, ReadsTheSettingsFileBesideTheRealExecutable) {
  AddSettings("only_row3.ini");
  // Started through a link from another folder, with yet another working directory: the
  // settings file is looked up beside the real program, not beside the link.
  const fs::path elsewhere = folder_ / "elsewhere";
  fs::create_directories(elsewhere);
  fs::create_symlink(folder_ / "kavelin-cli", elsewhere / "kavelin-link");
  const CommandResult run =
      RunCommand("cd / && " + (elsewhere / "kavelin-link").string() + " encode 凛");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(run.out, "凛\t18 30\t(extended characters)\n");
}

TEST_F(CliInstall, UsageErrors) {
  EXPECT_EQ(RunCommand(Cli()).exitCode, 2);
  EXPECT_EQ(RunCommand(Cli() + " encode").exitCode, 2);
  EXPECT_EQ(RunCommand(Cli() + " frobnicate").exitCode, 2);
  // A byte that cannot start UTF-8.
  EXPECT_EQ(RunCommand(Cli() + " encode \"$(printf '\\377')\"").exitCode, 2);
  const CommandResult help = RunCommand(Cli() + " --help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: kavelin-cli"), std::string::npos);
}

}  // namespace
