#include "tessaldo/conversion/conversioni.h"

#include <array>

#include "digits.h"

namespace tessaldo::Conversioni {

Expected<Currency, Failure> Resto(Currency dividend, Currency divisor) {
  if (divisor.Whole() == 0) return Unexpected(Failure::DivisionByZero());
  // Both operands are whole and non-negative: the truncated remainder is the floored one.
  return Currency::FromWholeUnchecked(
      static_cast<std::uint64_t>(dividend.Whole() % divisor.Whole()));
}

std::string DecimaleABinario(Currency value) {
  return digits::Write<2>(value, NoYield{});
}
std::string DecimaleABinario(Currency value, YieldRef yield) {
  return digits::Write<2>(value, yield);
}
std::string DecimaleAOttale(Currency value) {
  return digits::Write<8>(value, NoYield{});
}
std::string DecimaleAOttale(Currency value, YieldRef yield) {
  return digits::Write<8>(value, yield);
}
std::string DecimaleAEsadecimale(Currency value) {
  return digits::Write<16>(value, NoYield{});
}
std::string DecimaleAEsadecimale(Currency value, YieldRef yield) {
  return digits::Write<16>(value, yield);
}

Expected<Currency, Failure> BinarioADecimale(std::string_view text) {
  return digits::Read<2>(text);
}
Expected<Currency, Failure> OttaleADecimale(std::string_view text) {
  return digits::Read<8>(text);
}
Expected<Currency, Failure> EsadecimaleADecimale(std::string_view text) {
  return digits::Read<16>(text);
}

Expected<std::string, Failure> DecimaleARomano(std::int16_t number) {
  if (number < 0 || number > kRomanMax) return Unexpected(Failure::OutOfDomain());
  static constexpr std::string_view kSymbols = "IVXLCDM";
  // The group of each decimal digit, as offsets into one-five-ten of its place.
  static constexpr std::array<std::string_view, 10> kGroups = {"",  "0",  "00",  "000",  "01",
                                                               "1", "10", "100", "1000", "02"};
  std::array<std::string_view, 4> groups{};
  std::array<std::size_t, 4> places{};
  std::size_t count = 0;
  for (std::size_t p = 0; number > 0; p += 2, number /= 10) {
    groups[count] = kGroups[number % 10];
    places[count++] = p;
  }
  std::string result;
  while (count-- > 0) {
    for (const char offset : groups[count]) result += kSymbols[places[count] + (offset - '0')];
  }
  return result;
}

}  // namespace tessaldo::Conversioni
