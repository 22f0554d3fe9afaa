// regsvr32 of the POSIX system directory: see tessaldo::launcher::Regsvr32.
#include <iostream>
#include <string>
#include <vector>

#include "tessaldo/launcher/system_platform.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return tessaldo::launcher::Regsvr32(arguments, TESSALDO_SYSTEM_DIR, std::cerr);
}
