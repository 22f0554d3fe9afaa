// The digit readers on any bytes (the first byte picks the base), checked
// against an independent wide-integer reading of the same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "tessaldo/conversion/conversioni.h"

namespace {

using namespace tessaldo;

struct Reader {
  unsigned base;
  Expected<Currency, Failure> (*read)(std::string_view);
  std::string (*write)(Currency);
};

Expected<Currency, Failure> ReadDecimal(std::string_view text) {
  return Currency::FromDecimalText(text);
}
std::string WriteDecimal(Currency value) {
  return value.Whole() == 0 ? std::string() : value.DecimalText();
}

const Reader kReaders[] = {
    {2, &Conversioni::BinarioADecimale, &Conversioni::DecimaleABinario},
    {8, &Conversioni::OttaleADecimale, &Conversioni::DecimaleAOttale},
    {16, &Conversioni::EsadecimaleADecimale, &Conversioni::DecimaleAEsadecimale},
    {10, &ReadDecimal, &WriteDecimal},
};

int DigitOf(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 99;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Reader& reader = kReaders[data[0] % 4];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  bool digitsOnly = true;
  unsigned __int128 wide = 0;
  const unsigned __int128 cap = static_cast<unsigned __int128>(1) << 100;
  for (const char c : text) {
    const int digit = DigitOf(c);
    if (digit >= static_cast<int>(reader.base)) {
      digitsOnly = false;
      break;
    }
    wide = wide * reader.base + static_cast<unsigned>(digit);
    if (wide > cap) wide = cap;
  }

  const auto value = reader.read(text);
  if (!value) {
    FUZZ_CHECK(IsReaderFailure(value.error()));
    FUZZ_CHECK(value.error().kind != FailureKind::kUnrecognised);
    const bool overflow = wide > static_cast<unsigned __int128>(Currency::kMaxWhole);
    FUZZ_CHECK(value.error().kind == FailureKind::kMalformed ? !digitsOnly
                                                             : digitsOnly && overflow);
    return 0;
  }
  FUZZ_CHECK(digitsOnly);
  FUZZ_CHECK(static_cast<unsigned __int128>(value->Whole()) == wide);
  const auto again = reader.read(reader.write(*value));
  FUZZ_CHECK(again && *again == *value);
  return 0;
}
