#include "tessaldo/converter_window/form1_layout.h"

#include <algorithm>
#include <array>

namespace tessaldo::form1_layout {

namespace {

using design::kDarkBlue;
using design::kFieldBackground;
using design::kWhite;

constexpr Font kComic12{"Comic Sans MS", 12, false};
constexpr Font kLabelFont{"Comic Sans MS", 9.75, false};

constexpr Control Label(std::string_view name, std::string_view caption, Rect rect, Font font,
                        int tab, std::string_view tooltip = {}) {
  return {name, Kind::kLabel, rect, caption, font, kWhite, kDarkBlue, tooltip, false, tab, {}};
}
constexpr Control Field(std::string_view name, Kind kind, Rect rect, Font font, int tab,
                        std::string_view label) {
  return {name, kind, rect, {}, font, kDarkBlue, kFieldBackground, {}, false, tab, label};
}
constexpr Control Picture(std::string_view name, Rect rect, std::string_view tooltip) {
  return {name, Kind::kImage, rect, {}, {}, {}, {}, tooltip, true, -1, tooltip};
}

constexpr std::array kControls = {
    Label("Label1", "Decimale", {120, 240, 975, 345}, kComic12, 0),
    Field("Text1", Kind::kNumericEdit, {120, 600, 2655, 525}, {"Comic Sans MS", 14.25, true}, 1,
          "Decimale"),
    Picture("Image1", {2985, 420, 720, 720}, "Autore"),
    Label("Label4", "Binario", {120, 1320, 645, 270}, kLabelFont, 5),
    Field("Text2", Kind::kNumericEdit, {120, 1560, 3735, 405}, kComic12, 2, "Binario"),
    Label("Label5", "Ottale", {120, 2160, 570, 270}, kLabelFont, 6),
    Field("Text3", Kind::kNumericEdit, {120, 2400, 3735, 405}, kComic12, 3, "Ottale"),
    Label("Label6", "Esadecimale", {120, 3000, 1110, 270}, kLabelFont, 7),
    Field("Text4", Kind::kNumericEdit, {120, 3240, 3735, 405}, kComic12, 4, "Esadecimale"),
    Label("Label2", "Romano", {120, 3840, 675, 270}, kLabelFont, 9),
    Field("Text5", Kind::kLockedEdit, {120, 4080, 3735, 405}, kComic12, 8, "Romano"),
    Label("Label3", "UTF-8   (Base 256)", {120, 4680, 1770, 270}, kLabelFont, 10,
          "Conversione dei numeri in base 256 con rappresentazione tramite i simboli del set di "
          "caratteri UTF-8"),
    Control{"Text6Raw",
            Kind::kHiddenEdit,
            {2760, 4560, 735, 285},
            {},
            {},
            {},
            {},
            {},
            false,
            11,
            {},
            false},
    Control{"Text6",
            Kind::kRichEdit,
            {120, 4920, 3135, 375},
            {},
            {"Arial", 12, true},
            kDarkBlue,
            kFieldBackground,
            "Le barre rosse separano i vari caratteri",
            false,
            12,
            "UTF-8   (Base 256)"},
    Picture("Image2", {3360, 4920, 360, 360},
            "Visualizza/Nascondi la scrittura guidata del campo UTF-8"),
    Control{"ListView1",
            Kind::kListView,
            {3960, 120, 3015, 4695},
            {},
            {"Comic Sans MS", 9, false},
            {},
            {},
            {},
            false,
            13,
            {}},
    Control{"Command2",
            Kind::kButton,
            {6120, 4920, 855, 375},
            "Cancella",
            {},
            {},
            {},
            "Cancella l'ultimo carattere inserito",
            true,
            14,
            {}},
};

}  // namespace

std::span<const Control> Controls() {
  return kControls;
}

std::optional<Control> Find(std::string_view name) {
  const auto found = std::ranges::find(kControls, name, &Control::name);
  if (found == kControls.end()) return std::nullopt;
  return *found;
}

}  // namespace tessaldo::form1_layout
