// The about window's cost while its panel scrolls: the process's CPU time per second of wall
// time with the converter window alone (the baseline), with a bare Timer1 beside it (the cost
// of the wake-ups alone) and with the about window open beside it, measured in alternating rounds
// of the same run, and the pace of the scrolling: steps per second and the time of one cycle. Each
// platform runs in a process of its own: offscreen always, and the current display's platform when
// DISPLAY is set. Usage: about_bench [--seconds S] [--rounds N]
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QMoveEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tessaldo/about_window/about_window_host.h"
#include "tessaldo/about_window/autore_rules.h"
#include "tessaldo/about_window/tick_timer.h"
#include "tessaldo/converter_window/converter_program.h"
#include "tessaldo/resources.h"

extern char** environ;

namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// From the restart position up to the lower bound, one step per tick.
constexpr int kCycleSteps = tessaldo::autore::kRestartTop - tessaldo::autore::kLowerBound;

struct Round {
  double cpuPercent;  // CPU time per wall time, in % of one core
  double ticksPerSecond;
};

// Runs the event loop for `seconds` and measures it.
Round Measure(double seconds, const int& ticks) {
  const int ticksBefore = ticks;
  const double cpuBefore = ProcessCpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
  return {100.0 * (ProcessCpuSeconds() - cpuBefore) / wall, (ticks - ticksBefore) / wall};
}

// Counts the panel's steps: each one moves picture2 up; the restart moves it down.
class StepCounter final : public QObject {
 public:
  explicit StepCounter(int& steps) : steps_(steps) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Move) {
      const auto* move = static_cast<QMoveEvent*>(event);
      if (move->pos().y() < move->oldPos().y()) ++steps_;
    }
    return false;
  }

 private:
  int& steps_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

int Child(int argc, char** argv, double seconds, int rounds) {
  QApplication app(argc, argv);
  tessaldo::InitResources();
  QApplication::setQuitOnLastWindowClosed(false);

  // The baseline: the converter window, open throughout.
  tessaldo::ConverterProgram converter;
  converter.Show();

  tessaldo::AboutWindowHost host;
  int ticks = 0;
  std::vector<double> alone, bareTimer, withAbout, tickRates;
  Measure(0.5, ticks);  // settle
  for (int round = 0; round < rounds; ++round) {
    alone.push_back(Measure(seconds, ticks).cpuPercent);

    // Timer1's kind of timer doing nothing: what the wake-ups alone cost.
    {
      tessaldo::TickTimer idle(tessaldo::autore::kTimerInterval, nullptr);
      QObject::connect(&idle, &tessaldo::TickTimer::timeout, [&ticks] { ++ticks; });
      idle.start();
      bareTimer.push_back(Measure(seconds, ticks).cpuPercent);
    }

    tessaldo::FormAutore& about = host.Show();
    StepCounter steps(ticks);
    about.findChild<QWidget*>("picture2")->installEventFilter(&steps);
    Measure(0.2, ticks);  // shown and painted once
    const Round open = Measure(seconds, ticks);
    withAbout.push_back(open.cpuPercent);
    tickRates.push_back(open.ticksPerSecond);
    about.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::printf(
        "  round %d: converter window %6.2f %%, with a bare Timer1 %6.2f %%, with the about "
        "window %6.2f %% (%5.1f steps/s)\n",
        round + 1, alone.back(), bareTimer.back(), withAbout.back(), tickRates.back());
  }
  const double base = Median(alone), timer = Median(bareTimer), open = Median(withAbout);
  std::printf(
      "  median CPU per wall second, in %% of one core: converter window %.2f, with a bare "
      "Timer1 %.2f, with the about window %.2f\n",
      base, timer, open);
  std::printf(
      "  the scrolling about window adds %.2f %% of one core (target < 3 %%), of which the "
      "timer's wake-ups %.2f; the panel %.1f steps/s, a cycle of %d steps in %.2f s (one step per "
      "system tick: 64/s)\n",
      open - base, timer - base, Median(tickRates), kCycleSteps, kCycleSteps / Median(tickRates));
  std::fflush(stdout);
  return 0;
}

int RunPlatform(const char* self, const std::string& platform, double seconds, int rounds) {
  std::printf("platform %s, %d rounds of %.1f s each\n", platform.c_str(), rounds, seconds);
  std::fflush(stdout);
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0) env.emplace_back(*e);
  }
  env.push_back("QT_QPA_PLATFORM=" + platform);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string secondsArg = std::to_string(seconds), roundsArg = std::to_string(rounds);
  char child[] = "--child";
  char secondsFlag[] = "--seconds";
  char roundsFlag[] = "--rounds";
  char* args[] = {const_cast<char*>(self), child,  secondsFlag, secondsArg.data(), roundsFlag,
                  roundsArg.data(),        nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self, nullptr, nullptr, args, envp.data()) != 0) return 2;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 3.0;
  int rounds = 5;
  bool child = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--child") {
      child = true;
    } else if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::max(0.5, std::atof(argv[++i]));
    } else if (arg == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    }
  }
  if (child) return Child(argc, argv, seconds, rounds);

  int status = RunPlatform("/proc/self/exe", "offscreen", seconds, rounds);
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && *display != '\0') {
    const char* current = std::getenv("QT_QPA_PLATFORM");
    const std::string platform =
        current != nullptr && *current != '\0' && std::strcmp(current, "offscreen") != 0 ? current
                                                                                         : "xcb";
    status |= RunPlatform("/proc/self/exe", platform, seconds, rounds);
  } else {
    std::printf("DISPLAY is not set: the display's own platform is left out\n");
  }
  return status;
}
