#include "app/dialogs.hpp"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStringList>

#include "app/qt_text.hpp"
#include "app/window_texts.hpp"

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

QString IconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kStop:
      return Q(kStopIconName);
    case BoxIcon::kQuestion:
      return Q(kQuestionIconName);
    case BoxIcon::kExclamation:
      return Q(kExclamationIconName);
    case BoxIcon::kInformation:
      return Q(kInformationIconName);
  }
  return {};
}

int RunBox(QWidget* parent, const QString& text, BoxIcon icon, const QString& title,
           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
  QMessageBox box(IconOf(icon), title, QString(text).replace(QStringLiteral("\r\n"), "\n"), buttons,
                  parent);
  // Names and comments are the user's text: a "<b>" in them must show as typed.
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(defaultButton);
  // A screen reader names the icon by what it tells, not by its picture.
  if (auto* iconLabel = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
    iconLabel->setAccessibleName(IconName(icon));
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
  if (!openFolder_.isEmpty() && QFileInfo(openFolder_).isDir()) dialog.setDirectory(openFolder_);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

Answer QtDialogs::AskYesNoCancel(const QString& text, BoxIcon icon, const QString& title) {
  switch (RunBox(parent_, text, icon, title,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    default:
      return Answer::kCancel;
  }
}

QString QtDialogs::SaveFile(const QString& title, const std::vector<FileType>& types,
                            const QString& suggested) {
  QFileDialog dialog(parent_, title);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  QStringList filters;
  for (const FileType& type : types)
    filters << type.name + " (*." + type.suffix + ")";
  dialog.setNameFilters(filters);
  // The ending is added before the dialog checks for an existing file, so the question
  // about replacing it covers the name that will be written.
  const auto useType = [&dialog, &types](qsizetype i) {
    if (i >= 0 && i < static_cast<qsizetype>(types.size()))
      dialog.setDefaultSuffix(types[static_cast<std::size_t>(i)].suffix);
  };
  useType(0);
  const QString suggestedSuffix = QFileInfo(suggested).suffix();
  for (std::size_t i = 0; i < types.size(); ++i) {
    if (types[i].suffix.compare(suggestedSuffix, Qt::CaseInsensitive) == 0) {
      dialog.selectNameFilter(filters[static_cast<qsizetype>(i)]);
      useType(static_cast<qsizetype>(i));
    }
  }
  QObject::connect(&dialog, &QFileDialog::filterSelected,
                   [&](const QString& filter) { useType(filters.indexOf(filter)); });
  if (!suggested.isEmpty()) dialog.selectFile(suggested);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

std::optional<QString> QtDialogs::AskText(const QString& text, const QString& title,
                                          const QString& initial) {
  QInputDialog dialog(parent_);
  dialog.setObjectName("TextDialog");
  dialog.setWindowTitle(title);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setLabelText(text);
  dialog.setTextValue(initial);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

}  // namespace kavelin::app
