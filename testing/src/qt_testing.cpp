#include "tessaldo/testing/qt_testing.h"

#include <QDeadlineTimer>
#include <QTest>

namespace tessaldo::testing {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QTest::qWait(2);
  }
  return true;
}

}  // namespace tessaldo::testing
