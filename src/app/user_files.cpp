#include "app/user_files.hpp"

#include <QStringList>
#include <algorithm>

#include "app/qt_text.hpp"
#include "app/window_texts.hpp"
#include "command/create_patch.hpp"
#include "io/atomic_file.hpp"
#include "patch/patch_writer.hpp"
#include "patch/template_export.hpp"

namespace kavelin::app {

std::vector<FileType> ImageFileTypes() {
  return {{Q(kGifTypeName), QStringLiteral("gif")},
          {Q(kBmpTypeName), QStringLiteral("bmp")},
          {Q(kPngTypeName), QStringLiteral("png")}};
}

QString WriteFailureReason(int error) {
  return Q(patch::FileErrorReason(error));
}

QString BoxLines(std::initializer_list<QString> lines) {
  return QStringList(lines).join(QStringLiteral("\r\n"));
}

QString ExistingKindName(command::ExistingKind kind) {
  using command::ExistingKind;
  switch (kind) {
    case ExistingKind::kPatch:
      return Q(kPatchKindName);
    case ExistingKind::kGif:
      return Q(kGifTypeName);
    case ExistingKind::kBmp:
      return Q(kBmpTypeName);
    case ExistingKind::kPng:
      return Q(kPngTypeName);
    case ExistingKind::kSheet:
      return Q(kSheetTypeName);
    case ExistingKind::kNothing:
    case ExistingKind::kOther:
    case ExistingKind::kLink:
    case ExistingKind::kFolder:
    case ExistingKind::kDevice:
      break;
  }
  return Q(kOtherKindName);
}

QString WrittenKindName(command::OutputKind kind) {
  return ExistingKindName(command::KindOf(kind));
}

std::optional<std::filesystem::path> ConfirmOutput(Dialogs& dialogs,
                                                   const std::filesystem::path& file,
                                                   command::OutputKind kind,
                                                   std::u16string_view unwritable,
                                                   bool sameKindReplaces) {
  using command::ExistingKind;
  const command::OutputTarget target = command::InspectOutput(file, kind, sameKindReplaces);
  if (target.free || target.never) return file;
  if (target.existing != ExistingKind::kLink) {
    const QString question =
        sameKindReplaces
            ? Q(kReplaceOtherKindQuestion)
                  .arg(DisplayPath(file), WrittenKindName(kind), ExistingKindName(target.existing))
            : Q(kReplaceExistingQuestion).arg(ExistingKindName(target.existing), DisplayPath(file));
    if (!dialogs.Ask(question, BoxIcon::kExclamation, Q(kConfirmTitle))) return std::nullopt;
    return file;
  }
  // A link: the question names the file it leads to, and what that file is when writing
  // would replace something other than its own kind.
  const std::filesystem::path through = io::LinkTarget(file);
  const command::OutputTarget there = command::InspectOutput(through, kind, sameKindReplaces);
  // Still a link at the end of the chain: a loop, or more links than are followed.
  if (there.never || there.existing == ExistingKind::kLink) {
    dialogs.Show(BoxLines({Q(unwritable), DisplayPath(file),
                           Q(kLinkTargetUnwritable).arg(DisplayPath(through))}),
                 BoxIcon::kStop, Q(kWriteErrorTitle));
    return std::nullopt;
  }
  QString question = Q(kWriteThroughLinkQuestion).arg(DisplayPath(file), DisplayPath(through));
  if (!there.free)
    question +=
        QStringLiteral("\r\n") + Q(kLinkTargetKindNote).arg(ExistingKindName(there.existing));
  if (!dialogs.Ask(question, BoxIcon::kExclamation, Q(kConfirmTitle))) return std::nullopt;
  return through;
}

}  // namespace kavelin::app
