// Reading a Result in a test: the failure's words and parts, or nothing on success, so
// that a failed expectation still prints what went wrong.
#pragma once

#include <filesystem>
#include <string>

#include "io/read_file.hpp"
#include "io/result.hpp"
#include "text/code_table.hpp"
#include "text/encoding.hpp"

namespace kavelin::testing {

template <typename T>
std::string WhatOf(const Result<T>& result) {
  return result ? std::string() : result.Why().what;
}

// The failure's parts of type `Parts`, or a default one on success or other parts.
template <typename Parts, typename T>
Parts PartsOf(const Result<T>& result) {
  if (result) return Parts{};
  const Parts* parts = result.Why().template PartsAs<Parts>();
  return parts ? *parts : Parts{};
}

template <typename T>
io::ReadProblem ReadProblemOf(const Result<T>& result) {
  return result ? io::ReadProblem::kNone : io::ProblemOf(result.Why());
}

// The failure's reason as `Enum`, or Enum{} on success or a reason of another kind.
template <typename Enum, typename T>
Enum ReasonOf(const Result<T>& result) {
  Enum reason{};
  if (!result) ReasonIs(result.Why(), reason);
  return reason;
}

// The value, or an empty one on failure, for comparing either way. A reference into the
// result: it lasts as long as the result does.
template <typename T>
const T& ValueOf(const Result<T>& result) {
  static const T empty{};
  return result ? *result : empty;
}

// The failure's words as the window shows them (the road's messages are Japanese).
template <typename T>
std::u16string MessageOf(const Result<T>& result) {
  return result ? std::u16string() : text::FromUtf8(result.Why().what).value_or(u"");
}

// Where a write went: the path written, or the file its failure names.
inline std::filesystem::path OutputOf(const Result<std::filesystem::path>& result) {
  return result ? *result : result.Why().file;
}

// The three ways an encoding ends, for tables of expected outcomes.
enum class EncodeStatus { kEncoded, kUnencodable, kExtended };
inline EncodeStatus StatusOf(const text::EncodeResult& result) {
  if (!result) return EncodeStatus::kUnencodable;
  return result->extended ? EncodeStatus::kExtended : EncodeStatus::kEncoded;
}
inline std::u16string RejectedText(const text::EncodeResult& result) {
  return result ? std::u16string() : std::u16string(text::RejectedOf(result.Why()));
}

// The failure's errno, 0 on success.
template <typename T>
int ErrorOf(const Result<T>& result) {
  return result ? 0 : result.Why().error;
}

}  // namespace kavelin::testing
