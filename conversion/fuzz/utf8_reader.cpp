// Utf8ADecimale on any bytes: a value within range whose notation reads back
// to it, or a failure of one of the reader's three kinds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "tessaldo/conversion/conversioni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tessaldo;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto value = Conversioni::Utf8ADecimale(text);
  if (!value) {
    FUZZ_CHECK(IsReaderFailure(value.error()));
    return 0;
  }
  FUZZ_CHECK(value->Whole() >= 0 && value->Whole() <= Currency::kMaxWhole);
  const std::string written = Conversioni::DecimaleAUtf8(*value);
  const auto again = Conversioni::Utf8ADecimale(written);
  FUZZ_CHECK(again && *again == *value);
  // A well-formed text ends with its separator and opens with "|| ".
  FUZZ_CHECK(text.starts_with(Conversioni::kNotationOpening));
  FUZZ_CHECK(text == Conversioni::kNotationOpening ||
             text.ends_with(Conversioni::kNotationSeparator));
  return 0;
}
