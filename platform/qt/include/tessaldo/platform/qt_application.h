#pragma once

#include <QApplication>
#include <memory>
#include <string_view>

namespace tessaldo::platform {

// The program's QApplication. Where Qt reaches no window system (no X11 or Wayland display, or
// one that does not answer) it would abort; instead the process ends with status 1 and one line
// on standard error, "<program>: ...", that names what is missing and how to get it. Qt's other
// messages of the start are held back and passed on once the application exists.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv, std::string_view program);

}  // namespace tessaldo::platform
