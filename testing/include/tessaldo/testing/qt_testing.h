#pragma once

#include <QObject>
#include <QUrl>
#include <functional>
#include <vector>

namespace tessaldo::testing {

// Lets events run until `done` holds or the time is up; returns whether it held.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);

// The addresses QDesktopServices hands to it, as a URL handler.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls.push_back(url); }
};

}  // namespace tessaldo::testing
