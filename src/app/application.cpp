#include "app/application.hpp"

#include <QApplication>
#include <QEvent>
#include <csignal>
#include <filesystem>
#include <string>

#include "app/dialogs.hpp"
#include "app/main_window.hpp"
#include "image/decoder.hpp"
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

}  // namespace

int RunApplication(int argc, char* argv[], bool quitAfterFirstPaint) {
  // Past a file-size limit the write must fail and say so, not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Taken before Qt sees the arguments: QApplication removes the ones it knows, such as
  // "-style", which may just as well be a file's name.
  const std::string templateArgument = argc > 1 ? argv[1] : "";

  QApplication app(argc, argv);
  app.setApplicationName("Kavelin");
  InstallFontSubstitutions();
  // Message boxes and the file dialog are windows of their own; they get the same face.
  QApplication::setFont(QFont(QString::fromUtf16(kWindowFontFamily), kWindowFontPoints));

  QtDialogs dialogs;
  MainWindow window(dialogs, image::DecodeImageFile, text::FamilySettingsPath());
  dialogs.SetParent(&window);
  FirstPaint firstPaint;
  if (quitAfterFirstPaint) window.installEventFilter(&firstPaint);
  window.show();
  if (!templateArgument.empty())
    window.LoadCommandLineTemplate(std::filesystem::path(templateArgument));
  return app.exec();
}

}  // namespace kavelin::app
