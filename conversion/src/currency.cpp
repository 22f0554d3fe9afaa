#include "tessaldo/conversion/currency.h"

#include "digits.h"

namespace tessaldo {

Expected<Currency, Failure> Currency::FromDecimalText(std::string_view digits) {
  return digits::Read<10>(digits);
}

std::string Currency::DecimalText() const {
  if (units_ == 0) return "0";
  return digits::Write<10>(*this, NoYield{});
}

}  // namespace tessaldo
