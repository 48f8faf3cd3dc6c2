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

WriteResult WritePatch(const BuildResult& built, const std::filesystem::path& templatePath,
                       const WriteOptions& options) {
  WriteResult result;
  result.output = options.output.empty() ? PatchOutputName(templatePath) : options.output;
  if (result.output.empty()) {
    result.message = u"正しい画像が指定されていません。";
    return result;
  }
  if (io::SameFile(result.output, templatePath)) {
    result.message =
        u"パッチファイルの名前がテンプレート画像と同じになるため、作成できません。\r\n" +
        PathText(result.output);
    return result;
  }

  if (!built.ok) {
    result.message = built.message;
    return result;
  }
  const io::AtomicWriteResult written =
      options.batch ? options.batch->Stage(result.output, built.bytes)
                    : io::WriteFileAtomically(result.output, built.bytes, options.sync);
  if (!written.ok) {
    result.message = WriteFailureMessage(result.output, written.error);
    return result;
  }
  result.status = WriteStatus::kWritten;
  return result;
}

}  // namespace kavelin::patch
