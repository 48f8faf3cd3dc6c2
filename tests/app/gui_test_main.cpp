// GUI tests need one QApplication for the whole program; test discovery runs this program
// without the test environment, so it falls back to the offscreen platform by itself.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/translations.hpp"

int main(int argc, char** argv) {
  // The offscreen platform's own screen (800x600) is smaller than the window; the tests
  // place it on a common laptop screen, where it is shown whole, as most users see it.
  QTemporaryDir settings;
  const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen");
  if (platform == "offscreen") {
    QFile screens(settings.filePath("screens.json"));
    if (screens.open(QIODevice::WriteOnly))
      screens.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0,)"
                    R"( "width": 1366, "height": 768, "logicalDpi": 96}]})");
    screens.close();
    qputenv("QT_QPA_PLATFORM", QFile::encodeName("offscreen:configfile=" + screens.fileName()));
  }
  QApplication app(argc, argv);
  // The user's own settings, names and recent files are never the tests' business.
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
  // As the program does, so that boxes and file dialogs are tested as users see them.
  kavelin::app::InstallQtJapanese(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
