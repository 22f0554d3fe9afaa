#include "tessaldo/resources/qt_design.h"

#include <QString>
#include <QWidget>

namespace tessaldo::design {

QFont DesignedFont(const char* family, double points, bool bold, bool italic) {
  QFont font(QString::fromLatin1(family));
  font.setPointSizeF(points);
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  font.setItalic(italic);
  return font;
}

void SetColours(QWidget& widget, QPalette::ColorRole textRole, Rgb text,
                QPalette::ColorRole backRole, Rgb back) {
  QPalette palette = widget.palette();
  palette.setColor(textRole, ToQColor(text));
  palette.setColor(backRole, ToQColor(back));
  widget.setPalette(palette);
}

void SetTextColour(QWidget& widget, Rgb text) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, ToQColor(text));
  widget.setPalette(palette);
}

void InstallFontSubstitutes() {
  QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

}  // namespace tessaldo::design
