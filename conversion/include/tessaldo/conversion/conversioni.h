#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tessaldo/conversion/currency.h"
#include "tessaldo/conversion/failure.h"
#include "tessaldo/support/expected.h"
#include "tessaldo/support/yield.h"

// Conversions between currency values and their texts. Every routine is a
// pure function of its arguments; texts are UTF-8.
namespace tessaldo::Conversioni {

// dividend - floor(dividend / divisor) * divisor; fails for a zero divisor.
Expected<Currency, Failure> Resto(Currency dividend, Currency divisor);

// Digit texts, most significant digit first, upper case, the empty text for 0.
// The overloads with a YieldRef call it once per digit written.
std::string DecimaleABinario(Currency value);
std::string DecimaleABinario(Currency value, YieldRef yield);
std::string DecimaleAOttale(Currency value);
std::string DecimaleAOttale(Currency value, YieldRef yield);
std::string DecimaleAEsadecimale(Currency value);
std::string DecimaleAEsadecimale(Currency value, YieldRef yield);

// Read digit texts; leading zeros are allowed and the empty text reads as 0.
// Hexadecimal also reads "a" to "f". A character outside the base's digits
// fails as malformed, a value beyond the currency range as an overflow.
Expected<Currency, Failure> BinarioADecimale(std::string_view digits);
Expected<Currency, Failure> OttaleADecimale(std::string_view digits);
Expected<Currency, Failure> EsadecimaleADecimale(std::string_view digits);

// The largest number that has a Roman numeral.
inline constexpr std::int16_t kRomanMax = 3999;

// The Roman numeral of 0 to kRomanMax (the empty text for 0).
Expected<std::string, Failure> DecimaleARomano(std::int16_t number);

// The base-256 notation: "|| " then each digit's token followed by " || ".
std::string DecimaleAUtf8(Currency value);
std::string DecimaleAUtf8(Currency value, YieldRef yield);
// Reads a notation back; "|| " reads as 0.
Expected<Currency, Failure> Utf8ADecimale(std::string_view notation);

// The notation's punctuation.
inline constexpr std::string_view kNotationOpening = "|| ";
inline constexpr std::string_view kNotationSeparator = " || ";

}  // namespace tessaldo::Conversioni
