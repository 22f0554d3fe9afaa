#pragma once

// std::expected where the standard library has it; a small stand-in for the
// toolchains that do not yet (clang 14 with libstdc++ 12, used for fuzzing).

#if __has_include(<expected>)
#include <expected>
#endif

#if defined(__cpp_lib_expected)

namespace tessaldo {
template <class T, class E>
using Expected = std::expected<T, E>;
template <class E>
using Unexpected = std::unexpected<E>;
}  // namespace tessaldo

#else

#include <cstdlib>
#include <type_traits>
#include <utility>
#include <variant>

namespace tessaldo {

template <class E>
class Unexpected {
 public:
  explicit Unexpected(E error) : error_(std::move(error)) {}
  const E& error() const& noexcept { return error_; }
  E&& error() && noexcept { return std::move(error_); }

 private:
  E error_;
};

template <class T, class E>
class Expected {
 public:
  Expected() : state_(std::in_place_index<0>) {}
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT
  template <class G>
  Expected(Unexpected<G> error)  // NOLINT
      : state_(std::in_place_index<1>, std::move(error).error()) {}

  bool has_value() const noexcept { return state_.index() == 0; }
  explicit operator bool() const noexcept { return has_value(); }

  const T& value() const& { return Checked(), std::get<0>(state_); }
  T& value() & { return Checked(), std::get<0>(state_); }
  const T& operator*() const& { return std::get<0>(state_); }
  T& operator*() & { return std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }
  const E& error() const& { return std::get<1>(state_); }
  template <class U>
  T value_or(U&& fallback) const& {
    return has_value() ? std::get<0>(state_) : static_cast<T>(std::forward<U>(fallback));
  }

 private:
  void Checked() const {
    if (!has_value()) std::abort();
  }
  std::variant<T, E> state_;
};

}  // namespace tessaldo

#endif
