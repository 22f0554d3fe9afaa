#pragma once

#include <cstdint>
#include <string>

namespace tessaldo {

// A key as it reaches a numeric field: the field (0 to 3), the window system's key and text, and
// when it was pressed on the window system's clock (ms; 0 when unknown).
struct KeyStroke {
  int field = -1;
  int key = 0;
  std::u16string text;
  bool autoRepeat = false;
  std::uint64_t pressedAt = 0;
};

// The merging of held keys: auto-repeats of the key that last ran, in the same field, pressed
// while that run was still going (a refused key's tone) are merged into it, as Windows merges the
// repeats it could not deliver, so a held key never puts the window behind the keyboard.
class HeldKeys {
 public:
  // True when `stroke` is to be dropped as part of the last run.
  bool Merged(const KeyStroke& stroke) const {
    return stroke.autoRepeat && stroke.pressedAt != 0 && last_.field == stroke.field &&
           last_.key == stroke.key && last_.text == stroke.text && stroke.pressedAt < until_;
  }
  // Records the run of `stroke`, which took `tookMs`.
  void Ran(const KeyStroke& stroke, std::uint64_t tookMs) {
    last_ = stroke;
    until_ = stroke.pressedAt + tookMs;
  }

 private:
  KeyStroke last_;
  std::uint64_t until_ = 0;
};

}  // namespace tessaldo
