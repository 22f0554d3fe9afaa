#include "tessaldo/converter_window/fonts.h"

#include <QFont>
#include <QString>

namespace tessaldo {

void InstallFontSubstitutes() {
  QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

}  // namespace tessaldo
