// kavelin: the character designer's window. An optional first argument names a template
// image, loaded once the window is visible.
#include <QApplication>
#include <csignal>
#include <filesystem>
#include <string>

#include "app/dialogs.hpp"
#include "app/main_window.hpp"
#include "image/decoder_qt.hpp"
#include "text/settings_file.hpp"

int main(int argc, char* argv[]) {
  // Past a file-size limit the write must fail and say so, not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Taken before Qt sees the arguments: QApplication removes the ones it knows, such as
  // "-style", which may just as well be a file's name.
  const std::string templateArgument = argc > 1 ? argv[1] : "";

  QApplication app(argc, argv);
  app.setApplicationName("Kavelin");
  kavelin::app::InstallFontSubstitutions();
  // Message boxes and the file dialog are windows of their own; they get the same face.
  QApplication::setFont(
      QFont(QString::fromUtf16(kavelin::app::kWindowFontFamily), kavelin::app::kWindowFontPoints));

  kavelin::app::QtDialogs dialogs;
  kavelin::app::MainWindow window(dialogs, kavelin::image::DecodeImageFile,
                                  kavelin::text::FamilySettingsPath());
  dialogs.SetParent(&window);
  window.show();
  if (!templateArgument.empty())
    window.LoadCommandLineTemplate(std::filesystem::path(templateArgument));
  return app.exec();
}
