#pragma once

#include <compare>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "tessaldo/conversion/failure.h"
#include "tessaldo/support/expected.h"

namespace tessaldo {

// An exact 64-bit fixed-point number counting ten-thousandths. Only whole,
// non-negative values can be built: every Currency in the program is valid.
class Currency {
 public:
  static constexpr std::int64_t kUnitsPerWhole = 10'000;
  static constexpr std::int64_t kMaxWhole =
      std::numeric_limits<std::int64_t>::max() / kUnitsPerWhole;  // 922,337,203,685,477

  constexpr Currency() noexcept = default;

  // Plain decimal digits, leading zeros allowed, the empty text reading as 0.
  static Expected<Currency, Failure> FromDecimalText(std::string_view digits);

  // For values already known to be in range (0 to kMaxWhole).
  static constexpr Currency FromWholeUnchecked(std::uint64_t whole) noexcept {
    return Currency(static_cast<std::int64_t>(whole) * kUnitsPerWhole);
  }

  constexpr std::int64_t Whole() const noexcept { return units_ / kUnitsPerWhole; }

  // The plain digits of the value: no sign, separators or leading zeros; "0" for zero.
  std::string DecimalText() const;

  friend constexpr auto operator<=>(Currency, Currency) = default;

 private:
  explicit constexpr Currency(std::int64_t units) noexcept : units_(units) {}
  std::int64_t units_ = 0;
};

}  // namespace tessaldo
