// Files that are no files, or far too large, wherever the window reads: the settings file,
// the names files, the file of the command line and the File menu's. Each is refused at
// once with its reason in Japanese; none holds the window up.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QStatusBar>
#include <algorithm>
#include <new>

#include "app/application.hpp"
#include "app/entry_names.hpp"
#include "app/qt_text.hpp"
#include "app/recent_files.hpp"
#include "image/decoder.hpp"
#include "image/status.hpp"
#include "window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

class UnusualFilesTest : public WindowTest {
 protected:
  // A pipe, a large sparse file, a device node (root only), a folder and nothing, each
  // named `stem` with `extension`, with the reason the window gives for it.
  struct Unusual {
    std::filesystem::path file;
    std::u16string_view reason;
  };
  std::vector<Unusual> MakeUnusual(const std::string& extension) {
    std::vector<Unusual> made;
    const auto at = [&](const char* stem) { return folder_ / (stem + extension); };
    if (::mkfifo(at("pipe").c_str(), 0600) == 0)
      made.push_back({at("pipe"), u"通常のファイルではありません。"});
    {
      image::testing::WriteFile(at("huge"), {'{'});
      std::filesystem::resize_file(at("huge"), std::uintmax_t{2} << 30);
      made.push_back({at("huge"), u"ファイルが大きすぎます（上限 "});
    }
    // A zero device of the test's own: reading it never ends, if anything tried.
    if (::geteuid() == 0 && ::mknod(at("zero").c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0)
      made.push_back({at("zero"), u"ファイルが読み込めません。"});
    std::filesystem::create_directory(at("folder"));
    made.push_back({at("folder"), u"通常のファイルではありません。"});
    made.push_back({at("missing"), u"ファイルが見つかりません。"});
    return made;
  }
  QStatusBar* StatusBar() { return Get<QStatusBar>("StatusBar"); }
};

TEST_F(UnusualFilesTest, ASettingsFileThatCannotBeReadIsSaidAndTheBuiltInTableUsed) {
  for (const Unusual& settings : MakeUnusual(".ini")) {
    SCOPED_TRACE(settings.file);
    dialogs_.boxes.clear();
    MainWindow window(dialogs_, image::DecodeImageFile, settings.file);
    const auto& table = window.Codes().ExtendedTable();
    EXPECT_TRUE(std::all_of(table.begin(), table.end(), [](char16_t c) { return c == u'　'; }));

    // Named with --ini: a stop box with the file and why.
    WarnAboutSettings(dialogs_, window, true);
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0].icon, BoxIcon::kStop);
    const QStringList lines = dialogs_.boxes[0].text.split("\r\n");
    ASSERT_EQ(lines.size(), 3) << dialogs_.boxes[0].text.toStdString();
    EXPECT_EQ(lines[0], Q(u"設定ファイルが読み込めません。"));
    EXPECT_EQ(lines[1], DisplayPath(settings.file));
    EXPECT_TRUE(lines[2].contains(Q(settings.reason))) << lines[2].toStdString();

    // Found in its place: no box, but the status line says it, the reason before the name.
    dialogs_.boxes.clear();
    RecentFiles recent(folder_ / "kavelin.conf");
    ShowWorkNotes(window, recent, false);
    EXPECT_TRUE(dialogs_.boxes.empty());
    const QString note = window.findChild<QStatusBar*>("StatusBar")->currentMessage();
    EXPECT_TRUE(note.startsWith(Q(u"設定ファイルを読み込めないため、拡張文字なしで始めました: ") +
                                lines[2] + ' ' + DisplayPath(settings.file)))
        << note.toStdString();
    if (settings.reason != u"ファイルが見つかりません。") {
      auto* status = window.findChild<QLabel*>("SettingsStatus");
      EXPECT_EQ(status->text(), Q(u"設定ファイルを読めません（拡張文字なし）"));
      EXPECT_TRUE(status->toolTip().endsWith(DisplayPath(settings.file)));
    }
  }
}

