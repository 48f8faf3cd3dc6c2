// The live check: both passes on a copy of the sheet a moment after each edit, their
// messages shown as marks on the fields they concern and counted in the status bar.
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "app/form_controls.hpp"
#include "app/main_window.hpp"
#include "app/qt_text.hpp"
#include "app/sheet_form.hpp"
#include "app/template_panel.hpp"
#include "validate/live_check.hpp"

namespace kavelin::app {

void MainWindow::ScheduleLiveCheck() {
  liveCheckTimer_->start();
}

QWidget* MainWindow::FieldWidget(validate::FieldId field) const {
  if (field.kind == validate::FieldKind::kTemplatePicture) return templatePanel_->PictureWidget();
  return form_->FieldWidget(field);
}

void MainWindow::RunLiveCheck() {
  liveCheckTimer_->stop();
  const validate::LiveCheckResult found =
      validate::LiveCheck(ReadSheet(), codes_, document_.Template().Loaded());
  // Each marked control with its messages; an error outranks a warning on the same one.
  std::vector<std::pair<QWidget*, std::pair<Mark, QStringList>>> marks;
  const auto add = [&](const validate::CheckResult& result, Mark mark) {
    for (std::size_t i = 0; i < result.messages.size(); ++i) {
      for (const validate::FieldId field : result.fields[i]) {
        QWidget* widget = FieldWidget(field);
        if (widget == nullptr) continue;
        auto at = std::find_if(marks.begin(), marks.end(),
                               [widget](const auto& m) { return m.first == widget; });
        if (at == marks.end()) at = marks.insert(marks.end(), {widget, {mark, {}}});
        if (!at->second.second.contains(Q(result.messages[i])))
          at->second.second << Q(result.messages[i]);
      }
    }
  };
  add(found.errors, Mark::kError);
  add(found.warnings, Mark::kWarning);

  for (const QPointer<QWidget>& widget : marked_) {
    if (widget) SetMark(widget, Mark::kNone);
  }
  marked_.clear();
  for (const auto& [widget, mark] : marks) {
    SetMark(widget, mark.first, mark.second.join('\n'));
    marked_.push_back(widget);
  }
  form_->UpdateCommentHint();

  const auto errors = found.errors.messages.size(), warnings = found.warnings.messages.size();
  // The template panel marks the hinted rows itself, as it shows the template.
  const auto hints = templatePanel_->HintCount();
  checkStatus_->setText(hints > 0 ? Q(kCheckStatusWithHints).arg(errors).arg(warnings).arg(hints)
                        : errors + warnings == 0 ? Q(kAllWellStatus)
                                                 : Q(kCheckStatus).arg(errors).arg(warnings));
  checkStatus_->setEnabled(!marked_.empty() || hints > 0);
  UpdateTitle();
}

void MainWindow::ReachMark(QWidget* marked) {
  marked->setFocus(Qt::ShortcutFocusReason);
  // The reason in the status bar as well as in the tooltip, for a keyboard user to hear.
  ShowNote(QString(marked->toolTip()).replace('\n', ' '));
}

void MainWindow::FocusNextMarked() {
  if (liveCheckTimer_->isActive()) RunLiveCheck();
  std::vector<QWidget*> shown;
  for (const QPointer<QWidget>& widget : marked_) {
    if (widget && widget->isEnabled()) shown.push_back(widget);
  }
  for (QWidget* row : templatePanel_->HintedRows()) {
    if (row->isEnabled()) shown.push_back(row);
  }
  if (shown.empty()) return;
  // In tab order from the control that has the focus, so that F8 walks every mark in turn.
  QWidget* from = focusWidget();
  QWidget* next = from ? from->nextInFocusChain() : nullptr;
  for (QWidget* w = next; w && w != from; w = w->nextInFocusChain()) {
    if (std::find(shown.begin(), shown.end(), w) != shown.end()) {
      ReachMark(w);
      return;
    }
  }
  ReachMark(shown.front());
}

}  // namespace kavelin::app
