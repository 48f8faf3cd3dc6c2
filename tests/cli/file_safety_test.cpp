// The command line against hostile files and names: links, special files, files of another
// kind in an output's place, the files a run reads besides its arguments, and paths no
// file system operation should be trusted with. Each refusal leaves every file as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cli_fixture.hpp"
#include "sheet/sheet_file.hpp"
#include "support/failure_access.hpp"

namespace kavelin {
namespace {

using namespace ::kavelin::testing;

namespace fs = std::filesystem;
using test_support::ReadText;

class FileSafety : public test_support::ProgramFolder {
 protected:
  void SetUp() override {
    Write("drawing.gif", ReadText(folder_ / "hero.gif"));
    Write("drawing2.gif", ReadText(folder_ / "hero.gif") + "other");
    ASSERT_EQ(Run("make hero.gif --sheet hero.json --yes").exitCode, 0);
    ASSERT_EQ(Run("export hero.k7p -o t.bmp").exitCode, 0);
    Write("notes.txt", "mine");
    Write("my.ini", "// settings\r\n");
  }
  // Every file of the folder but the program, with its bytes; links and nodes by kind.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    Take(folder_.Path(), files);
    return files;
  }
  void Take(const fs::path& folder, std::map<std::string, std::string>& files) const {
    for (const auto& e : fs::directory_iterator(folder)) {
      const auto name = e.path().lexically_relative(folder_.Path()).string();
      if (name == "kavelin-cli" || name == "stdout.txt" || name == "stderr.txt") continue;
      const auto status = fs::symlink_status(e.path());
      if (fs::is_symlink(status)) {
        files[name] = "link to " + fs::read_symlink(e.path()).string();
      } else if (fs::is_regular_file(status)) {
        const auto size = fs::file_size(e.path());
        files[name] = size > (1 << 20) ? "size " + std::to_string(size) : ReadText(e.path());
      } else if (fs::is_directory(status)) {
        files[name] = "folder";
        Take(e.path(), files);
      } else {
        files[name] = "node";
      }
    }
  }
  struct Refusal {
    std::string args;
    int exitCode;
    std::string err;  // a part of the message
  };
  // Each run fails with its exit code and message, and leaves every file as it was.
  void ExpectRefused(const std::vector<Refusal>& cases) const {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.args);
      const auto before = Snapshot();
      const auto r = Run(c.args);
      EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
      EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
      EXPECT_EQ(Snapshot(), before);
    }
  }
  std::string Sheet(const std::string& templateKey) const {
    auto document = ValueOf(sheet::ReadSheetFile(ReadText(folder_ / "hero.json")));
    document.templateFile = templateKey;
    return sheet::WriteSheetFile(document);
  }
};

