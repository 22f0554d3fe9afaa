#pragma once

namespace tessaldo {

// Qt resource paths of the pictures in the tessaldo_resources library.
inline constexpr char kFormIconPath[] = ":/tessaldo/form_icon.png";  // 32x32, 256 colours
inline constexpr char kEmblemPath[] = ":/tessaldo/emblem.png";       // 48x48, 24-bit with a mask
inline constexpr char kEnvelopePath[] = ":/tessaldo/envelope.png";   // 24x24
// 24x24: Image2's start picture, the closed panel's arrow: left.jpg itself, so that the closed
// panel shows the same picture at start and after any toggles.
inline constexpr char kImage2ClosedPath[] = ":/tessaldo/image2_closed.jpg";

// Registers the pictures with Qt's resource system. Linking tessaldo_resources
// already registers them at start-up; calling this as well is harmless.
void InitResources();

}  // namespace tessaldo
