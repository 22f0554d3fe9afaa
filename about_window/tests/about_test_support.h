#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>
#include "tessaldo/testing/qt_testing.h"

#include "tessaldo/platform/window_services.h"

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace tessaldo::testing {

// Records the calls instead of making them.
class RecordingWindowServices final : public platform::WindowServices {
 public:
  struct Placement {
    platform::WindowHandle window;
    std::intptr_t insertAfter;
    int x, y, cx, cy;
    unsigned flags;
  };
  struct Opening {
    platform::WindowHandle owner;
    std::string address;
    int showCommand;
  };

  bool SetWindowPos(platform::WindowHandle window, std::intptr_t insertAfter, int x, int y, int cx,
                    int cy, unsigned flags) override {
    placements.push_back({window, insertAfter, x, y, cx, cy, flags});
    if (fail) throw std::runtime_error("window system gone");
    return result;
  }
  void ShellOpen(platform::WindowHandle owner, const std::string& address,
                 int showCommand) override {
    openings.push_back({owner, address, showCommand});
    if (fail) throw std::runtime_error("no shell");
  }

  bool result = true;  // what SetWindowPos reports
  bool fail = false;   // throw from every call
  std::vector<Placement> placements;
  std::vector<Opening> openings;
};

// Runs the deferred deletions that are due.
inline void FlushDeletions() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace tessaldo::testing
