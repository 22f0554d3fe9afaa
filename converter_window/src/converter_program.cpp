#include "tessaldo/converter_window/converter_program.h"

#include "tessaldo/converter_window/fonts.h"

namespace tessaldo {

ConverterProgram::ConverterProgram() : beeper_(platform::MakeSystemBeeper()) {
  InstallFontSubstitutes();
  form_ = std::make_unique<Form1>(*beeper_);
}

ConverterProgram::~ConverterProgram() = default;

void ConverterProgram::Show() {
  form_->show();
}

}  // namespace tessaldo
