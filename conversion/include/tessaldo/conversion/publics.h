#pragma once

#include <span>
#include <vector>

namespace tessaldo::Publics {

// A new array in which element k holds the input's element n - 1 - k.
template <class T>
std::vector<T> InvertiArray(std::span<const T> items) {
  return std::vector<T>(items.rbegin(), items.rend());
}

}  // namespace tessaldo::Publics
