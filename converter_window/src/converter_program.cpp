#include "tessaldo/converter_window/converter_program.h"

#include "tessaldo/resources/qt_design.h"

namespace tessaldo {

ConverterProgram::ConverterProgram() : beeper_(platform::MakeSystemBeeper()) {
  design::InstallFontSubstitutes();
  form_ = std::make_unique<Form1>(*beeper_);
}

ConverterProgram::~ConverterProgram() = default;

void ConverterProgram::Show() {
  form_->show();
}

}  // namespace tessaldo
