#include "tessaldo/converter_window/job_queue.h"

#include <exception>

namespace tessaldo {

void JobQueue::Run(Job job) {
  pending_.push_back(std::move(job));
  if (running_) return;
  running_ = true;
  while (!pending_.empty()) {
    Job next = std::move(pending_.front());
    pending_.pop_front();
    try {
      next();
    } catch (const std::exception& error) {
      if (abandoned_) abandoned_(error.what());
    } catch (...) {
      if (abandoned_) abandoned_("unknown failure");
    }
  }
  running_ = false;
}

}  // namespace tessaldo
