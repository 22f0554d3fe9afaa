#include <QApplication>

#include "tessaldo/converter_window/converter_program.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  tessaldo::ConverterProgram program;
  program.Show();
  return application.exec();
}
