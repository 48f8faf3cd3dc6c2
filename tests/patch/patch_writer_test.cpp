#include "patch/patch_writer.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>

#include "patch/atomic_file.hpp"
#include "patch_fixtures.hpp"

namespace kavelin::patch {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const Bytes& bytes) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs `body` in a child process and returns its exit code. As root, the child first
// becomes an ordinary user, so that folder permissions apply to it.
int InChild(const std::function<int()>& body, bool unprivileged = false) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class PatchWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kavelin-writer-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    fs::permissions(folder_, fs::perms::all);  // reachable by the unprivileged child
    templateImage_ = testing::StripedTemplate(folder_ / "hero.gif");
    WriteAll(templateImage_.path, {'G', 'I', 'F'});
  }
  void TearDown() override {
    fs::permissions(folder_, fs::perms::owner_all);
    fs::remove_all(folder_);
  }
  WriteResult Write(const sheet::CharacterSheet& s = {}) {
    return WritePatchFile(s, codes_, templateImage_);
  }
  fs::path Patch() const { return folder_ / "hero.k7p"; }

  fs::path folder_;
  text::CodeTable codes_;
  image::TemplateImage templateImage_;
};

TEST_F(PatchWriter, WritesBesideTheTemplateAndReplacesAnOlderPatchWhole) {
  WriteAll(Patch(), Bytes(20000, 0xAA));  // older and longer
  const auto result = Write();
  ASSERT_EQ(result.status, WriteStatus::kWritten)
      << std::string(result.message.begin(), result.message.end());
  EXPECT_EQ(result.output, Patch());
  const Bytes first = ReadAll(Patch());
  EXPECT_EQ(first.size(), 7158u);
  EXPECT_EQ(Write().status, WriteStatus::kWritten);
  EXPECT_EQ(ReadAll(Patch()), first);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif", "hero.k7p"}));
}

TEST_F(PatchWriter, AMissingFolderFailsCleanly) {
  templateImage_.path = folder_ / "gone" / "hero.gif";
  const auto result = Write();
  EXPECT_EQ(result.status, WriteStatus::kFailed);
  EXPECT_NE(result.message.find(u"フォルダが見つかりません。"), std::u16string::npos);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif"}));
}

TEST_F(PatchWriter, AReadOnlyFolderKeepsTheOldPatch) {
  const Bytes old(9000, 0x11);
  WriteAll(Patch(), old);
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read |
                               fs::perms::others_exec);
  const int code = InChild(
      [&] {
        const auto r = Write();
        return r.status == WriteStatus::kFailed &&
                       r.message.find(u"書き込みが許可されていません。") != std::u16string::npos
                   ? 0
                   : 1;
      },
      /*unprivileged=*/true);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadAll(Patch()), old);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif", "hero.k7p"}));
}

TEST_F(PatchWriter, ADiskThatFillsPartWayKeepsTheOldPatch) {
  const Bytes old(3000, 0x22);
  WriteAll(Patch(), old);
  const int code = InChild([&] {
    // The file-size limit stops the write after 4 KB, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto r = Write();
    return r.status == WriteStatus::kFailed &&
                   r.message.find(u"ファイルサイズの上限を超えました。") != std::u16string::npos
               ? 0
               : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadAll(Patch()), old);
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif", "hero.k7p"}));
}

TEST_F(PatchWriter, NeverReplacesTheTemplateItself) {
  const fs::path k7pTemplate = folder_ / "hero.k7p";
  WriteAll(k7pTemplate, {'B', 'M', 1, 2, 3});
  templateImage_.path = k7pTemplate;
  const auto result = Write();
  EXPECT_EQ(result.status, WriteStatus::kFailed);
  EXPECT_EQ(ReadAll(k7pTemplate), (Bytes{'B', 'M', 1, 2, 3}));
  // Also when the explicit output names it by another spelling.
  templateImage_.path = folder_ / "hero.gif";
  const auto viaOutput = WritePatchFile({}, codes_, templateImage_,
                                        {.output = folder_ / "." / "hero.gif", .sync = false});
  EXPECT_EQ(viaOutput.status, WriteStatus::kFailed);
  EXPECT_EQ(ReadAll(folder_ / "hero.gif"), (Bytes{'G', 'I', 'F'}));
}

TEST_F(PatchWriter, AFolderInTheWayIsReportedAndKept) {
  fs::create_directory(Patch());
  WriteAll(Patch() / "inside", {1});
  const auto result = Write();
  EXPECT_EQ(result.status, WriteStatus::kFailed);
  EXPECT_TRUE(fs::is_directory(Patch()));
  EXPECT_EQ(Listing(folder_), (std::vector<std::string>{"hero.gif", "hero.k7p"}));
}

TEST_F(PatchWriter, ASheetThatCannotBeWrittenLeavesTheOldPatch) {
  WriteAll(Patch(), {7, 7, 7});
  sheet::CharacterSheet s;
  s.name = u"ABC";  // skipped the error pass: not widened
  EXPECT_EQ(Write(s).status, WriteStatus::kFailed);
  EXPECT_EQ(ReadAll(Patch()), (Bytes{7, 7, 7}));
}

TEST(AtomicFile, KeepsThePermissionsOfAReplacedFile) {
  const fs::path p = fs::temp_directory_path() / ("kavelin-perm-" + std::to_string(getpid()));
  WriteAll(p, {1});
  fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(WriteFileAtomically(p, Bytes{1, 2, 3}, false).ok);
  EXPECT_EQ(fs::status(p).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(ReadAll(p), (Bytes{1, 2, 3}));
  fs::remove(p);
}

}  // namespace
}  // namespace kavelin::patch
