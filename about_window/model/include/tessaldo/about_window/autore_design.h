#pragma once

#include <array>

#include "tessaldo/resources/design.h"

// The about window FormAutore as designed, for every front-end: its texts, the addresses its
// links open, and its controls with their places in twips, fonts, colours, tips and pointers.
namespace tessaldo::autore {

inline constexpr char kCaption[] = "Autore";
inline constexpr char kAuthorLine[] = "Gli sviluppatori di Tessaldo, con la passione per i numeri";
inline constexpr char kCollection[] = "Tessaldo";
inline constexpr char kSiteName[] = "Sito Tessaldo";
inline constexpr char kSiteHost[] = "tessaldo.example.org";
inline constexpr char kSiteAddress[] = "http://tessaldo.example.org";
inline constexpr char kMailAddress[] = "mailto:autori@tessaldo.example.org?subject=Tessaldo";
inline constexpr char kMailTip[] = "Invia e-Mail";

// The window: a fixed dialog frame around a dark-blue client area.
inline constexpr int kClientWidthTwips = 4410;
inline constexpr int kClientHeightTwips = 1860;
inline constexpr design::Rgb kBackground = design::kDarkBlue;

// Picture1, the white frame with a thin single line around it; its scale counts pixels inside
// the line.
inline constexpr design::Rgb kFrameBackground = design::kWhite;
inline constexpr design::Rgb kFrameLine = design::kBlack;
inline constexpr int kFrameLinePx = 1;

enum class Pointer { kArrow, kHand };
enum class Align { kLeft, kCentre };

inline constexpr design::Font kPanelFont{"Comic Sans MS", 14.25};
inline constexpr design::Font kPanelBoldFont{"Comic Sans MS", 14.25, true};
inline constexpr design::Font kSiteFont{"Comic Sans MS", 15.75, false, true};

// An image or picture box; which picture it shows is the front-end's.
struct PictureDesign {
  const char* name;
  design::TwipsBox box;
  const char* tip = nullptr;
  Pointer pointer = Pointer::kArrow;
};

// A label: transparent unless opaque, where the panel's background (the system's window
// background) shows behind it. A wrapping label breaks its text at its width and grows in
// height to fit it, starting at its top.
struct LabelDesign {
  const char* name;
  design::TwipsBox box;
  const char* text;
  design::Font font;
  design::Rgb colour;
  Align align;
  bool wraps = false;
  bool opaque = false;
  const char* tip = nullptr;
  Pointer pointer = Pointer::kArrow;
};

// On the window.
inline constexpr PictureDesign Picture1{"Picture1", {60, 0, 4305, 1335}};
inline constexpr PictureDesign Picture3{
    "Picture3", {3450, 1365, 480, 480}, kMailTip, Pointer::kHand};
inline constexpr LabelDesign Label1{"Label1",       {480, 1395, 2490, 375}, kSiteName, kSiteFont,
                                    design::kWhite, Align::kCentre,         false,     false,
                                    kSiteHost,      Pointer::kHand};

// In Picture1: the scrolling panel, in the system's window background, holding the rest.
inline constexpr PictureDesign picture2{"picture2", {240, 960, 3810, 2610}};
inline constexpr PictureDesign Image1{"Image1", {240, 1320, 720, 720}};
inline constexpr LabelDesign Label5{"Label5",   {-60, 30, 3660, 1170}, kAuthorLine,
                                    kPanelFont, design::kDarkBlue,     Align::kCentre,
                                    true};
// Label5's shadow, behind it.
inline constexpr LabelDesign Label4{"Label4",      {0, 75, 3660, 1170}, kAuthorLine, kPanelFont,
                                    design::kGrey, Align::kCentre,      true};
inline constexpr LabelDesign Label3{"Label3",       {900, 1620, 2565, 405}, kCollection,
                                    kPanelBoldFont, design::kBlack,         Align::kLeft};
// Label3's shadow, behind it, opaque.
inline constexpr LabelDesign Label2{
    "Label2",      {885, 1680, 2700, 405}, kCollection, kPanelBoldFont,
    design::kGrey, Align::kLeft,           false,       true};

// The panel's labels from the bottom of the stacking order up, as they are drawn.
inline constexpr std::array<const LabelDesign*, 4> kPanelLabels{&Label2, &Label3, &Label4, &Label5};

}  // namespace tessaldo::autore
