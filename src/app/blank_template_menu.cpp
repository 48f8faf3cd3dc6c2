// The File menu's "テンプレートの雛形を書き出す…": a blank template for the user to draw into.
#include "app/blank_template_menu.hpp"

#include <QFileInfo>
#include <cerrno>

#include "app/main_window.hpp"
#include "app/qt_text.hpp"
#include "app/user_files.hpp"
#include "command/create_patch.hpp"
#include "image/blank_template.hpp"
#include "image/encoder.hpp"
#include "patch/atomic_file.hpp"

namespace kavelin::app {

bool MainWindow::ExportBlankTemplate() {
  QString title = Q(kBlankTemplateItem);
  title.chop(1);  // the dialog is titled as the item, less the ellipsis
  const QString chosen = dialogs_.SaveFile(title,
                                           {{Q(u"GIF 画像"), QStringLiteral("gif")},
                                            {Q(u"BMP 画像"), QStringLiteral("bmp")},
                                            {Q(u"PNG 画像"), QStringLiteral("png")}},
                                           QStringLiteral("template.gif"));
  return !chosen.isEmpty() && ExportBlankTemplateFile(PathOf(chosen));
}

bool MainWindow::ExportBlankTemplateFile(const std::filesystem::path& file) {
  const QString suffix = QFileInfo(DisplayPath(file)).suffix().toLower();
  QString reason;
  if (suffix != "gif" && suffix != "bmp" && suffix != "png") {
    reason = Q(kTemplateTypeNeeded);
  } else {
    const auto bytes = image::EncodeImageFile(image::BlankTemplate(), file);
    const auto written = bytes ? patch::WriteFileAtomically(file, *bytes, writeOptions_.sync)
                               : patch::AtomicWriteResult{false, EINVAL};
    if (!written.ok) reason = WriteFailureReason(written.error);
  }
  if (reason.isEmpty()) return true;
  dialogs_.Show(QStringList({Q(kBlankTemplateUnwritable), DisplayPath(file), reason})
                    .join(QStringLiteral("\r\n")),
                BoxIcon::kStop, Q(command::kWriteErrorTitle));
  return false;
}

}  // namespace kavelin::app
