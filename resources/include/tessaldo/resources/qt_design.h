#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QSize>

#include "tessaldo/resources/design.h"

class QWidget;

// The design's units, colours and fonts on Qt's widgets.
namespace tessaldo::design {

constexpr QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

constexpr QSize TwipsSize(int width, int height) {
  return QSize(Px(width), Px(height));
}

inline QColor ToQColor(Rgb colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

// A font of the design: its family, size in points, weight and slant.
QFont DesignedFont(const char* family, double points, bool bold = false, bool italic = false);

// Sets the widget's text and background colours in the given roles of its palette.
void SetColours(QWidget& widget, QPalette::ColorRole textRole, Rgb text,
                QPalette::ColorRole backRole, Rgb back);
void SetTextColour(QWidget& widget, Rgb text);

// Maps the designed font families onto the free fonts that stand in for them where they are
// missing: "Comic Sans MS" to "Comic Neue", "Arial" to "Liberation Sans". Call once, after the
// application object exists and before the first window is built.
void InstallFontSubstitutes();

}  // namespace tessaldo::design
