// A value or the Failure that kept it from being made: what every operation that can fail
// returns, so that success is told one way everywhere.
#pragma once

#include <cassert>
#include <optional>
#include <utility>
#include <variant>

#include "io/failure.hpp"

namespace kavelin {

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : held_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit
  Result(Failure failure) : held_(std::in_place_index<1>, std::move(failure)) {}  // NOLINT

  explicit operator bool() const noexcept { return held_.index() == 0; }
  bool Ok() const noexcept { return held_.index() == 0; }

  T& operator*() & { return Value(); }
  const T& operator*() const& { return Value(); }
  T&& operator*() && { return std::move(Value()); }
  T* operator->() { return &Value(); }
  const T* operator->() const { return &Value(); }

  // Only when !Ok().
  const Failure& Why() const {
    assert(!Ok());
    return std::get<1>(held_);
  }
  Failure& Why() {
    assert(!Ok());
    return std::get<1>(held_);
  }

 private:
  T& Value() {
    assert(Ok());
    return std::get<0>(held_);
  }
  const T& Value() const {
    assert(Ok());
    return std::get<0>(held_);
  }
  std::variant<T, Failure> held_;
};

// Done, or the Failure that stopped it.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)) {}  // NOLINT: implicit

  explicit operator bool() const noexcept { return !failure_; }
  bool Ok() const noexcept { return !failure_; }
  const Failure& Why() const {
    assert(failure_);
    return *failure_;
  }
  Failure& Why() {
    assert(failure_);
    return *failure_;
  }

 private:
  std::optional<Failure> failure_;
};

}  // namespace kavelin
