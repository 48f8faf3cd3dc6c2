#include "app/main_window.hpp"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/blank_template_menu.hpp"
#include "app/file_reasons.hpp"
#include "app/form_controls.hpp"
#include "app/form_layout.hpp"
#include "app/game_preview_window.hpp"
#include "app/help_window.hpp"
#include "app/list_accessible.hpp"
#include "app/patch_dialogs.hpp"
#include "app/qt_text.hpp"
#include "app/recent_files.hpp"
#include "app/screen_fit.hpp"
#include "app/sheet_form.hpp"
#include "app/template_panel.hpp"
#include "app/template_watch.hpp"
#include "app/user_files.hpp"
#include "image/intake.hpp"
#include "image/poison_preview.hpp"
#include "patch/patch_file.hpp"
#include "text/settings_file.hpp"

namespace kavelin::app {
namespace {

// Asks for the whole client area, not the few lines a scroll area asks for by default.
class ClientScroll : public QScrollArea {
 public:
  explicit ClientScroll(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
  }
  QSize sizeHint() const override {
    return widget() ? widget()->size() + QSize(2, 2) * frameWidth() : QScrollArea::sizeHint();
  }
};

}  // namespace

void InstallFontSubstitutions() {
  static const bool installed = [] {
    // The face the window names ships with Windows only; these Japanese gothics stand in.
    QFont::insertSubstitutions(Q(kWindowFontFamily),
                               {"IPAPGothic", "IPA Pゴシック", "IPAGothic", "Noto Sans CJK JP",
                                "Source Han Sans JP", "VL PGothic", "TakaoPGothic"});
    return true;
  }();
  (void)installed;
}

MainWindow::MainWindow(Dialogs& dialogs, image::ImageDecoder decoder,
                       const std::filesystem::path& settingsFile, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      decoder_(std::move(decoder)),
      settingsFile_(settingsFile),
      history_(
          this, [this] { return CurrentCharacter(); },
          [this](const Character& character) { Restore(character); }) {
  setObjectName("Form1");
  InstallWindowAccessibility();
  setWindowTitle(Q(kProgramTitle));
  // The menu bar sits above the client area, which keeps its size and every position in
  // it. The client area scrolls inside the window, so that a window cut to a small
  // screen still reaches every control; the status bar stays below, always in view.
  client_ = new QWidget;
  client_->setObjectName("Client");
  client_->setFixedSize(Px(layout::kClientWidth), Px(layout::kClientHeight));
  scroll_ = new ClientScroll(this);
  scroll_->setObjectName("ClientScroll");
  scroll_->setWidget(client_);
  menuBar_ = new QMenuBar(this);
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  box->setMenuBar(menuBar_);
  box->addWidget(scroll_, 1);
  BuildStatusBar();
  box->addWidget(statusBar_);
  // A keyboard user who tabs or is sent (F8) to a control out of view sees it.
  connect(qApp, &QApplication::focusChanged, scroll_, [this](QWidget*, QWidget* now) {
    if (now && client_->isAncestorOf(now)) scroll_->ensureWidgetVisible(now, 8, 8);
  });
  BuildMenu();
  BuildEditMenu();
  AddHelpMenu(menuBar_, this, dialogs_);

  // Made in reading order, which is the tab order: the template's panel first. The form
  // spans the client area, and the panel is raised over its empty top-left corner.
  templatePanel_ = new TemplatePanel(client_);
  form_ = new SheetForm(client_);
  templatePanel_->raise();
  create_ = new QPushButton(Q(kCreateCaption), client_);
  Place(create_, "Command1", layout::kCreate);
  Describe(create_, Q(kCreateCaption), Q(kCreateTip));
  // The panel's preview button opens the window's preview window, which the window explains.
  if (auto* preview = templatePanel_->findChild<QPushButton*>("GamePreviewButton"))
    Describe(preview, Q(kGamePreviewButton), Q(kGamePreviewTip));

  connect(templatePanel_, &TemplatePanel::PaletteToggled, this, &MainWindow::PaletteToggled);
  connect(templatePanel_, &TemplatePanel::PreviewToggled, this, &MainWindow::PreviewToggled);
  connect(templatePanel_, &TemplatePanel::BrowseRequested, this, &MainWindow::Browse);
  connect(templatePanel_, &TemplatePanel::FileDropped, this,
          [this](const QString& file) { TakeInFile(PathOf(file)); });
  connect(create_, &QPushButton::clicked, this, &MainWindow::CreatePatch);
  connect(form_, &SheetForm::Edited, this, &MainWindow::ScheduleLiveCheck);
  connect(form_, &SheetForm::StepEnded, this, &MainWindow::RecordStep);
  connect(templatePanel_, &TemplatePanel::GamePreviewRequested, this,
          [this] { ShowGamePreview(); });
  ConnectTemplateWatch();

  FormLoad(settingsFile);
  // The whole client area when the screen has room; larger than that is only grey.
  box->activate();
  setMaximumSize(sizeHint());
  resize(sizeHint());
  UpdateTitle();
}

MainWindow::~MainWindow() {
  // The parts outlive this class's own members while QWidget deletes them, and a box that
  // loses the focus then must not reach back into a window that is gone.
  disconnect(form_, nullptr, this, nullptr);
  disconnect(templatePanel_, nullptr, this, nullptr);
  disconnect(templatePanel_->PictureWidget(), nullptr, this, nullptr);
  disconnect(templateWatch_, nullptr, this, nullptr);
}

QSize MainWindow::FitInto(const QRect& available) {
  const QSize frame = FrameAllowance(this);
  const QSize room = available.size() - frame;
  // Cut in height, the window is wider by the scroll bar that appears, where there is room.
  QSize want = sizeHint();
  if (want.height() > room.height())
    want.rwidth() += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
  setMaximumSize(want);
  const QSize fitted = want.boundedTo(room).expandedTo(minimumSizeHint());
  resize(fitted);
  move(KeptOnScreen(QRect(frameGeometry().topLeft(), fitted + frame), available).topLeft());
  return fitted;
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (fitted_ || event->spontaneous()) return;
  fitted_ = true;
  if (const QScreen* on = screen()) FitInto(on->availableGeometry());
}

void MainWindow::BuildMenu() {
  QMenu* file = menuBar_->addMenu(Q(kFileMenu));
  file->setObjectName("FileMenu");
  const auto item = [this, file](const char* name, std::u16string_view text,
                                 const QKeySequence& keys, auto slot) {
    QAction* action = file->addAction(Q(text));
    action->setObjectName(name);
    action->setShortcut(keys);
    // Queued, so that the item returns to whoever pressed it (an assistive tool waits for
    // that) before a modal dialog opens.
    connect(action, &QAction::triggered, this, slot, Qt::QueuedConnection);
    return action;
  };
  item("OpenSheet", kOpenSheetItem, QKeySequence::Open, [this] { OpenSheet(); });
  item("SaveSheet", kSaveSheetItem, QKeySequence::Save, [this] { SaveSheet(); });
  file->addSeparator();
  item("OpenPatch", kOpenPatchItem, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
       [this] { OpenPatch(); });
  exportTemplate_ = item("ExportTemplate", kExportTemplateItem, QKeySequence(Qt::CTRL | Qt::Key_E),
                         [this] { ExportTemplate(); });
  item("ExportBlankTemplate", kBlankTemplateItem, QKeySequence(),
       [this] { ExportBlankTemplate(); });
  file->addSeparator();
  QAction* quit = item("Quit", kQuitItem, QKeySequence::Quit, [this] { close(); });
  BuildWorkMenus(file, quit);
}

void MainWindow::FormLoad(const std::filesystem::path& settingsFile) {
  InstallFontSubstitutions();
  setFont(QFont(Q(kWindowFontFamily), kWindowFontPoints));
  // Frame captions sit on the frame's top line, so that the first row inside stays clear.
  // Style sheets decide fonts as well; the window's font is repeated here so that no
  // control falls back to the application's.
  setStyleSheet(
      QStringLiteral("* { font-family: \"%1\"; font-size: %2pt; }"
                     "QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                     " margin-top: 6px; }"
                     "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }")
          .arg(Q(kWindowFontFamily))
          .arg(kWindowFontPoints) +
      MarkStyleRules());

  document_.Template().path.clear();
  document_.Template().originOffset = 0;
  // The start-up values are where undo begins, not steps of their own.
  history_.Pause();
  form_->Reset();
  settingsRead_ = text::LoadFamilySettings(codes_, settingsFile);
  // Which settings file gave the extended characters, so that a user who wonders why a
  // character encodes or not can see it.
  const auto extended = std::count_if(codes_.ExtendedTable().begin(), codes_.ExtendedTable().end(),
                                      [](char16_t c) { return c != u' ' && c != u'　'; });
  const QString shown = DisplayPath(settingsFile);
  QString status = Q(kNoSettingsStatus), whole;
  if (settingsRead_) {
    status = Q(kSettingsReadStatus)
                 .arg(fontMetrics().elidedText(shown, Qt::ElideMiddle, 260))
                 .arg(extended);
    whole = shown;
  } else if (!settingsFile.empty() &&
             io::ProblemOf(settingsRead_.Why()) != io::ReadProblem::kNoSuchFile) {
    // There, but not of use: said so, not passed off as no file at all.
    status = Q(kSettingsUnreadableStatus);
    whole = ReadProblemReason(settingsRead_.Why()) + ' ' + shown;
  }
  settingsStatus_->setText(status);
  settingsStatus_->setToolTip(whole);
  settingsStatus_->setAccessibleDescription(whole);
  MirrorTemplate();
  history_.Resume();
  RecordWithoutStep();
  document_.MarkSaved(Document(), {});
}

void MainWindow::BuildStatusBar() {
  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName("StatusBar");
  statusBar_->setSizeGripEnabled(false);
  // The window's width cuts a long note off; the whole of it is there on hovering and for
  // a screen reader.
  connect(statusBar_, &QStatusBar::messageChanged, statusBar_, [this](const QString& text) {
    statusBar_->setToolTip(text);
    statusBar_->setAccessibleDescription(text);
  });
  settingsStatus_ = new QLabel(statusBar_);
  settingsStatus_->setObjectName("SettingsStatus");
  statusBar_->addPermanentWidget(settingsStatus_);
  checkStatus_ = new QPushButton(statusBar_);
  checkStatus_->setObjectName("CheckStatus");
  checkStatus_->setFlat(true);
  Describe(checkStatus_, Q(kCheckStatusName), Q(kCheckStatusTip));
  statusBar_->addPermanentWidget(checkStatus_);
  connect(checkStatus_, &QPushButton::clicked, this, &MainWindow::FocusNextMarked);
  // F10 opens the menu bar from the keyboard, as on other desktops.
  auto* menus = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(menus, &QShortcut::activated, this, [this] {
    if (!menuBar_->actions().isEmpty()) {
      menuBar_->setFocus(Qt::MenuBarFocusReason);
      menuBar_->setActiveAction(menuBar_->actions().front());
    }
  });
  auto* nextMark = new QShortcut(QKeySequence(Qt::Key_F8), this);
  connect(nextMark, &QShortcut::activated, this, &MainWindow::FocusNextMarked);
  // A moment after the last edit, so that typing stays smooth.
  liveCheckTimer_ = new QTimer(this);
  liveCheckTimer_->setSingleShot(true);
  liveCheckTimer_->setInterval(150);
  connect(liveCheckTimer_, &QTimer::timeout, this, &MainWindow::RunLiveCheck);
}

void MainWindow::BuildEditMenu() {
  // Between File and View, in the order desktop editors keep.
  QMenu* edit = new QMenu(Q(kEditMenu), menuBar_);
  const QList<QAction*> menus = menuBar_->actions();
  menuBar_->insertMenu(menus.size() > 1 ? menus[1] : nullptr, edit);
  edit->setObjectName("EditMenu");
  QAction* undo = edit->addAction(Q(kUndoItem));
  undo->setObjectName("Undo");
  undo->setShortcut(QKeySequence::Undo);
  QAction* redo = edit->addAction(Q(kRedoItem));
  redo->setObjectName("Redo");
  redo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  connect(undo, &QAction::triggered, this, &MainWindow::Undo);
  connect(redo, &QAction::triggered, this, &MainWindow::Redo);
}

void MainWindow::ShowNote(const QString& text) {
  // Long enough to read, then the bar is free for the next one.
  statusBar_->showMessage(text, 10'000);
}

void MainWindow::UpdateTitle() {
  const std::filesystem::path& file =
      document_.SheetFile().empty() ? document_.OpenedPatch() : document_.SheetFile();
  const QString star = HasUnsavedChanges() ? QStringLiteral("*") : QString();
  setWindowTitle(file.empty()
                     ? Q(kProgramTitle) + star
                     : Q(kTitleWithFile).arg(DisplayPath(file.filename()), star, Q(kProgramTitle)));
}

sheet::CharacterSheet MainWindow::ReadSheet() const {
  return form_->Read();
}

void MainWindow::ShowSheet(const sheet::CharacterSheet& sheet) {
  form_->Show(sheet);
}

void MainWindow::PaletteToggled(int entry, bool ticked) {
  if (entry == image::kReservedEntry && ticked) ShowNote(Q(kReservedEntryNote));
  document_.TogglePalette(entry, ticked);
  MirrorTemplate();
  RecordStep();
}

void MainWindow::PreviewToggled(bool ticked) {
  image::SetPoisonPreview(document_.Template(), ticked);
  MirrorTemplate();
}

void MainWindow::MirrorTemplate() {
  templatePanel_->Show(document_.Template());
  ScheduleLiveCheck();
  exportTemplate_->setEnabled(document_.Template().Loaded());
  if (gamePreview_ != nullptr && gamePreview_->isVisible()) gamePreview_->Follow(Template());
  FollowTemplateFile();
}

void MainWindow::LoadTemplate(const std::filesystem::path& file, command::IntakeMode mode) {
  RecordStep();
  // Watched from the file's state before it is read, so that a save meanwhile is not missed.
  templateWatch_->Watch(file);
  const command::TemplateIntake intake = document_.LoadTemplate(file, decoder_, mode);
  // Swaps this template cannot take leave the character, but no undo brings them back.
  RecordWithoutStep();
  // The picture, with any red mark, is on screen before the box that explains it.
  MirrorTemplate();
  if (!intake) {
    dialogs_.Show(FailureReason(intake.Why()), BoxIcon::kStop, Q(kReadErrorTitle));
    // After the box, whose text stays as it is: how many colours, and where the ring is.
    if (intake.Why().reason == image::ImageStatus::kTooManyColours &&
        !templatePanel_->PictureHints().isEmpty())
      ShowNote(templatePanel_->PictureHints().front());
    return;
  }
  NoteFileUsed(FileKind::kTemplate, file);
  ReportSkippedSwaps(intake->skipped);
}

void MainWindow::LoadCommandLineTemplate(const std::filesystem::path& file) {
  LoadTemplate(file, command::IntakeMode::kStartUp);
}

void MainWindow::TakeInFile(const std::filesystem::path& file) {
  LoadTemplate(file, command::IntakeMode::kChecked);
}

bool MainWindow::MayWritePatch(patch::WriteOptions& options,
                               const std::filesystem::path& replaced) {
  if (options.output.empty()) return true;  // the writer says what is missing
  std::vector<Input> inputs = InputsRead();
  inputs.push_back({document_.SheetFile(), kOpenedSheetInput});
  // Over the opened patch is where a drawn template's patch goes, after asking.
  if (options.output == replaced) inputs.front().file.clear();
  if (const Input* input = InputInTheWay(options.output, inputs)) {
    dialogs_.Show(BoxLines({Q(kPatchUnwritable), DisplayPath(options.output),
                            Q(kOutputIsAnInput).arg(Q(input->what), DisplayPath(input->file))}),
                  BoxIcon::kStop, Q(kWriteErrorTitle));
    return false;
  }
  // Replacing the opened patch was asked about just now; a link still is.
  if (options.output == replaced &&
      command::InspectOutput(replaced, command::OutputKind::kPatch).existing !=
          command::ExistingKind::kLink)
    return true;
  const auto to =
      ConfirmOutput(dialogs_, options.output, command::OutputKind::kPatch, kPatchUnwritable);
  if (!to) return false;
  options.output = *to;
  return true;
}

QString MainWindow::SwapsText(const std::vector<sheet::PaletteSwap>& swaps) {
  QStringList named;
  for (const auto& [a, b] : swaps)
    named << QStringLiteral("%1 ⇔ %2").arg(a).arg(b);
  return named.join(QStringLiteral("、"));
}

void MainWindow::ReportSkippedSwaps(const std::vector<sheet::PaletteSwap>& skipped) {
  if (skipped.empty()) return;
  dialogs_.Show(Q(kSwapsDropped) + "\r\n" + SwapsText(skipped), BoxIcon::kExclamation,
                Q(kSwapsDroppedTitle));
}

void MainWindow::Browse() {
  const QString chosen = dialogs_.OpenFile(Q(kOpenDialogTitle), Q(kOpenDialogFilterName),
                                           Q(kOpenDialogFilterPatterns));
  if (chosen.isEmpty()) return;
  TakeInFile(PathOf(chosen));
}

void MainWindow::CreatePatch() {
  // The window unticks its preview when a patch is made, as it always has; the patch is
  // made from the template's own pixels either way.
  PreviewToggled(false);
  RecordStep();
  const sheet::CharacterSheet sheet = ReadSheet();
  patch::WriteOptions options = writeOptions_;
  std::filesystem::path replaced;
  // A drawn template has no file to name the patch after; the patch it came from does.
  if (document_.Template().fromPatch && options.output.empty())
    options.output = replaced = document_.OpenedPatch();
  // Named here rather than by the writer, so that the last check before the write sees it.
  if (options.output.empty() && !document_.Template().path.empty())
    options.output = patch::PatchOutputName(document_.Template().path);
  // The road reads the output only when it writes, after its last question; the check may
  // still turn it to the file a link names.
  PatchDialogs boxes(
      dialogs_, [this](const sheet::CharacterSheet& tidied) { ShowSheet(tidied); }, replaced,
      [this, &options, &replaced] { return MayWritePatch(options, replaced); });
  const command::CreatePatchResult result =
      command::CreatePatch(sheet, document_.Template(), codes_, boxes, options);
  if (result.outcome == command::CreatePatchOutcome::kWritten) {
    std::error_code ignored;
    ShowNote(
        Q(kPatchWrittenNote).arg(DisplayPath(std::filesystem::absolute(**result.write, ignored))));
  }
  MirrorTemplate();
  // The road's tidying of the name, job name and slots is one step.
  RecordStep();
}

Character MainWindow::CurrentCharacter() const {
  return {ReadSheet(), document_.Swaps()};
}

void MainWindow::RecordStep() {
  history_.Record();
}

void MainWindow::RecordWithoutStep() {
  history_.Rebase();
}

void MainWindow::Restore(const Character& character) {
  form_->Show(character.sheet);
  document_.RestoreSwaps(character.swaps);
  MirrorTemplate();
}

void MainWindow::Undo() {
  history_.Undo();
}

void MainWindow::Redo() {
  history_.Redo();
}

}  // namespace kavelin::app
