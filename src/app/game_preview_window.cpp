#include "app/game_preview_window.hpp"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>

#include "app/file_reasons.hpp"
#include "app/picture_area.hpp"
#include "app/qt_text.hpp"
#include "app/screen_fit.hpp"
#include "app/user_files.hpp"
#include "app/window_texts.hpp"
#include "command/create_patch.hpp"
#include "command/save_file.hpp"
#include "io/atomic_file.hpp"

namespace kavelin::app {
namespace {

using patch::PreviewBackground;

constexpr std::array<PreviewBackground, 3> kBackgrounds = {
    PreviewBackground::kBlack, PreviewBackground::kWhite, PreviewBackground::kCheckerboard};

}  // namespace

GamePreviewWindow::GamePreviewWindow(Dialogs& dialogs,
                                     std::function<bool(const std::filesystem::path&)> isOwnInput,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), isOwnInput_(std::move(isOwnInput)) {
  setObjectName("GamePreview");
  setWindowTitle(Q(kGamePreviewTitle));
  // A window beside the main one closes as such windows do.
  for (const QKeySequence& keys :
       {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
    auto* close = new QShortcut(keys, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
  }

  auto* backgroundCaption = new QLabel(Q(kPreviewBackgroundCaption), this);
  backgrounds_ = new QComboBox(this);
  backgrounds_->setObjectName("PreviewBackground");
  for (const std::u16string_view name : kPreviewBackgroundNames)
    backgrounds_->addItem(Q(name));
  backgroundCaption->setBuddy(backgrounds_);
  auto* zoomCaption = new QLabel(Q(kPreviewZoomCaption), this);
  zooms_ = new QComboBox(this);
  zooms_->setObjectName("PreviewZoom");
  for (int z = kMinPreviewZoom; z <= kMaxPreviewZoom; ++z)
    zooms_->addItem(QStringLiteral("×%1").arg(z));
  zooms_->setCurrentIndex(zoom_ - kMinPreviewZoom);
  zoomCaption->setBuddy(zooms_);
  save_ = new QPushButton(Q(kSavePreviewButton), this);
  save_->setObjectName("SavePreview");

  view_ = new QLabel(this);
  view_->setObjectName("PreviewPicture");
  view_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  view_->setAccessibleName(Q(kPreviewPictureName));
  note_ = new QLabel(Q(kPreviewNoTemplateNote), this);
  note_->setObjectName("PreviewNote");

  auto* controls = new QHBoxLayout;
  controls->addWidget(backgroundCaption);
  controls->addWidget(backgrounds_);
  controls->addSpacing(12);
  controls->addWidget(zoomCaption);
  controls->addWidget(zooms_);
  controls->addStretch();
  controls->addWidget(save_);
  auto* box = new QVBoxLayout(this);
  box->addLayout(controls);
  box->addWidget(view_);
  box->addWidget(note_);
  // As large as the picture at its zoom, and no larger.
  box->setSizeConstraint(QLayout::SetFixedSize);

  connect(backgrounds_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i < 0) return;
    SetBackground(kBackgrounds[static_cast<std::size_t>(i)]);
    emit ViewChosen(zoom_, background_);
  });
  connect(zooms_, &QComboBox::currentIndexChanged, this, [this](int i) {
    SetZoom(i + kMinPreviewZoom);
    emit ViewChosen(zoom_, background_);
  });
  connect(save_, &QPushButton::clicked, this, [this] { Save(); });
  Redraw();
}

void GamePreviewWindow::Follow(const image::TemplateImage& image) {
  image_ = image;
  Redraw();
}

void GamePreviewWindow::SetBackground(PreviewBackground background) {
  background_ = background;
  const auto at = std::find(kBackgrounds.begin(), kBackgrounds.end(), background);
  const QSignalBlocker quiet(backgrounds_);
  backgrounds_->setCurrentIndex(static_cast<int>(at - kBackgrounds.begin()));
  Redraw();
}

void GamePreviewWindow::SetZoom(int zoom) {
  zoom_ = std::clamp(zoom, kMinPreviewZoom, kMaxPreviewZoom);
  const QSignalBlocker quiet(zooms_);
  zooms_->setCurrentIndex(zoom_ - kMinPreviewZoom);
  Redraw();
}

void GamePreviewWindow::FitOnScreen(const QRect& available, const QRect& beside) {
  const QSize frame = FrameAllowance(this);
  const auto fits = [&] {
    layout()->activate();
    const QSize whole = sizeHint() + frame;
    return whole.width() <= available.width() && whole.height() <= available.height();
  };
  while (zoom_ > kMinPreviewZoom && !fits())
    SetZoom(zoom_ - 1);
  const QSize whole = sizeHint() + frame;
  QRect placed(QPoint(beside.right() + 1, beside.top()), whole);
  if (!available.contains(placed)) placed.moveRight(beside.left() - 1);
  move(KeptOnScreen(placed, available).topLeft());
}

void GamePreviewWindow::Redraw() {
  const bool loaded = image_.Loaded();
  // Without a template there are no tiles: the background alone.
  picture_ = loaded ? patch::GamePreview(image_, background_)
                    : patch::DrawGamePreview({}, {}, background_);
  // Enlarged here, pixel by pixel, so that no smoothing of the screen's scaling blurs it.
  QPixmap pixmap = QPixmap::fromImage(ToQImage(patch::EnlargePreview(picture_, zoom_)));
  view_->setPixmap(pixmap);
  view_->setFixedSize(pixmap.size());
  note_->setVisible(!loaded);
  save_->setEnabled(loaded);
}

bool GamePreviewWindow::Save() {
  if (!image_.Loaded()) return false;
  QString suggested;
  if (!image_.path.empty()) {
    std::filesystem::path name = image_.path;
    name.replace_filename(name.stem().string() + "_preview.png");
    suggested = DisplayPath(name);
  }
  const QString chosen = dialogs_.SaveFile(Q(kSavePreviewTitle),
                                           {{Q(kPngTypeName), QStringLiteral("png")}}, suggested);
  return !chosen.isEmpty() && SaveFile(PathOf(chosen));
}

bool GamePreviewWindow::SaveFile(const std::filesystem::path& file) {
  QString reason;
  std::optional<std::vector<std::uint8_t>> bytes;
  if (isOwnInput_ && isOwnInput_(file)) {
    reason = Q(kOwnInputInTheWay);
  } else if (auto encoded = command::EncodeImageAs(Shown(), file)) {
    bytes = std::move(*encoded);
  } else {
    reason = EncodeReason(encoded.Why());
  }
  if (bytes) {
    const auto target = ConfirmOutput(
        dialogs_, file, command::ImageKindOfName(file).value_or(command::OutputKind::kPng),
        kPreviewUnwritable);
    if (!target) return false;
    const auto written = io::WriteFileAtomically(*target, *bytes);
    if (written) return true;
    reason = WriteFailureReason(written.Why().error);
  }
  dialogs_.Show(Q(kPreviewUnwritable) + "\r\n" + DisplayPath(file) + "\r\n" + reason,
                BoxIcon::kStop, Q(kWriteErrorTitle));
  return false;
}

}  // namespace kavelin::app
