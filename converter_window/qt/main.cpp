#include "tessaldo/converter_window/converter_program.h"
#include "tessaldo/platform/qt_application.h"

int main(int argc, char* argv[]) {
  const auto application = tessaldo::platform::StartApplication(argc, argv, "bin");
  tessaldo::ConverterProgram program;
  program.Show();
  return application->exec();
}
