// What the template operations report, and the texts the user sees for it. The window
// shows a failure in a stop-icon box; the command line prints the message.
#pragma once

#include <filesystem>
#include <string_view>

#include "io/result.hpp"

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

// In English, for the category; the command line words each status itself.
constexpr std::string_view ReasonText(ImageStatus status) {
  switch (status) {
    case ImageStatus::kOk:
      return {};
    case ImageStatus::kCannotRead:
      return "the file cannot be read";
    case ImageStatus::kInvalidFile:
      return "not a template image";
    case ImageStatus::kTooManyColours:
      return "too many colours";
    case ImageStatus::kOutOfMemory:
      return "not enough memory";
  }
  return {};
}
inline std::error_code make_error_code(ImageStatus status) {
  return MakeReason(status, "image");
}

}  // namespace kavelin::image

template <>
struct std::is_error_code_enum<kavelin::image::ImageStatus> : std::true_type {};

namespace kavelin::image {

// A status other than kOk as a failure about `file`; its `what` is the window's message.
inline Failure ImageFailure(ImageStatus status, const std::filesystem::path& file) {
  return {.reason = status, .what = std::string(MessageFor(status)), .file = file};
}

}  // namespace kavelin::image
