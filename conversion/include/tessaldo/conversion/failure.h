#pragma once

#include <string>

namespace tessaldo {

// What a conversion routine reports instead of a value.
enum class FailureKind {
  kOverflow,        // the value lies beyond the currency range
  kMalformed,       // the text is not a notation of the routine
  kUnrecognised,    // a base-256 piece that names no code
  kDivisionByZero,  // Resto with a zero divisor
  kOutOfDomain,     // an argument the routine is not defined for
};

struct Failure {
  FailureKind kind;
  int number;
  std::string message;  // only an unrecognised piece is named

  static constexpr int kOverflowNumber = 6;
  static constexpr int kDivisionByZeroNumber = 11;
  static constexpr int kMalformedNumber = 5;
  static constexpr int kUnrecognisedNumber = -123;

  static Failure Overflow() { return {FailureKind::kOverflow, kOverflowNumber, {}}; }
  static Failure Malformed() { return {FailureKind::kMalformed, kMalformedNumber, {}}; }
  static Failure DivisionByZero() {
    return {FailureKind::kDivisionByZero, kDivisionByZeroNumber, {}};
  }
  static Failure OutOfDomain() { return {FailureKind::kOutOfDomain, kMalformedNumber, {}}; }
  // `piece` is the text as it is to be named in the message.
  static Failure Unrecognised(std::string_view piece) {
    return {FailureKind::kUnrecognised, kUnrecognisedNumber,
            "Carattere " + std::string(piece) + " non riconosciuto"};
  }

  friend bool operator==(const Failure&, const Failure&) = default;
};

}  // namespace tessaldo
