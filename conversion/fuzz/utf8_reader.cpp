// Utf8ADecimale on any bytes: a value within range whose notation reads back to it, read from a
// text that opens with "|| " and ends with its separator, or one of the reader's three failures.
// A property that does not hold aborts: the fuzzer shows where and keeps the input.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tessaldo/conversion/conversioni.h"

using namespace tessaldo;
using namespace tessaldo::Conversioni;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto value = Utf8ADecimale(text);
  if (!value) {
    const FailureKind kind = value.error().kind;
    if (kind == FailureKind::kDivisionByZero || kind == FailureKind::kOutOfDomain) std::abort();
    return 0;
  }
  const auto again = Utf8ADecimale(DecimaleAUtf8(*value));
  if (!again || *again != *value || value->Whole() > Currency::kMaxWhole) std::abort();
  if (text != "|| " && !(text.starts_with("|| ") && text.ends_with(" || "))) std::abort();
  return 0;
}
