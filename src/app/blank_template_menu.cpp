// The File menu's "テンプレートの雛形を書き出す…": a blank template for the user to draw into.
#include "app/blank_template_menu.hpp"

#include "app/main_window.hpp"
#include "app/qt_text.hpp"
#include "app/user_files.hpp"
#include "image/blank_template.hpp"

namespace kavelin::app {

bool MainWindow::ExportBlankTemplate() {
  QString title = Q(kBlankTemplateItem);
  title.chop(1);  // the dialog is titled as the item, less the ellipsis
  const QString chosen = dialogs_.SaveFile(title, ImageFileTypes(), QStringLiteral("template.gif"));
  return !chosen.isEmpty() && ExportBlankTemplateFile(PathOf(chosen));
}

bool MainWindow::ExportBlankTemplateFile(const std::filesystem::path& file) {
  // A blank over a drawn template would lose the drawing: any file there is asked about.
  return WriteImageFile(file, image::BlankTemplate(), kBlankTemplateUnwritable, false);
}

}  // namespace kavelin::app
