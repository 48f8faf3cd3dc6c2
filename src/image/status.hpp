// What the template operations report, and the texts the user sees for it. The window
// shows a failure in a stop-icon box; the command line prints the message.
#pragma once

#include <string_view>

namespace kavelin::image {

enum class ImageStatus {
  kOk,
  kCannotRead,      // the file does not exist or cannot be opened
  kInvalidFile,     // not a GIF, BMP or PNG, or the decoder or the intake refused it
  kTooManyColours,  // the cells need more palette entries than are free
  kOutOfMemory,     // there was not enough memory to read or decode it
};

inline constexpr std::string_view kCannotReadMessage = "ファイルが読み込めません。";
inline constexpr std::string_view kInvalidFileMessage = "ファイルが不正です。";
inline constexpr std::string_view kTooManyColoursMessage = "色数が多すぎます。";
inline constexpr std::string_view kOutOfMemoryMessage =
    "メモリが足りないため、ファイルを読み込めません。";

// The message for a status; empty for kOk.
constexpr std::string_view MessageFor(ImageStatus status) {
  switch (status) {
    case ImageStatus::kOk:
      return {};
    case ImageStatus::kCannotRead:
      return kCannotReadMessage;
    case ImageStatus::kInvalidFile:
      return kInvalidFileMessage;
    case ImageStatus::kTooManyColours:
      return kTooManyColoursMessage;
    case ImageStatus::kOutOfMemory:
      return kOutOfMemoryMessage;
  }
  return kInvalidFileMessage;
}

}  // namespace kavelin::image
