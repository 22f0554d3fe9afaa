#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>

namespace tessaldo {

// The window's jobs, one at a time. A job that arrives while another runs (the digit writers let
// pending events in) waits and runs after it, in the order of arrival, so no job ever sees the
// fields half written. Whatever a job throws stops with that job: `abandoned` is told why, and
// the queue goes on with the next one.
class JobQueue {
 public:
  using Job = std::function<void()>;
  explicit JobQueue(std::function<void(const std::string& why)> abandoned)
      : abandoned_(std::move(abandoned)) {}

  // Runs `job` now, with every job that arrives meanwhile, or queues it behind the running one.
  void Run(Job job);
  // True while a job runs: what arrives now waits.
  bool Running() const { return running_; }

 private:
  std::function<void(const std::string&)> abandoned_;
  std::deque<Job> pending_;
  bool running_ = false;
};

}  // namespace tessaldo
