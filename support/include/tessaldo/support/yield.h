#pragma once

#include <concepts>
#include <type_traits>

namespace tessaldo {

// A non-owning reference to the callable that lets the window process its
// pending events; the digit writers call it once per digit written.
class YieldRef {
 public:
  template <class F>
  requires(!std::same_as<std::remove_cvref_t<F>, YieldRef> && std::invocable<F&>)
      YieldRef(F& callable)
  noexcept  // NOLINT: implicit by design
      : context_(static_cast<void*>(&callable)),
        call_([](void* context) { (*static_cast<F*>(context))(); }) {}

  void operator()() const { call_(context_); }

 private:
  void* context_;
  void (*call_)(void*);
};

// A yield that lets nothing through: for callers without a window.
struct NoYield {
  void operator()() const noexcept {}
};

}  // namespace tessaldo