// What may stand in an output's place: a patch over a patch, an image over an image of
// its format; anything else only with --force.
TEST_F(FileSafety, AnOutputOfAnotherKindIsRefusedWithoutForce) {
  const struct {
    std::string args, output, hint;
  } refused[] = {
      {"make drawing.gif --yes --output drawing2.gif", "drawing2.gif", "a GIF picture"},
      {"make drawing.gif --yes -o notes.txt", "notes.txt", "a file of another kind"},
      {"make drawing.gif --yes -o hero.json", "hero.json", "a character sheet"},
      {"template -o drawing.gif", "drawing.gif", "already"},
      // A GIF named .bmp is no BMP, and a BMP named .png no PNG.
      {"export hero.k7p -o drawing.bmp", "drawing.bmp", "a GIF picture"},
      {"export hero.k7p -o drawing2.png", "drawing2.png", "a BMP picture"},
  };
  Write("drawing.bmp", ReadText(folder_ / "hero.gif"));
  Write("drawing2.png", ReadText(folder_ / "t.bmp"));
  for (const auto& c : refused) {
    SCOPED_TRACE(c.args);
    const auto before = Snapshot();
    const auto r = Run(c.args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(c.hint), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
    EXPECT_EQ(Snapshot(), before);
  }
  // The same kind is replaced, and --force replaces the rest.
  EXPECT_EQ(Run("make drawing.gif --yes -o hero.k7p").exitCode, 0);
  EXPECT_EQ(Run("export hero.k7p -o t.bmp").exitCode, 0);
  EXPECT_EQ(Run("make drawing.gif --yes --output drawing2.gif --force").exitCode, 0);
  EXPECT_TRUE(ReadText(folder_ / "drawing2.gif").starts_with("K7P"));
  EXPECT_EQ(Run("template -o drawing.gif --force").exitCode, 0);
}

// A link in an output's place is not replaced by a file; with --force the file it names
// is written, keeping its permissions but never set-user-ID.
TEST_F(FileSafety, AnOutputLinkIsRefusedOrWrittenThrough) {
  fs::create_directory(folder_ / "real");
  Write("real/old.k7p", ReadText(folder_ / "hero.k7p"));
  ASSERT_EQ(::chmod((folder_ / "real" / "old.k7p").c_str(), 04750), 0);
  fs::create_symlink("real/old.k7p", folder_ / "link.k7p");
  const auto before = Snapshot();
  const auto r = Run("make drawing.gif --yes -o link.k7p");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("symbolic link"), std::string::npos) << r.err;
  EXPECT_EQ(Snapshot(), before);

  ASSERT_EQ(Run("make drawing.gif --yes -o link.k7p --force").exitCode, 0);
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.k7p"));
  ASSERT_EQ(Run("make drawing.gif --yes -o fresh.k7p").exitCode, 0);
  EXPECT_EQ(ReadText(folder_ / "real" / "old.k7p"), ReadText(folder_ / "fresh.k7p"));
  struct stat info {};
  ASSERT_EQ(::stat((folder_ / "real" / "old.k7p").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0750u);
  // A new patch gets what the umask allows.
  ASSERT_EQ(Run("make drawing.gif --yes").exitCode, 0);
  ASSERT_EQ(::stat((folder_ / "drawing.k7p").c_str(), &info), 0);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(info.st_mode & 07777, 0666u & ~mask);
}

// Every file the run reads is an input no output may land on: the settings file, wherever
// it was found, and the names files.
TEST_F(FileSafety, TheSettingsAndNamesFilesAreInputsToo) {
  Write("config/kavelin/kavelin-names.tsv", "techniques\t0F\tテスト技\n");
  const std::string config = (folder_ / "config" / "kavelin").string();
  const struct {
    std::string args, input;
  } cases[] = {
      {"--ini my.ini make hero.gif --yes --output my.ini", "my.ini"},
      {"--ini my.ini make hero.gif --yes --output ./my.ini --force", "my.ini"},
      {"make hero.gif --yes --output " + config + "/kavelin-names.tsv --force",
       "kavelin-names.tsv"},
      {"--ini my.ini export hero.k7p -o my.ini", "my.ini"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const auto before = Snapshot();
    const auto r = Run(c.args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(c.input), std::string::npos) << r.err;
    EXPECT_EQ(Snapshot(), before);
  }
  Write("config/kavelin/KV7Tools.ini", "// found\r\n");
  const auto before = Snapshot();
  EXPECT_EQ(Run("make hero.gif --yes --force --output " + config + "/KV7Tools.ini").exitCode, 2);
  EXPECT_EQ(Snapshot(), before);
}

// The sheet's template key is taken from the sheet's real folder, as the kernel follows
// "..", and a template outside that folder makes its patch only where the user says.
TEST_F(FileSafety, TheTemplateKeyIsResolvedThroughLinks) {
  fs::create_directories(folder_ / "real" / "proj");
  fs::create_directories(folder_ / "work");
  Write("real/t.gif", ReadText(folder_ / "hero.gif"));
  Write("work/t.gif", "not the template");
  Write("real/proj/s.k7c", Sheet("../t.gif"));
  fs::create_directory_symlink("../real/proj", folder_ / "work" / "proj");
  const auto before = Snapshot();
  const auto refused = Run("make --sheet work/proj/s.k7c --yes");
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find((folder_ / "real" / "t.k7p").string()), std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("--output"), std::string::npos);
  EXPECT_EQ(Snapshot(), before);

  const auto made = Run("make --sheet work/proj/s.k7c --yes -o out.k7p");
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(ReadText(folder_ / "out.k7p"), ReadText(folder_ / "hero.k7p"))
      << "the template beside the link's target was read";
  EXPECT_FALSE(fs::exists(folder_ / "work" / "t.k7p"));
  // Named on the command line, the template's patch goes beside it as usual.
  EXPECT_EQ(Run("make real/t.gif --sheet work/proj/s.k7c --yes").exitCode, 0);
  EXPECT_TRUE(fs::exists(folder_ / "real" / "t.k7p"));
}

// Names that no path operation may be trusted with: each is a message and exit 2 or 4,
// never an abort, and nothing is written.
TEST_F(FileSafety, UnusablePathsAreMessagesNotAborts) {
  fs::create_directory(folder_ / "sheets");
  Write("sheets/long.k7c", Sheet(std::string(300, 'n') + ".gif"));
  fs::create_symlink("loop.gif", folder_ / "sheets" / "loop.gif");
  Write("sheets/loop.k7c", Sheet("loop.gif"));
  Write("sheets/empty.k7c", Sheet("sub/"));
  const std::vector<Refusal> cases = {
      {"make --sheet sheets/long.k7c --yes", 2, "File name too long"},
      {"make --sheet sheets/loop.k7c --yes", 2, "symbolic links"},
      {"make ''", 2, "TEMPLATE is an empty name"},
      {"make hero.gif --output ''", 2, "--output is an empty name"},
      {"make hero.gif --sheet ''", 2, "--sheet is an empty name"},
      {"export hero.k7p -o ''", 2, "-o is an empty name"},
      {"template -o ''", 2, "-o is an empty name"},
      {"--ini '' encode a", 2, "no such file"},
  };
  ExpectRefused(cases);
  // A relative output after the working folder was taken away: the write fails, exit 4.
  fs::create_directory(folder_ / "gone");
  const std::string command = "cd '" + (folder_ / "gone").string() + "' && rmdir ../gone && '" +
                              (folder_ / "kavelin-cli").string() + "' make '" +
                              (folder_ / "hero.gif").string() +
                              "' --yes -o rel.k7p >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 4);
}

// Special files in an input's or output's place: nothing waits on a pipe, a device is
// neither read nor replaced, and the exit code follows the table for every command.
TEST_F(FileSafety, SpecialFilesNeitherHangNorAreReplaced) {
  ASSERT_EQ(::mkfifo((folder_ / "fifo.ini").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo((folder_ / "fifo.gif").c_str(), 0644), 0);
  fs::create_directory(folder_ / "folder.gif");
  // A sparse settings file far over its cap.
  {
    const int fd = ::open((folder_ / "huge.ini").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{4} << 30), 0);
    ::close(fd);
  }
  const std::vector<Refusal> cases = {
      {"--ini fifo.ini encode a", 2, "not a regular file"},
      {"--ini huge.ini encode a", 2, "more than 1048576"},
      {"--ini /proc/self/mem encode a", 2, "settings file /proc/self/mem"},
      {"make fifo.gif --yes", 2, "ファイルが読み込めません。"},
      {"make hero.gif --sheet fifo.ini --yes", 2, "not a regular file"},
      {"template -o fifo.gif", 4, "fifo.gif"},
      {"template -o folder.gif", 4, "folder.gif"},
      {"export hero.k7p -o folder.gif", 4, "folder.gif"},
  };
  ExpectRefused(cases);
  // Found in its place rather than named: warned about, and the built-in table used.
  fs::rename(folder_ / "huge.ini", folder_ / "config" / "kavelin" / "KV7Tools.ini");
  const auto found = Run("encode あ");
  EXPECT_EQ(found.exitCode, 0);
  EXPECT_NE(found.err.find("KV7Tools.ini: the file is"), std::string::npos) << found.err;
}

TEST_F(FileSafety, NamesAreTakenByteForByteAndShownEscaped) {
  // A leading space is part of the name, and so of the patch's.
  Write(" hero.gif", ReadText(folder_ / "hero.gif"));
  fs::copy_file(folder_ / "hero.gif", folder_ / " hero");
  const auto before = ReadText(folder_ / "hero.k7p");
  ASSERT_EQ(Run("make ' hero' --yes").exitCode, 0);
  EXPECT_TRUE(fs::exists(folder_ / " hero.k7p"));
  EXPECT_EQ(ReadText(folder_ / "hero.k7p"), before);

  // No message lets a file name drive the terminal.
  Write("\x1b[31m.json", Sheet(""));
  for (const std::string args :
       {"make --sheet '\x1b[31m.json'", "export hero.k7p -o 'x\x1b[2J.txt'",
        "make --sheet 'gone\x1b.json'", "export hero.k7p -o '\x1b.gif'"}) {
    const auto r = Run(args);
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << args << ": " << r.err;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << args << ": " << r.out;
  }
}

// A valid picture too large for the memory the process may have is said as such, exit 4,
// never called a bad file.
TEST_F(FileSafety, LowMemoryIsNotABadFile) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' shadow memory does not fit under a small address-space limit";
#else
  constexpr int kSide = 4096;
  std::string bmp = "BM";
  const auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
      bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const std::uint32_t pixels = kSide * kSide * 3;
  put(54 + pixels, 4), put(0, 4), put(54, 4);
  put(40, 4), put(kSide, 4), put(kSide, 4), put(1, 2), put(24, 2), put(0, 4), put(pixels, 4);
  put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
  bmp.append(pixels, '\x40');
  Write("big.bmp", bmp);
  const auto r = Run("make big.bmp --yes -o big.k7p", "", "ulimit -v 131072; ");
  EXPECT_EQ(r.exitCode, 4) << r.err;
  EXPECT_NE(r.err.find("メモリが足りない"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(folder_ / "big.k7p"));
#endif
}

}  // namespace
}  // namespace kavelin
