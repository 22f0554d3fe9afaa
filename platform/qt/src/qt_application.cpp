#include "tessaldo/platform/qt_application.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tessaldo::platform {

namespace {

struct HeldMessage {
  QtMsgType type;
  std::string file, function, category;
  int line;
  QString text;
};

// The start's state: a message handler is a plain function.
struct Start {
  std::string program;
  std::vector<HeldMessage> held;
};
Start* current = nullptr;

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

#ifdef _WIN32
constexpr std::string_view kGetThePlugin =
    "copiare i plugin di Qt accanto al programma (windeployqt)";
#else
constexpr std::string_view kGetThePlugin = "installare qt6-qpa-plugins";

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool HeldMentions(const char* text) {
  for (const HeldMessage& message : current->held)
    if (message.text.contains(QLatin1String(text), Qt::CaseInsensitive)) return true;
  return false;
}

// The X11 or Wayland display that is missing or does not answer; the empty text when Qt failed
// for another cause.
std::string MissingDisplay() {
  const std::string display = Variable("DISPLAY");
  const std::string wayland = Variable("WAYLAND_DISPLAY");
  if (display.empty() && wayland.empty())
    return "nessun display X11 o Wayland (DISPLAY e WAYLAND_DISPLAY non sono impostate)";
  if (!HeldMentions("could not connect to display") && !HeldMentions("wl_display")) return "";
  std::string set;
  if (!display.empty()) set += "DISPLAY=" + display;
  if (!wayland.empty()) set += (set.empty() ? "" : " e ") + ("WAYLAND_DISPLAY=" + wayland);
  const bool both = !display.empty() && !wayland.empty();
  // A Wayland display named by its socket's name is looked for in XDG_RUNTIME_DIR.
  const std::string runtime = Variable("XDG_RUNTIME_DIR");
  std::string why;
  if (!wayland.empty() && wayland.front() != '/' && runtime.empty())
    why = "; XDG_RUNTIME_DIR non è impostata";
  else if (!wayland.empty() && wayland.front() != '/' && runtime.front() != '/')
    why = "; XDG_RUNTIME_DIR non è un percorso assoluto";
  return "nessun display X11 o Wayland raggiungibile (" + set +
         (both ? " non rispondono" : " non risponde") + why + ")";
}
#endif

// What is missing and how to get it, from the environment Qt read and what it said.
std::string Explanation(const QString& fatal) {
#ifndef _WIN32
  if (const std::string missing = MissingDisplay(); !missing.empty())
    return missing + "; avviare il programma in una sessione grafica, con ssh -X o con xvfb-run";
#endif
  // A display is there but Qt could not use it: what Qt said, in one line.
  QString said = current->held.empty() ? fatal : current->held.back().text;
  said = said.section(QLatin1Char('\n'), 0, 0).trimmed();
  return "Qt non riesce ad aprire il display (" + said.toStdString() + "); " +
         std::string(kGetThePlugin);
}

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    const std::string line = current->program + ": " + Explanation(text) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(1);  // nothing is kept between runs: no clean-up to wait for, no core
  }
  current->held.push_back({type, context.file ? context.file : "",
                           context.function ? context.function : "",
                           context.category ? context.category : "", context.line, text});
}

}  // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv, std::string_view program) {
  Start start{std::string(program), {}};
  current = &start;
  const QtMessageHandler previous = qInstallMessageHandler(Handle);
  auto application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  current = nullptr;
  for (const HeldMessage& message : start.held) {
    const QMessageLogContext context(OrNull(message.file), message.line, OrNull(message.function),
                                     OrNull(message.category));
    qt_message_output(message.type, context, message.text);
  }
  return application;
}

}  // namespace tessaldo::platform
