#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "tessaldo/conversion/currency.h"
#include "tessaldo/conversion/failure.h"
#include "tessaldo/support/expected.h"
#include "tessaldo/support/yield.h"

// The positional writer and reader shared by bases 2, 8, 10 and 16.
namespace tessaldo::digits {

inline constexpr std::string_view kAlphabet = "0123456789ABCDEF";

// Digit value of each byte; 0xFF for a byte that is no digit of any base.
inline constexpr std::array<std::uint8_t, 256> kDigitValue = [] {
  std::array<std::uint8_t, 256> table{};
  table.fill(0xFF);
  for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<std::uint8_t>(i);
  for (int i = 0; i < 6; ++i) {
    table['A' + i] = static_cast<std::uint8_t>(10 + i);
    table['a' + i] = static_cast<std::uint8_t>(10 + i);
  }
  return table;
}();

// Least significant digit first into a buffer from its end, then one copy:
// the result is the reversed work text, most significant digit first.
template <unsigned Base, class Yield>
std::string Write(Currency value, Yield&& yield) {
  static_assert(Base >= 2 && Base <= 16);
  std::array<char, 64> buffer;
  char* const end = buffer.data() + buffer.size();
  char* first = end;
  auto rest = static_cast<std::uint64_t>(value.Whole());
  while (rest != 0) {
    *--first = kAlphabet[rest % Base];
    rest /= Base;
    yield();
  }
  return std::string(first, end);
}

// How many digits of a base always stay within the currency range.
constexpr std::size_t SafeDigits(unsigned base) {
  std::size_t count = 0;
  for (std::uint64_t largest = base - 1; largest <= static_cast<std::uint64_t>(Currency::kMaxWhole);
       largest = largest * base + (base - 1)) {
    ++count;
  }
  return count;
}

// Horner's rule from the most significant digit; the sum is the same as the
// digit-times-power sum from the least significant end, and it only grows,
// so a range check on each step catches every overflow. Texts short enough
// to stay in range skip that check.
template <unsigned Base>
Expected<Currency, Failure> Read(std::string_view text) {
  static_assert(Base >= 2 && Base <= 16);
  constexpr auto kMax = static_cast<std::uint64_t>(Currency::kMaxWhole);
  std::uint64_t value = 0;
  if (text.size() <= SafeDigits(Base)) {
    for (const char ch : text) {
      const unsigned digit = kDigitValue[static_cast<unsigned char>(ch)];
      if (digit >= Base) [[unlikely]]
        return Unexpected(Failure::Malformed());
      value = value * Base + digit;
    }
    return Currency::FromWholeUnchecked(value);
  }
  bool overflow = false;
  for (const char ch : text) {
    const unsigned digit = kDigitValue[static_cast<unsigned char>(ch)];
    if (digit >= Base) return Unexpected(Failure::Malformed());
    value = value * Base + digit;  // value <= kMax < 2^50 before the step: no wrap
    if (value > kMax) {
      overflow = true;
      value = kMax;
    }
  }
  if (overflow) return Unexpected(Failure::Overflow());
  return Currency::FromWholeUnchecked(value);
}

static_assert(SafeDigits(2) == 49 && SafeDigits(8) == 16 && SafeDigits(10) == 14 &&
              SafeDigits(16) == 12);

}  // namespace tessaldo::digits