TEST_F(UnusualFilesTest, FilesToOpenThatAreNoFilesAreRefusedAtOnce) {
  for (const Unusual& file : MakeUnusual(".k7c")) {
    SCOPED_TRACE(file.file);
    // Told by content on the command line: none is a sheet, so each is a template that
    // does not load.
    dialogs_.boxes.clear();
    window_.OpenCommandLineFile(file.file);
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0].title, Q(u"読み込みエラー"));
    EXPECT_FALSE(window_.Template().Loaded());
    dialogs_.boxes.clear();
    window_.TakeInFile(file.file);
    EXPECT_EQ(dialogs_.boxes.size(), 1u);

    // Opened as a sheet or a patch: the reason, the cap of the kind for a file too large.
    for (const bool patch : {false, true}) {
      dialogs_.boxes.clear();
      EXPECT_FALSE(patch ? window_.OpenPatchFile(file.file) : window_.OpenSheetFile(file.file));
      ASSERT_EQ(dialogs_.boxes.size(), 1u);
      const QString reason = dialogs_.boxes[0].text.split("\r\n").value(2);
      EXPECT_TRUE(reason.contains(Q(file.reason))) << reason.toStdString();
      if (file.reason.starts_with(u"ファイルが大きすぎます")) {
        EXPECT_EQ(reason, patch ? Q(u"ファイルが大きすぎます（上限 1 MiB）。")
                                : Q(u"ファイルが大きすぎます（上限 64 MiB）。"));
      }
    }
  }
}

TEST_F(UnusualFilesTest, NamesFilesSayTheLineAndReasonBeforeTheFile) {
  const std::filesystem::path bad = folder_ / "bad.tsv", pipe = folder_ / "pipe.tsv";
  image::testing::WriteFile(bad, {'n', 'o', 'n', 's', 'e', 'n', 's', 'e', '\n'});
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::filesystem::path places[] = {pipe, folder_ / "missing.tsv", bad};
  const sheet::NamesLoad load = ReadWindowNames(places);
  ASSERT_EQ(load.problems.size(), 2u);
  EXPECT_EQ(load.filesRead, (std::vector<std::filesystem::path>{bad}));
  const QString fileNote = NamesNote(load.problems);
  EXPECT_EQ(fileNote, Q(u"名前ファイルを読み込みませんでした: ファイルが読み込めません。フォルダ、"
                        u"パイプ、装置などで、通常のファイルではありません。 ") +
                          DisplayPath(pipe) + Q(u"（ほか 1 件）"));
  const QString lineNote = NamesNote({load.problems[1]});
  EXPECT_TRUE(lineNote.startsWith(Q(u"名前ファイルの 1 行目を飛ばしました（")))
      << lineNote.toStdString();
  EXPECT_TRUE(lineNote.endsWith(DisplayPath(bad))) << lineNote.toStdString();

  // However long, the whole note is the bar's tooltip and what a screen reader reads.
  const QString longNote = lineNote + QString(300, u'x');
  window_.ShowNote(longNote);
  EXPECT_EQ(StatusBar()->toolTip(), longNote);
  EXPECT_EQ(StatusBar()->accessibleDescription(), longNote);
}

TEST_F(UnusualFilesTest, LowMemoryIsSaidAsSuchNotAsABadFile) {
  const std::filesystem::path file = folder_ / "hero.bmp";
  WriteTemplate(file, image::testing::Margined(image::testing::kWhite, {}));
  MainWindow window(
      dialogs_,
      [](const std::filesystem::path&) -> std::optional<image::Raster> { throw std::bad_alloc(); },
      folder_ / "KV7Tools.ini");
  for (const bool startUp : {false, true}) {
    dialogs_.boxes.clear();
    if (startUp) {
      window.LoadCommandLineTemplate(file);
    } else {
      window.TakeInFile(file);
    }
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0].text, Q(image::kOutOfMemoryMessage));
    EXPECT_FALSE(window.Template().Loaded());
  }
}

}  // namespace
}  // namespace kavelin::app::testing
