#pragma once

namespace tessaldo {

// Qt resource paths of the pictures in the tessaldo_resources library.
inline constexpr char kFormIconPath[] = ":/tessaldo/form_icon.png";  // 32x32, 256 colours
inline constexpr char kEmblemPath[] = ":/tessaldo/emblem.png";       // 48x48, 24-bit with a mask
inline constexpr char kEnvelopePath[] = ":/tessaldo/envelope.png";   // 24x24
// 24x24: Image2's start picture, the closed panel's arrow (as left.jpg beside the program).
inline constexpr char kImage2ClosedPath[] = ":/tessaldo/image2_closed.png";

// Registers the pictures with Qt's resource system. Linking tessaldo_resources
// already registers them at start-up; calling this as well is harmless.
void InitResources();

}  // namespace tessaldo
