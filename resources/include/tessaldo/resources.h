#pragma once

namespace tessaldo {

// Qt resource paths of the pictures in the tessaldo_resources library.
inline constexpr char kFormIconPath[] = ":/tessaldo/form_icon.png";      // 32x32, 256 colours
inline constexpr char kEmblemPath[] = ":/tessaldo/emblem.png";           // 48x48, 24-bit
inline constexpr char kArrowRightPath[] = ":/tessaldo/arrow_right.png";  // 24x24
inline constexpr char kEnvelopePath[] = ":/tessaldo/envelope.png";       // 24x24

// Registers the pictures with Qt's resource system. Linking tessaldo_resources
// already registers them at start-up; calling this as well is harmless.
void InitResources();

}  // namespace tessaldo
