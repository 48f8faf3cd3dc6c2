#include "app/main_window.hpp"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/blank_template_menu.hpp"
#include "app/form_controls.hpp"
#include "app/form_layout.hpp"
#include "app/patch_dialogs.hpp"
#include "app/qt_text.hpp"
#include "app/sheet_form.hpp"
#include "app/template_panel.hpp"
#include "app/user_files.hpp"
#include "image/intake.hpp"
#include "image/poison_preview.hpp"
#include "text/settings_file.hpp"

namespace kavelin::app {

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
    : QWidget(parent), dialogs_(dialogs), decoder_(std::move(decoder)) {
  setObjectName("Form1");
  setWindowTitle(Q(command::kProgramTitle));
  // The menu bar sits above the client area, which keeps its size and every position in
  // it; the window is as tall as the two together and no larger.
  client_ = new QWidget(this);
  client_->setObjectName("Client");
  client_->setFixedSize(Px(layout::kClientWidth), Px(layout::kClientHeight));
  menuBar_ = new QMenuBar(this);
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  box->setMenuBar(menuBar_);
  box->addWidget(client_);
  // The status bar adds its height below the client area, as the menu bar does above it.
  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName("StatusBar");
  statusBar_->setSizeGripEnabled(false);
  box->addWidget(statusBar_);
  box->setSizeConstraint(QLayout::SetFixedSize);
  BuildMenu();

  // Made in reading order, which is the tab order: the template's panel first. The form
  // spans the client area, and the panel is raised over its empty top-left corner.
  templatePanel_ = new TemplatePanel(client_);
  form_ = new SheetForm(client_);
  templatePanel_->raise();
  create_ = new QPushButton(Q(u"パッチ作成"), client_);
  Place(create_, "Command1", layout::kCreate);

  connect(templatePanel_, &TemplatePanel::PaletteToggled, this, &MainWindow::PaletteToggled);
  connect(templatePanel_, &TemplatePanel::PreviewToggled, this, &MainWindow::PreviewToggled);
  connect(templatePanel_, &TemplatePanel::BrowseRequested, this, &MainWindow::Browse);
  connect(templatePanel_, &TemplatePanel::FileDropped, this,
          [this](const QString& file) { TakeInFile(PathOf(file)); });
  connect(create_, &QPushButton::clicked, this, &MainWindow::CreatePatch);

  FormLoad(settingsFile);
  // Sized now rather than when first shown, so that the size holds from the start.
  box->activate();
}

void MainWindow::BuildMenu() {
  QMenu* file = menuBar_->addMenu(Q(kFileMenu));
  file->setObjectName("FileMenu");
  const auto item = [this, file](const char* name, std::u16string_view text,
                                 const QKeySequence& keys, auto slot) {
    QAction* action = file->addAction(Q(text));
    action->setObjectName(name);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
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
  item("Quit", kQuitItem, QKeySequence::Quit, [this] { close(); });
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
          .arg(kWindowFontPoints));

  document_.Template().path.clear();
  document_.Template().originOffset = 0;
  form_->Reset();
  text::LoadExtendedRows(codes_, settingsFile);
  MirrorTemplate();
  document_.MarkSaved(Document(), {});
}

void MainWindow::ShowNote(const QString& text) {
  statusBar_->showMessage(text);
}

sheet::CharacterSheet MainWindow::ReadSheet() const {
  return form_->Read();
}

void MainWindow::ShowSheet(const sheet::CharacterSheet& sheet) {
  form_->Show(sheet);
}

void MainWindow::PaletteToggled(int entry, bool ticked) {
  document_.TogglePalette(entry, ticked);
  MirrorTemplate();
}

void MainWindow::PreviewToggled(bool ticked) {
  image::SetPoisonPreview(document_.Template(), ticked);
  MirrorTemplate();
}

void MainWindow::MirrorTemplate() {
  templatePanel_->Show(document_.Template());
  exportTemplate_->setEnabled(document_.Template().Loaded());
}

void MainWindow::LoadTemplate(const std::filesystem::path& file, command::IntakeMode mode) {
  const command::TemplateIntake intake = document_.LoadTemplate(file, decoder_, mode);
  // The picture, with any red mark, is on screen before the box that explains it.
  MirrorTemplate();
  if (intake.status != image::ImageStatus::kOk) {
    dialogs_.Show(Q(image::MessageFor(intake.status)), BoxIcon::kStop, Q(image::kReadErrorTitle));
    return;
  }
  ReportSkippedSwaps(intake.swaps.skipped);
}

void MainWindow::LoadCommandLineTemplate(const std::filesystem::path& file) {
  LoadTemplate(file, command::IntakeMode::kStartUp);
}

void MainWindow::TakeInFile(const std::filesystem::path& file) {
  LoadTemplate(file, command::IntakeMode::kChecked);
}

void MainWindow::ReportSkippedSwaps(const std::vector<sheet::PaletteSwap>& skipped) {
  if (skipped.empty()) return;
  QStringList left;
  for (const auto& [a, b] : skipped)
    left << QStringLiteral("%1 ⇔ %2").arg(a).arg(b);
  dialogs_.Show(Q(kSwapsDropped) + "\r\n" + left.join(QStringLiteral("、")), BoxIcon::kExclamation,
                Q(kSwapsDroppedTitle));
}

void MainWindow::Browse() {
  const QString chosen =
      dialogs_.OpenFile(Q(image::kOpenDialogTitle), Q(image::kOpenDialogFilterName),
                        Q(image::kOpenDialogFilterPatterns));
  if (chosen.isEmpty()) return;
  TakeInFile(PathOf(chosen));
}

void MainWindow::CreatePatch() {
  // The preview's reaction first, so that the encoder reads the template's own colours.
  PreviewToggled(false);
  sheet::CharacterSheet sheet = ReadSheet();
  patch::WriteOptions options = writeOptions_;
  std::filesystem::path replaced;
  // A drawn template has no file to name the patch after; the patch it came from does.
  if (document_.Template().fromPatch && options.output.empty())
    options.output = replaced = document_.OpenedPatch();
  PatchDialogs boxes(
      dialogs_, [this, &sheet] { ShowSheet(sheet); }, replaced);
  command::CreatePatch(sheet, document_.Template(), codes_, boxes, options);
  ShowSheet(sheet);
  MirrorTemplate();
}

}  // namespace kavelin::app
