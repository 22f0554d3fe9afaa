#include "tessaldo/converter_window/converter_program.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "tessaldo/resources/qt_design.h"

namespace tessaldo {

ConverterProgram::ConverterProgram() : beeper_(platform::MakeSystemBeeper()) {
  // Without the translation Qt's texts stay in English; the window works all the same.
  if (qtItalian_.load(QStringLiteral("qtbase_it"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&qtItalian_);
  }
  design::InstallFontSubstitutes();
  form_ = std::make_unique<Form1>(*beeper_);
}

ConverterProgram::~ConverterProgram() = default;

void ConverterProgram::Show() {
  form_->show();
}

}  // namespace tessaldo
