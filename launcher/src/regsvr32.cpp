#include <system_error>

#include "tessaldo/launcher/system_platform.h"

namespace tessaldo::launcher {

int Regsvr32(std::span<const std::string> arguments, const std::filesystem::path& system_directory,
             std::ostream& messages) {
  namespace fs = std::filesystem;
  bool silent = false;
  const std::string* name = nullptr;
  int names = 0;
  for (const auto& argument : arguments) {
    if (argument == "/s" || argument == "/S" || argument == "-s" || argument == "-S") {
      silent = true;
    } else {
      name = &argument;
      ++names;
    }
  }
  if (names != 1 || name->empty()) {
    if (!silent) messages << "Uso: regsvr32 [/s] file\n";
    return 1;
  }

  const fs::path file = system_directory / fs::path(*name);
  std::error_code error;
  const bool regular = fs::is_regular_file(file, error);
  const bool inside = regular && fs::equivalent(file.parent_path(), system_directory, error);
  if (!inside) {
    if (!silent) messages << "regsvr32: " << *name << " non è nella cartella di sistema\n";
    return 3;
  }
  if (!silent) messages << "regsvr32: " << *name << " registrato\n";
  return 0;
}

}  // namespace tessaldo::launcher
