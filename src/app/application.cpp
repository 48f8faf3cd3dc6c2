#include "app/application.hpp"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QStringList>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "app/dialogs.hpp"
#include "app/entry_names.hpp"
#include "app/file_reasons.hpp"
#include "app/list_accessible.hpp"
#include "app/main_window.hpp"
#include "app/name_editor.hpp"
#include "app/qt_text.hpp"
#include "app/recent_files.hpp"
#include "app/translations.hpp"
#include "app/window_texts.hpp"
#include "image/decoder.hpp"
#include "sheet/names_file.hpp"
#include "text/settings_file.hpp"

namespace kavelin::app {
namespace {

// Quits the event loop once the watched widget has painted.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) QCoreApplication::quit();
    return QObject::eventFilter(watched, event);
  }
};

constexpr std::string_view kUsage =
    "usage: kavelin [--ini SETTINGS] [FILE]\n"
    "       kavelin --version | --help\n"
    "\n"
    "Opens the character designer's window. FILE, when given, is opened by what it holds:\n"
    "a template image (GIF, BMP or PNG), a patch (.k7p) or a character sheet (.k7c, .json).\n"
    "\n"
    "  --ini SETTINGS     read this KV7Tools.ini instead of the one beside the program\n"
    "                     or in ~/.config/kavelin\n"
    "  --version          print the version\n"
    "\n"
    "man kavelin tells more.\n";

// The program's own arguments. The first other argument is the file to open; the rest,
// Qt's own among them, are left to Qt.
struct StartArguments {
  std::string file;
  std::optional<std::filesystem::path> settings;
  bool version = false;
  bool help = false;
  std::string error;
};

StartArguments ParseStartArguments(int argc, char* argv[]) {
  StartArguments args;
  bool fileNamed = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (fileNamed) break;
    if (arg == "--version") {
      args.version = true;
    } else if (arg == "--help" || arg == "-h") {
      args.help = true;
    } else if (arg == "--ini") {
      if (i + 1 >= argc) {
        args.error = "--ini needs a value";
        return args;
      }
      args.settings = argv[++i];
    } else {
      if (arg == "--" && i + 1 < argc) ++i;
      args.file = argv[i];
      fileNamed = true;
    }
  }
  return args;
}

}  // namespace

void WarnAboutSettings(Dialogs& dialogs, const MainWindow& window, bool named) {
  const std::filesystem::path& file = window.SettingsFile();
  const text::SettingsFileRead& read = window.SettingsRead();
  if (file.empty()) return;
  if (!read && named) {
    dialogs.Show(Q(kSettingsUnreadable) + "\r\n" + DisplayPath(file) + "\r\n" +
                     ReadProblemReason(read.Why()),
                 BoxIcon::kStop, Q(kReadErrorTitle));
  } else if (read && read->foreignLine != 0) {
    dialogs.Show(Q(kSettingsLineNotShiftJis).arg(read->foreignLine) + "\r\n" + DisplayPath(file),
                 BoxIcon::kExclamation, Q(kSettingsCautionTitle));
  }
}

void ShowWorkNotes(MainWindow& window, RecentFiles& recent, bool settingsNamed) {
  QStringList notes;
  if (const QString names = window.EntryNames().LoadAtStart(); !names.isEmpty()) notes << names;
  // A settings file named with --ini has had its box; one found in its place is said here.
  const text::SettingsFileRead& settings = window.SettingsRead();
  if (!settingsNamed && !window.SettingsFile().empty() && !settings)
    notes << Q(kSettingsUnreadableNote)
                 .arg(ReadProblemReason(settings.Why()), DisplayPath(window.SettingsFile()));
  recent.Files();
  if (recent.Unusable() != 0) notes << Q(kRecentUnusableNote).arg(recent.Unusable());
  if (const QString note = recent.TakeNote(); !note.isEmpty()) notes << note;
  if (!notes.isEmpty()) window.ShowNote(notes.join(QStringLiteral("　")));
}

int RunApplication(int argc, char* argv[], bool quitAfterFirstPaint) {
  // Past a file-size limit the write must fail and say so, not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Taken before Qt sees the arguments: QApplication removes the ones it knows, such as
  // "-style", which may just as well be a file's name. --version and --help are answered
  // before Qt starts, so they need no display.
  const StartArguments start = ParseStartArguments(argc, argv);
  if (start.version) {
    std::cout << "kavelin " KAVELIN_VERSION "\n";
    return 0;
  }
  if (start.help) {
    std::cout << kUsage;
    return 0;
  }
  if (!start.error.empty()) {
    std::cerr << "kavelin: " << start.error << '\n' << kUsage;
    return 2;
  }
  const std::string& templateArgument = start.file;
  const std::filesystem::path settingsFile =
      start.settings ? *start.settings : text::FindFamilySettings();

  QApplication app(argc, argv);
  app.setApplicationName("Kavelin");
  InstallQtJapanese(app);
  // The installed desktop entry and icon, so that a desktop ties the window to them.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.kavelin.Kavelin"));
  app.setWindowIcon(QIcon::fromTheme(QStringLiteral("org.kavelin.Kavelin")));
  InstallFontSubstitutions();
  // Before any widget is made: a tool that asks for the window gets the window's interfaces.
  InstallWindowAccessibility();
  // Message boxes and the file dialog are windows of their own; they get the same face.
  QApplication::setFont(QFont(QString::fromUtf16(kWindowFontFamily), kWindowFontPoints));

  QtDialogs dialogs;
  // Recent work is the one thing kept between runs; each dialog starts where its kind of
  // file was last taken from.
  RecentFiles recent;
  FolderMemoryDialogs remembering(dialogs, recent);
  MainWindow window(remembering, image::DecodeImageFile, settingsFile);
  dialogs.SetParent(&window);
  window.SetRecentFiles(&recent);
  ShowWorkNotes(window, recent, start.settings.has_value());
  FirstPaint firstPaint;
  if (quitAfterFirstPaint) window.installEventFilter(&firstPaint);
  window.show();
  WarnAboutSettings(dialogs, window, start.settings.has_value());
  if (!templateArgument.empty())
    window.OpenCommandLineFile(std::filesystem::path(templateArgument));
  return app.exec();
}

}  // namespace kavelin::app
