#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "tessaldo/resources/design.h"

// Form1 as designed: the window and each control, in twips, the one table every front-end builds
// the window from.
namespace tessaldo::form1_layout {

inline constexpr std::string_view kCaption = "Tessaldo";
inline constexpr int kClientWidth = 7095;  // twips
inline constexpr int kClientHeight = 5550;
inline constexpr design::Rgb kBackground = design::kDarkBlue;

enum class Kind {
  kLabel,        // sizes itself to its caption, left and top fixed
  kNumericEdit,  // Text1 to Text4: every edit goes through the model
  kLockedEdit,   // Text5: shows text, refuses typing
  kHiddenEdit,   // Text6Raw: never shown
  kRichEdit,     // Text6: the red bars
  kImage,        // clicked; takes no focus
  kListView,     // report view
  kButton,
};

using Rect = design::TwipsBox;
using Font = design::Font;

struct Control {
  std::string_view name;
  Kind kind;
  Rect twips;
  std::string_view caption;  // labels and the button
  Font font;
  // Designed colours; none: the system's colours for the kind of control.
  std::optional<design::Rgb> text, background;
  std::string_view tooltip;
  bool hand = false;  // the pointing hand over it
  int tabIndex = -1;  // -1: no tab position
  // The name an assistive tool reads: a field's label caption, a picture's tooltip; empty where
  // the control names itself (a caption) or has nothing to be named by.
  std::string_view accessibleName;
  bool visible = true;
};

// Every control of Form1 in the designed order: each field comes after the label whose strip it
// covers.
std::span<const Control> Controls();
// The control named `name`; nullopt for a name the window does not have.
std::optional<Control> Find(std::string_view name);

}  // namespace tessaldo::form1_layout
