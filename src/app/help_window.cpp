#include "app/help_window.hpp"

#include <QAction>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialogs.hpp"
#include "app/qt_text.hpp"
#include "app/window_texts.hpp"

namespace kavelin::app {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("HelpWindow");
  setWindowTitle(Q(kHelpWindowTitle));
  // A guide to read beside the window while working in it, not a question to answer.
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("HelpBrowser");
  browser_->setAccessibleName(Q(kHelpWindowTitle));
  // Links stay inside the guide; nothing opens a network browser.
  browser_->setOpenExternalLinks(false);
  browser_->setOpenLinks(true);
  browser_->setSource(QUrl(QStringLiteral("qrc:/help/help.html")));
  layout->addWidget(browser_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(Q(kCloseButton));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  layout->addWidget(buttons);
  resize(760, 680);
}

void AddHelpMenu(QMenuBar* bar, QWidget* window, Dialogs& dialogs) {
  QMenu* help = bar->addMenu(Q(kHelpMenu));
  help->setObjectName("HelpMenu");
  QAction* guide = help->addAction(Q(kHelpItem));
  guide->setObjectName("Help");
  guide->setShortcut(QKeySequence::HelpContents);
  QObject::connect(guide, &QAction::triggered, window, [window] {
    auto* shown = window->findChild<HelpWindow*>("HelpWindow", Qt::FindDirectChildrenOnly);
    if (shown == nullptr) shown = new HelpWindow(window);
    shown->show();
    shown->raise();
    shown->activateWindow();
  });
  QAction* about = help->addAction(Q(kAboutItem));
  about->setObjectName("About");
  // Queued, as the other items: the menu returns before the box opens.
  QObject::connect(
      about, &QAction::triggered, window,
      [&dialogs] { dialogs.Show(AboutText(), BoxIcon::kInformation, Q(kAboutTitle)); },
      Qt::QueuedConnection);
}

QString AboutText() {
  return Q(kAboutText)
      .arg(QStringLiteral(KAVELIN_VERSION), QString::fromLatin1(qVersion()),
           QStringLiteral(KAVELIN_ICU_VERSION), QStringLiteral(KAVELIN_ZLIB_VERSION),
           QStringLiteral(KAVELIN_JSON_VERSION));
}

}  // namespace kavelin::app
