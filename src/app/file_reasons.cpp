#include "app/file_reasons.hpp"

#include <cstring>

#include "app/form_plan.hpp"
#include "app/qt_text.hpp"
#include "app/window_texts.hpp"
#include "command/save_file.hpp"
#include "text/hex.hpp"

namespace kavelin::app {
namespace {

using patch::PatchField;
using patch::PatchProblemKind;
using sheet::ListId;
using sheet::SheetProblemKind;
using sheet::SheetValueKind;

// The lists by the captions the window gives their fields.
QString ListName(ListId list) {
  switch (list) {
    case ListId::kGender:
      return Q(u"性別");
    case ListId::kDestinyStar:
      return Q(u"宿星");
    case ListId::kFavouriteWeapon:
      return Q(u"得意武器");
    case ListId::kInspirationType:
      return Q(u"閃きタイプ");
    case ListId::kTechnique:
      return Q(u"技");
    case ListId::kSpell:
      return Q(u"術");
    case ListId::kWeapon:
      return Q(u"武器");
    case ListId::kArmour:
      return Q(u"防具");
    case ListId::kFormation:
      return Q(u"固有陣形");
    case ListId::kExclusiveWeapon:
      return Q(u"専用武器");
    case ListId::kCommanderType:
      return Q(u"コマンダー");
  }
  return {};
}

// What a value of the wrong type should have been. Words of the file's own syntax are
// quoted, as they must be typed so.
QString ValueKindName(SheetValueKind kind) {
  switch (kind) {
    case SheetValueKind::kString:
      return Q(u"文字列");
    case SheetValueKind::kStringOrNumber:
      return Q(u"文字列か数値");
    case SheetValueKind::kTrueOrFalse:
      return Q(u"「true」か「false」");
    case SheetValueKind::kWholeNumber:
      return Q(u"整数");
    case SheetValueKind::kCode:
      return Q(u"2 桁の 16 進数のコード");
    case SheetValueKind::kArray:
      return Q(u"配列");
    case SheetValueKind::kArrayOfPairs:
      return Q(u"パレット番号の組の配列");
    case SheetValueKind::kPairOfEntries:
      return Q(u"パレット番号 2 つの組");
    case SheetValueKind::kPath:
      return Q(u"パスの文字列");
  }
  return {};
}

QString FieldName(PatchField field) {
  switch (field) {
    case PatchField::kNone:
      break;
    case PatchField::kName:
      return Q(u"名前");
    case PatchField::kJobName:
      return Q(u"職業名");
    case PatchField::kDestinyStar:
      return Q(u"宿星");
    case PatchField::kFavouriteWeapon:
      return Q(u"得意武器");
  }
  return {};
}

template <typename Number>
QString N(Number value) {
  return QString::number(value);
}

QString Byte(std::size_t value) {
  return Q(text::Hex(static_cast<unsigned>(value)));
}

// The key path as the file spells it.
QString Key(const sheet::SheetFileProblem& problem) {
  return Q(u"キー「%1」").arg(Q(problem.key));
}

}  // namespace

QString SizeText(std::uintmax_t bytes) {
  return Q(SizeText16(bytes));
}

QString ReadProblemReason(const Failure& read) {
  // Each starts as the window's older boxes did, so that the first words say what
  // happened and the rest says why.
  const QString unreadable = Q(u"ファイルが読み込めません。");
  const auto* parts = read.PartsAs<io::ReadParts>();
  switch (io::ProblemOf(read)) {
    case io::ReadProblem::kNone:
      return {};
    case io::ReadProblem::kNoSuchFile:
      return Q(u"ファイルが見つかりません。");
    case io::ReadProblem::kNotRegularFile:
      return unreadable + Q(u"フォルダ、パイプ、装置などで、通常のファイルではありません。");
    case io::ReadProblem::kTooLarge:
      return Q(kFileTooLargeReason).arg(SizeText(parts ? parts->limit : 0));
    case io::ReadProblem::kNoPermission:
      return unreadable + Q(u"読み込みが許可されていません。");
    case io::ReadProblem::kChanged:
      return unreadable + Q(u"読み込んでいる間にファイルが変わりました。");
    case io::ReadProblem::kOutOfMemory:
      return Q(u"メモリが足りないため、ファイルを読み込めません。");
    case io::ReadProblem::kReadFailed:
      break;
  }
  // The system's own words for a failure the window has none for.
  const char* why = read.error != 0 ? std::strerror(read.error) : nullptr;
  return why != nullptr ? unreadable + Q(u"（%1）").arg(QString::fromLocal8Bit(why)) : unreadable;
}

QString FailureReason(const Failure& failure) {
  if (io::ProblemOf(failure) != io::ReadProblem::kNone) return ReadProblemReason(failure);
  // The readers' own English wording is the command line's.
  if (const auto* at = failure.PartsAs<patch::PatchProblemAt>())
    return PatchFileReason(at->problem, at->offset);
  if (const auto* problem = failure.PartsAs<sheet::SheetFileProblem>())
    return SheetFileReason(*problem);
  // The image's and the road's messages are the window's already.
  return QString::fromStdString(failure.what);
}

QString EncodeReason(const Failure& failure) {
  command::EncodeProblem problem{};
  ReasonIs(failure, problem);
  return problem == command::EncodeProblem::kNotAnImageName ? Q(kTemplateTypeNeeded)
                                                            : Q(kTooManyColoursForGif);
}

QString SheetFileReason(const sheet::SheetFileProblem& p) {
  switch (p.kind) {
    case SheetProblemKind::kNone:
      break;
    case SheetProblemKind::kNestedTooDeep:
      return Q(u"入れ子が %1 段より深くなっています。").arg(N(p.limit));
    case SheetProblemKind::kNulByte:
      return Q(u"オフセット %1 にヌル文字があります。").arg(N(p.value));
    case SheetProblemKind::kNotJson:
      if (p.line == 0) return Q(u"キャラクターファイルの書式が正しくありません。");
      return Q(u"%1 行目 %2 文字目で、キャラクターファイルの書式が正しくありません。")
          .arg(N(p.line), N(p.column));
    case SheetProblemKind::kBytesAfterValue:
      return Q(u"オフセット %1 から後ろに、余分なデータがあります。").arg(N(p.value));
    case SheetProblemKind::kTooManyKeys:
      return Q(u"キーが %1 個より多い「{ }」があります。").arg(N(p.limit));
    case SheetProblemKind::kNotObject:
      if (p.key.empty()) return Q(u"ファイル全体が「{ }」で囲まれていません。");
      return Q(u"%1の値は「{ }」で囲まなければなりません。").arg(Key(p));
    case SheetProblemKind::kUnknownKey:
      return Q(u"%1はキャラクターファイルにないキーです。").arg(Key(p));
    case SheetProblemKind::kWrongType:
      return Q(u"%1の値は%2でなければなりませんが、「%3」です。")
          .arg(Key(p), ValueKindName(p.expected), Q(p.found));
    case SheetProblemKind::kNotUtf8:
      return Q(u"%1の値に、文字として読めないバイトがあります。").arg(Key(p));
    case SheetProblemKind::kWrongLength:
      return Q(u"%1には %2 個の値が必要ですが、%3 個あります。")
          .arg(Key(p), N(p.limit), N(p.value));
    case SheetProblemKind::kPositionOutOfRange:
      return Q(u"%1の値 %2 は 0～%3 の範囲にありません。").arg(Key(p), N(p.value), N(p.limit));
    case SheetProblemKind::kCodeNotHex:
      return Q(u"%1のコード「%2」は 2 桁の 16 進数ではありません。").arg(Key(p), Q(p.found));
    case SheetProblemKind::kCodeNotInList:
      return Q(u"%1のコード「%2」は%3の一覧にありません。")
          .arg(Key(p), Q(p.found), ListName(p.list));
    case SheetProblemKind::kSwapEntryOutOfRange:
      return Q(u"%1のパレット番号 %2 は 0～%3 の範囲にありません。")
          .arg(Key(p), N(p.value), N(p.limit));
    case SheetProblemKind::kSwapReservedEntry:
      return Q(u"%1のパレット番号 %2 は予約された黒なので、入れ替えられません。")
          .arg(Key(p), N(p.value));
    case SheetProblemKind::kTemplatePathLength:
      return Q(u"%1のパスは 1～%2 バイトでなければなりませんが、%3 バイトあります。")
          .arg(Key(p), N(p.limit), N(p.value));
    case SheetProblemKind::kTemplateControlCharacter:
      return Q(u"%1のパスに制御文字があります。").arg(Key(p));
  }
  return Q(u"キャラクターファイルの内容が正しくありません。");
}

QString PatchFileReason(const patch::PatchProblem& p, std::size_t offset) {
  const auto reason = [&p]() -> QString {
    switch (p.kind) {
      case PatchProblemKind::kNone:
        break;
      case PatchProblemKind::kTooShort:
        return Q(u"ファイルが %1 バイトしかなく、パッチの固定部分の %2 バイトに足りません。")
            .arg(N(p.value), N(p.expected));
      case PatchProblemKind::kNotPatch:
        return Q(u"パッチファイルではありません（先頭が「K7P」ではありません）。");
      case PatchProblemKind::kTextCodeCutOff:
        return Q(u"%1の 2 バイトのコードが途中で切れています。").arg(FieldName(p.field));
      case PatchProblemKind::kNotGameCharacter:
        return Q(u"%1のバイト %2 はゲームの文字ではありません。")
            .arg(FieldName(p.field), Byte(p.value));
      case PatchProblemKind::kNotGameOrSettingsCharacter:
        return Q(u"%1のバイト %2 はゲームの文字でも「KV7Tools.ini」の文字でもありません。")
            .arg(FieldName(p.field), Byte(p.value));
      case PatchProblemKind::kUnknownGender:
        return Q(u"性別のバイト %1 は知らない値です。").arg(Byte(p.value));
      case PatchProblemKind::kOutOfRange:
        return Q(u"%1の値 %2 は範囲にありません。").arg(FieldName(p.field), N(p.value));
      case PatchProblemKind::kCodeNotInList:
        return Q(u"コード「%1」は%2の一覧にありません。").arg(Byte(p.value), ListName(p.list));
      case PatchProblemKind::kLevelSchoolBits:
        return Q(u"レベルのバイト %1 に術の系統のビットが立っています。").arg(Byte(p.value));
      case PatchProblemKind::kForbiddenSchoolsBits:
        return Q(u"購入禁止術のバイト %1 にビット 6 か 7 が立っています。").arg(Byte(p.value));
      case PatchProblemKind::kUnknownBlock:
        return Q(u"ブロック番号 %1 は知らない番号です。").arg(Byte(p.value));
      case PatchProblemKind::kBlockOrder:
        return Q(u"ブロック %1 がブロック %2 の後にあります。ブロックは番号の小さい順に 1 つずつ"
                 u"並んでいなければなりません。")
            .arg(N(p.block), N(p.value));
      case PatchProblemKind::kBlockCutOff:
        return Q(u"ブロック %1 が途中で切れています。").arg(N(p.block));
      case PatchProblemKind::kLockByte:
        return Q(u"ブロック %1 の変更禁止のバイト %2 が 00 でも FF でもありません。")
            .arg(N(p.block), Byte(p.value));
      case PatchProblemKind::kPayloadLength:
        return Q(u"ブロック %1 のデータの長さが %2 です（正しくは %3）。")
            .arg(N(p.block), N(p.value), N(p.expected));
      case PatchProblemKind::kCommentBlockCutOff:
        return Q(u"コメントのブロックが途中で切れています。");
      case PatchProblemKind::kEmptyComment:
        return Q(u"コメントのブロックに文字がありません。");
      case PatchProblemKind::kCommentCutOff:
        return Q(u"コメントが %1 文字のはずが、%2 文字で切れています。")
            .arg(N(p.expected), N(p.value));
      case PatchProblemKind::kCommentLastCharCutOff:
        return Q(u"コメントの最後の文字が途中で切れています。");
      case PatchProblemKind::kBytesAfterComment:
        return Q(u"コメントの後ろに %1 バイトの余分なデータがあります。").arg(N(p.value));
    }
    return Q(u"パッチファイルの内容が正しくありません。");
  };
  return Q(u"オフセット %1: ").arg(N(offset)) + reason();
}

}  // namespace kavelin::app
