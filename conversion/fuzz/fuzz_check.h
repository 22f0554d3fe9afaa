#pragma once

#include <cstdio>
#include <cstdlib>

#include "tessaldo/conversion/failure.h"

// Stops the fuzzer with a message when a property does not hold.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

namespace tessaldo {

inline bool IsReaderFailure(const Failure& failure) {
  switch (failure.kind) {
    case FailureKind::kOverflow:
      return failure.number == Failure::kOverflowNumber;
    case FailureKind::kMalformed:
      return failure.number == Failure::kMalformedNumber && failure.message.empty();
    case FailureKind::kUnrecognised:
      return failure.number == Failure::kUnrecognisedNumber &&
             failure.message.starts_with("Carattere ") &&
             failure.message.ends_with(" non riconosciuto");
    default:
      return false;
  }
}

}  // namespace tessaldo
