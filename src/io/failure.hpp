// Why something could not be done, told one way by every module: what went wrong as a
// reason code, the same in English for the command line, the file it concerns, the errno
// when the system refused, and how a front end ends on it. A reader that knows more (a
// sheet file's key path, a patch's bad offset) hands its parts along for the window, which
// words failures in its own language.
#pragma once

#include <any>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <type_traits>
#include <utility>

namespace kavelin {

// How kavelin-cli ends on a failure; the window only tells it.
enum class ExitClass : std::uint8_t {
  kBadInput,     // a file, field or argument could not be used
  kWriteFailed,  // an output could not be written; any older file is intact
};

struct Failure {
  // Every member has its default, so that a failure is written with designated
  // initialisers naming only what it tells.
  std::error_code reason{};      // a module's reason enum (see ReasonIs), or an errno
  std::string what{};            // the message without the file's name: English, e.g. "no
                                 // such file"; the road's own messages keep their Japanese
  std::filesystem::path file{};  // the file it concerns, when there is one
  int error = 0;                 // the errno behind it, when the system refused
  ExitClass exit = ExitClass::kBadInput;
  std::any parts{};  // the reader's own parts, when it has more to tell

  // The reader's parts of type `Parts`, or nullptr when it gave none of that type.
  template <typename Parts>
  const Parts* PartsAs() const {
    return std::any_cast<Parts>(&parts);
  }
};

// The reason as the enum `Enum`, when it is one of that enum's values.
template <typename Enum>
bool ReasonIs(const Failure& failure, Enum& out) {
  if (failure.reason.category() != std::error_code(Enum{}).category()) return false;
  out = static_cast<Enum>(failure.reason.value());
  return true;
}

// The category every reason enum gets: its name, and its English text through the enum's
// own ReasonText(Enum), found by argument-dependent lookup.
template <typename Enum>
class ReasonCategory final : public std::error_category {
 public:
  explicit ReasonCategory(const char* name) : name_(name) {}
  const char* name() const noexcept override { return name_; }
  std::string message(int value) const override {
    return std::string(ReasonText(static_cast<Enum>(value)));
  }

 private:
  const char* name_;
};

// A reason enum's code: beside the enum, in its namespace,
//   inline std::error_code make_error_code(Enum e) { return MakeReason(e, "name"); }
// and, outside every namespace,
//   template <> struct std::is_error_code_enum<Enum> : std::true_type {};
template <typename Enum>
std::error_code MakeReason(Enum value, const char* name) {
  static const ReasonCategory<Enum> category(name);
  return {static_cast<int>(value), category};
}

}  // namespace kavelin
