#include "app/dialogs.hpp"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace kavelin::app {
namespace {

QMessageBox::Icon IconOf(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kStop:
      return QMessageBox::Critical;
    case BoxIcon::kQuestion:
      return QMessageBox::Question;
    case BoxIcon::kExclamation:
      return QMessageBox::Warning;
    case BoxIcon::kInformation:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

int RunBox(QWidget* parent, const QString& text, BoxIcon icon, const QString& title,
           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
  QMessageBox box(IconOf(icon), title, QString(text).replace(QStringLiteral("\r\n"), "\n"), buttons,
                  parent);
  // Names and comments are the user's text: a "<b>" in them must show as typed.
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(defaultButton);
  return box.exec();
}

}  // namespace

void QtDialogs::Show(const QString& text, BoxIcon icon, const QString& title) {
  RunBox(parent_, text, icon, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogs::Ask(const QString& text, BoxIcon icon, const QString& title) {
  return RunBox(parent_, text, icon, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

QString QtDialogs::OpenFile(const QString& title, const QString& filterName,
                            const QString& filterPatterns) {
  QFileDialog dialog(parent_, title);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Qt lists patterns space-separated in parentheses; the user sees the name alone.
  QString patterns = filterPatterns;
  patterns.replace(';', ' ');
  dialog.setNameFilter(filterName + " (" + patterns + ")");
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

}  // namespace kavelin::app
