#pragma once

#include <QTranslator>
#include <memory>

#include "tessaldo/converter_window/form1.h"
#include "tessaldo/platform/beeper.h"

namespace tessaldo {

// The converter as `bin` runs it: Qt's own texts (menus, shortcuts) in Italian, the font
// substitutes, the system's services and the main window. Needs a QApplication.
class ConverterProgram {
 public:
  ConverterProgram();
  ~ConverterProgram();
  ConverterProgram(const ConverterProgram&) = delete;
  ConverterProgram& operator=(const ConverterProgram&) = delete;

  Form1& Window() { return *form_; }
  void Show();

 private:
  QTranslator qtItalian_;
  std::unique_ptr<platform::Beeper> beeper_;
  std::unique_ptr<Form1> form_;
};

}  // namespace tessaldo
