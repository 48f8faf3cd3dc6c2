// The record of recent work on disk: only the user's own regular file is ever replaced, a
// pipe in its place never holds the window up, and the text stays the INI that older
// records were kept in.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QSettings>
#include <functional>

#include "app/qt_text.hpp"
#include "app/recent_files.hpp"
#include "support/file_io.hpp"

namespace kavelin::app::testing {
namespace {

using test_support::Bytes;
using test_support::ReadAll;
using test_support::TempFolder;
using test_support::WriteAll;

// What a path is, as lstat and the bytes tell it, to see that nothing about it changed.
struct Snapshot {
  mode_t mode = 0;
  dev_t device = 0;
  uid_t owner = 0;
  std::filesystem::path link;
  Bytes bytes;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const std::filesystem::path& file) {
  Snapshot shot;
  struct stat info {};
  if (::lstat(file.c_str(), &info) != 0) return shot;
  shot.mode = info.st_mode;
  shot.device = info.st_rdev;
  shot.owner = info.st_uid;
  if (S_ISLNK(info.st_mode)) shot.link = std::filesystem::read_symlink(file);
  if (S_ISREG(info.st_mode)) shot.bytes = ReadAll(file);
  return shot;
}

constexpr std::string_view kRecord =
    "[folders]\nsheet=/keep/sheets\n\n[recent]\n1\\kind=sheet\n1\\path=/keep/a.k7c\nsize=1\n";

class RecentRecordTest : public ::testing::Test {
 protected:
  RecentRecordTest() { WriteAll(work_, "x"); }
  TempFolder folder_;
  std::filesystem::path record_ = folder_ / "kavelin.conf";
  std::filesystem::path work_ = folder_ / "hero.k7c";
};

TEST_F(RecentRecordTest, ARecordThatIsNotTheUsersOwnFileIsLeftExactlyAsItIs) {
  const std::filesystem::path other = folder_ / "notes.txt";
  struct Case {
    const char* name;
    std::function<bool()> make;  // false when this system cannot make it
    std::u16string_view reason;
  };
  const bool root = ::geteuid() == 0;
  const std::vector<Case> cases = {
      {"link to a file",
       [&] {
         WriteAll(other, std::string(kRecord));
         std::filesystem::create_symlink(other, record_);
         return true;
       },
       u"記録のファイルがシンボリックリンクです。"},
      {"pipe", [&] { return ::mkfifo(record_.c_str(), 0600) == 0; },
       u"通常のファイルではありません。"},
      {"device",
       [&] { return root && ::mknod(record_.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0; },
       u"通常のファイルではありません。"},
      {"link to a device",
       [&] {
         return root && ::mknod(other.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0 &&
                ::symlink(other.c_str(), record_.c_str()) == 0;
       },
       u"記録のファイルがシンボリックリンクです。"},
      {"folder", [&] { return std::filesystem::create_directory(record_); },
       u"通常のファイルではありません。"},
      {"binary garbage",
       [&] {
         WriteAll(record_, std::string("\x7f"
                                       "ELF\x02\x01\x00\xff\xfe",
                                       9));
         return true;
       },
       u"記録の 1 行目が読み取れません。"},
      {"a line that is no INI",
       [&] {
         WriteAll(record_, "[recent]\nthis is not a key\nsize=0\n");
         return true;
       },
       u"記録の 2 行目が読み取れません。"},
      {"too large",
       [&] {
         WriteAll(record_, std::string(kMaxRecentRecordBytes + 1, ';'));
         return true;
       },
       u"ファイルが大きすぎます（上限 1 MiB）。"},
      {"another user's file",
       [&] {
         WriteAll(record_, std::string(kRecord));
         return root && ::chown(record_.c_str(), 65534, 65534) == 0;
       },
       u"記録のファイルがほかのユーザーのものです。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(record_);
    std::filesystem::remove_all(other);
    // Made only where the system lets the test (a device node needs root).
    if (!c.make()) continue;
    const Snapshot before = Take(record_), targetBefore = Take(other);
    const auto listing = test_support::Listing(folder_.Path());

    RecentFiles recent(record_);
    recent.Add(FileKind::kSheet, work_);
    recent.SetFolder(FileKind::kPatch, DisplayPath(folder_.Path()));
    recent.Remove(folder_ / "gone.k7p");
    EXPECT_FALSE(recent.Writable());
    // The list lives on in memory for this run.
    ASSERT_FALSE(recent.Files().empty());
    EXPECT_EQ(recent.Files().front(), (RecentFile{FileKind::kSheet, work_}));
    EXPECT_EQ(recent.Folder(FileKind::kPatch), DisplayPath(folder_.Path()));

    EXPECT_EQ(Take(record_), before);
    EXPECT_EQ(Take(other), targetBefore);
    EXPECT_EQ(test_support::Listing(folder_.Path()), listing) << "nothing left beside it";
    // Said once: why, then which file.
    const QString note = recent.TakeNote();
    EXPECT_TRUE(note.startsWith(Q(u"最近使ったファイルは保存されません: "))) << note.toStdString();
    EXPECT_TRUE(note.contains(Q(c.reason))) << note.toStdString();
    EXPECT_TRUE(note.endsWith(DisplayPath(record_))) << note.toStdString();
    recent.Add(FileKind::kTemplate, work_);
    EXPECT_TRUE(recent.TakeNote().isEmpty());
  }
}

TEST_F(RecentRecordTest, AMissingOrOwnRecordIsWrittenAndKeepsWhatElseItHolds) {
  // Missing, in a folder that is not there yet either.
  const std::filesystem::path fresh = folder_ / "config" / "kavelin" / "kavelin.conf";
  RecentFiles(fresh).Add(FileKind::kPatch, work_);
  EXPECT_EQ(RecentFiles(fresh).Files(), (std::vector<RecentFile>{{FileKind::kPatch, work_}}));

  // The user's own record, with keys of another version's beside the window's.
  WriteAll(record_, "[General]\ntheme=dark\n\n" + std::string(kRecord) + "[folders]\nold=/x\n");
  {
    RecentFiles recent(record_);
    EXPECT_TRUE(recent.Writable());
    EXPECT_EQ(recent.Files(), (std::vector<RecentFile>{{FileKind::kSheet, "/keep/a.k7c"}}));
    recent.Add(FileKind::kSheet, work_);
    EXPECT_TRUE(recent.TakeNote().isEmpty());
  }
  RecentFiles again(record_);
  EXPECT_EQ(again.Files(), (std::vector<RecentFile>{{FileKind::kSheet, work_},
                                                    {FileKind::kSheet, "/keep/a.k7c"}}));
  QSettings raw(DisplayPath(record_), QSettings::IniFormat);
  EXPECT_EQ(raw.value("theme").toString(), "dark");
  EXPECT_EQ(raw.value("folders/old").toString(), "/x");
  EXPECT_EQ(raw.value("folders/sheet").toString(), DisplayPath(folder_.Path()));
}

TEST_F(RecentRecordTest, PathsOfEveryShapeReadBackAsQSettingsWritesAndReadsThem) {
  const std::vector<std::string> paths = {
      "/plain/a.k7c",           "/with space/a b.k7p", "/a,b;c=d/x.gif", "/quote\"and\\back/x.bmp",
      "/日本語/フォルダ/x.k7c", "/ lead/trail .k7c",   "/@at/x.k7p",     "/hex\\x41/0a.k7c",
  };
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    // Ours, read by QSettings.
    std::filesystem::remove(record_);
    RecentFiles(record_).Add(FileKind::kTemplate, path);
    {
      QSettings raw(DisplayPath(record_), QSettings::IniFormat);
      ASSERT_EQ(raw.beginReadArray("recent"), 1);
      raw.setArrayIndex(0);
      EXPECT_EQ(raw.value("path").toString(), DisplayPath(path));
      EXPECT_EQ(raw.value("kind").toString(), "template");
      raw.endArray();
      EXPECT_EQ(raw.value("folders/template").toString(),
                DisplayPath(std::filesystem::path(path).parent_path()));
    }
    // QSettings', read by ours.
    std::filesystem::remove(record_);
    {
      QSettings raw(DisplayPath(record_), QSettings::IniFormat);
      raw.beginWriteArray("recent", 1);
      raw.setArrayIndex(0);
      raw.setValue("kind", "patch");
      raw.setValue("path", DisplayPath(path));
      raw.endArray();
    }
    RecentFiles read(record_);
    EXPECT_EQ(read.Files(), (std::vector<RecentFile>{{FileKind::kPatch, path}}));
    EXPECT_TRUE(read.Writable());
  }
}

}  // namespace
}  // namespace kavelin::app::testing
