// Utf8ADecimale on any bytes: a value within range whose notation reads back to it, read from a
// text that opens with "|| " and ends with its separator, or one of the reader's three failures.
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "tessaldo/conversion/conversioni.h"

using namespace tessaldo;
using namespace tessaldo::Conversioni;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto value = Utf8ADecimale(text);
  if (!value) {
    const FailureKind kind = value.error().kind;
    return FUZZ_CHECK(kind != FailureKind::kDivisionByZero && kind != FailureKind::kOutOfDomain), 0;
  }
  const auto again = Utf8ADecimale(DecimaleAUtf8(*value));
  FUZZ_CHECK(again && *again == *value && value->Whole() <= Currency::kMaxWhole);
  FUZZ_CHECK(text == "|| " || (text.starts_with("|| ") && text.ends_with(" || ")));
  return 0;
}
