// The digit readers on any bytes (the first byte picks the base), checked against std::from_chars:
// a stray character is malformed, digits beyond the range an overflow, and a value reads back.
#include <charconv>
#include <cstdint>
#include <string>
#include <tuple>

#include "fuzz_check.h"
#include "tessaldo/conversion/conversioni.h"

using namespace tessaldo;
using Reader = Expected<Currency, Failure> (*)(std::string_view);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::tuple<int, Reader, std::string (*)(Currency)> kBases[] = {
      {2, &Conversioni::BinarioADecimale, &Conversioni::DecimaleABinario},
      {8, &Conversioni::OttaleADecimale, &Conversioni::DecimaleAOttale},
      {16, &Conversioni::EsadecimaleADecimale, &Conversioni::DecimaleAEsadecimale},
      {10, &Currency::FromDecimalText, [](Currency value) { return value.DecimalText(); }}};
  if (size == 0) return 0;
  const auto& [base, read, write] = kBases[data[0] % 4];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::uint64_t wide = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), wide, base);
  const auto value = read(text);
  if (end != text.data() + text.size()) {
    FUZZ_CHECK(!value && value.error().kind == FailureKind::kMalformed);
  } else if (error == std::errc::result_out_of_range ||
             wide > static_cast<std::uint64_t>(Currency::kMaxWhole)) {
    FUZZ_CHECK(!value && value.error().kind == FailureKind::kOverflow);
  } else {
    FUZZ_CHECK(value && value->Whole() == static_cast<std::int64_t>(wide));
    const auto again = read(write(*value));
    FUZZ_CHECK(again && *again == *value);
  }
  return 0;
}
