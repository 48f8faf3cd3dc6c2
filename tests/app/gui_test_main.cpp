// GUI tests need one QApplication for the whole program; test discovery runs this program
// without the test environment, so it falls back to the offscreen platform by itself.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/translations.hpp"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The user's own settings, names and recent files are never the tests' business.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
  // As the program does, so that boxes and file dialogs are tested as users see them.
  kavelin::app::InstallQtJapanese(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
