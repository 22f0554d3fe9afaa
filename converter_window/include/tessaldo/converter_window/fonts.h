#pragma once

namespace tessaldo {

// Maps the window's designed font families onto the free fonts that stand in for them where
// they are missing: "Comic Sans MS" to "Comic Neue", "Arial" to "Liberation Sans". Call once,
// after the application object exists and before the first window is built.
void InstallFontSubstitutes();

}  // namespace tessaldo
