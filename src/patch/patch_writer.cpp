#include "patch/patch_writer.hpp"

#include <cerrno>
#include <cstring>

#include "io/atomic_file.hpp"
#include "patch/patch_file.hpp"
#include "text/encoding.hpp"

namespace kavelin::patch {
namespace {

std::u16string PathText(const std::filesystem::path& p) {
  return text::FromUtf8(p.native()).value_or(p.u16string());
}

}  // namespace

std::u16string FileErrorReason(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
      return u"書き込みが許可されていません。";
    case ENOENT:
    case ENOTDIR:
      return u"フォルダが見つかりません。";
    case ENOSPC:
    case EDQUOT:
      return u"ディスクの空き容量が足りません。";
    case EFBIG:
      return u"ファイルサイズの上限を超えました。";
    case EISDIR:
      return u"同じ名前のフォルダがあります。";
    case ENAMETOOLONG:
      return u"ファイル名が長すぎます。";
    case io::kNotRegularFileError:
      return u"通常のファイルではないため、置き換えられません。";
    case io::kSymbolicLinkError:
      return u"シンボリックリンクのため、置き換えられません。";
    default: {
      const auto text = text::FromUtf8(std::strerror(error));
      return text ? *text : u"";
    }
  }
}

std::u16string WriteFailureMessage(const std::filesystem::path& output, int error) {
  return u"パッチファイルを作成できませんでした。\r\n" + PathText(output) + u"\r\n" +
         FileErrorReason(error);
}

WriteResult WritePatchFile(const sheet::CharacterSheet& sheet, const text::CodeTable& codes,
                           const image::TemplateImage& templateImage, const WriteOptions& options) {
  return WritePatch(BuildPatchBytes(sheet, codes, templateImage), templateImage.path, options);
}

std::string_view ReasonText(OutputProblem problem) {
  switch (problem) {
    case OutputProblem::kNone:
      break;
    case OutputProblem::kNoTemplate:
      return "no template is loaded";
    case OutputProblem::kTemplateItself:
      return "the patch would replace its template";
  }
  return {};
}

WriteResult WritePatch(const BuildResult& built, const std::filesystem::path& templatePath,
                       const WriteOptions& options) {
  const std::filesystem::path output =
      options.output.empty() ? PatchOutputName(templatePath) : options.output;
  const auto refused = [&output](std::error_code reason, std::u16string_view message,
                                 int error = 0) {
    return Failure{.reason = reason,
                   .what = text::ToUtf8(message),
                   .file = output,
                   .error = error,
                   .exit = ExitClass::kWriteFailed};
  };
  if (output.empty())
    return refused(OutputProblem::kNoTemplate, u"正しい画像が指定されていません。");
  if (io::SameFile(output, templatePath)) {
    return refused(OutputProblem::kTemplateItself,
                   u"パッチファイルの名前がテンプレート画像と同じになるため、作成できません。\r\n" +
                       PathText(output));
  }

  if (!built) {
    Failure failure = built.Why();
    failure.file = output;
    return failure;
  }
  const io::WriteOutcome written = options.batch
                                       ? options.batch->Stage(output, *built)
                                       : io::WriteFileAtomically(output, *built, options.sync);
  if (!written) {
    const int error = written.Why().error;
    return refused(written.Why().reason, WriteFailureMessage(output, error), error);
  }
  return output;
}

}  // namespace kavelin::patch
