// Benchmarks of the converter window, each against a baseline measured in
// the same run:
//   keypress  a key that converts a 14-digit value into every field and
//             redraws Text6, against a key into a plain QLineEdit;
//   startup   the start of a process to its first shown converter window and
//             its peak memory, against a bare Qt window with one line edit.
// Usage: window_bench [keypress|startup] [--runs N]
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tessaldo/converter_window/converter_program.h"
#include "tessaldo/converter_window/form1.h"
#include "tessaldo/resources/qt_design.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
  double median;
  double p99;
};

Figures Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const auto at = [&](double q) {
    return samples[std::min(samples.size() - 1, static_cast<std::size_t>(q * samples.size()))];
  };
  return {at(0.5), at(0.99)};
}

class SilentBeeper final : public tessaldo::platform::Beeper {
 public:
  void Beep(unsigned, unsigned) override {}
};

// Times each press of `digit` into `field` holding `prefix`; the key is taken
// back with Backspace, untimed, before the next press.
std::vector<double> TimeKeys(QWidget& field, int runs) {
  std::vector<double> micros;
  micros.reserve(runs);
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    QTest::keyClick(&field, Qt::Key_9);
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    QTest::keyClick(&field, Qt::Key_Backspace);
  }
  return micros;
}

int Keypress(int argc, char** argv, int runs) {
  QApplication app(argc, argv);
  tessaldo::design::InstallFontSubstitutes();
  SilentBeeper beeper;

  tessaldo::Form1 form(beeper);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  auto* text1 = form.findChild<QLineEdit*>("Text1");
  text1->setFocus();
  QTest::keyClicks(text1, "9999999999999");  // 13 digits; the timed key makes 14

  QWidget bare;
  auto* line = new QLineEdit(&bare);
  (new QVBoxLayout(&bare))->addWidget(line);
  bare.show();
  if (!QTest::qWaitForWindowExposed(&bare)) return 1;
  QTest::keyClicks(line, "9999999999999");

  // Warm both up, then interleave the measurements.
  TimeKeys(*text1, 50);
  TimeKeys(*line, 50);
  std::vector<double> window, baseline;
  for (int round = 0; round < 10; ++round) {
    const auto w = TimeKeys(*text1, runs / 10);
    const auto b = TimeKeys(*line, runs / 10);
    window.insert(window.end(), w.begin(), w.end());
    baseline.insert(baseline.end(), b.begin(), b.end());
  }
  const Figures f = Summarise(window), g = Summarise(baseline);
  std::printf("key press, %d presses each (microseconds)\n", runs);
  std::printf("  Form1 Text1 (14-digit conversion)  median %8.1f  p99 %8.1f\n", f.median, f.p99);
  std::printf("  plain QLineEdit                    median %8.1f  p99 %8.1f\n", g.median, g.p99);
  std::printf("  ratio of medians %.2f (target <= 10), Form1 p99 %.3f ms (target < 1 ms)\n",
              f.median / g.median, f.p99 / 1000.0);
  return 0;
}

// The process's peak resident memory so far (VmHWM), in KiB.
long PeakMemoryKib() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  long kib = 0;
  while (std::fgets(line, sizeof line, status)) {
    if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
  }
  std::fclose(status);
  return kib;
}

// A child process: builds its window, reports once it is shown, and ends.
int Child(int argc, char** argv, const std::string& kind) {
  QApplication app(argc, argv);
  std::unique_ptr<tessaldo::ConverterProgram> program;
  std::unique_ptr<QWidget> bare;
  QWidget* window = nullptr;
  if (kind == "form1") {
    program = std::make_unique<tessaldo::ConverterProgram>();
    program->Show();
    window = &program->Window();
  } else {
    bare = std::make_unique<QWidget>();
    (new QVBoxLayout(bare.get()))->addWidget(new QLineEdit(bare.get()));
    bare->show();
    window = bare.get();
  }
  if (!QTest::qWaitForWindowExposed(window)) return 1;
  std::printf("shown %ld\n", PeakMemoryKib());
  std::fflush(stdout);
  std::_Exit(0);
}

struct Start {
  double millis;
  long peakKib;
};

Start RunChild(const char* self, const char* kind) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(2);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::string mode = std::string("--child=") + kind;
  char* args[] = {const_cast<char*>(self), mode.data(), nullptr};
  pid_t pid = 0;
  const auto start = Clock::now();
  if (posix_spawn(&pid, self, &actions, nullptr, args, environ) != 0) std::exit(2);
  close(fds[1]);
  char line[64] = {};
  const ssize_t got = read(fds[0], line, sizeof line - 1);
  const auto shown = Clock::now();
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  long peak = 0;
  if (got <= 0 || std::sscanf(line, "shown %ld", &peak) != 1) {
    std::fprintf(stderr, "the %s child did not show its window\n", kind);
    std::exit(2);
  }
  return {std::chrono::duration<double, std::milli>(shown - start).count(), peak};
}

int Startup(const char* self, int runs) {
  std::vector<double> formTimes, bareTimes, formPeaks, barePeaks;
  RunChild(self, "bare");  // warm the file cache
  RunChild(self, "form1");
  for (int i = 0; i < runs; ++i) {
    const Start b = RunChild(self, "bare");
    const Start f = RunChild(self, "form1");
    bareTimes.push_back(b.millis);
    formTimes.push_back(f.millis);
    barePeaks.push_back(static_cast<double>(b.peakKib));
    formPeaks.push_back(static_cast<double>(f.peakKib));
  }
  const Figures ft = Summarise(formTimes), bt = Summarise(bareTimes);
  const Figures fp = Summarise(formPeaks), bp = Summarise(barePeaks);
  std::printf("start-up to the first shown window, %d starts each (platform %s)\n", runs,
              std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default");
  std::printf("  converter window    median %7.1f ms  peak memory %7.0f KiB\n", ft.median,
              fp.median);
  std::printf("  bare Qt window      median %7.1f ms  peak memory %7.0f KiB\n", bt.median,
              bp.median);
  std::printf("  time ratio %.2f (target <= 1.5), memory ratio %.2f (target <= 1.25)\n",
              ft.median / bt.median, fp.median / bp.median);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = "all";
  int runs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.starts_with("--child=")) return Child(argc, argv, arg.substr(8));
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else {
      mode = arg;
    }
  }
  if (mode == "keypress" || mode == "all") Keypress(argc, argv, runs > 0 ? runs : 2000);
  if (mode == "startup" || mode == "all") Startup("/proc/self/exe", runs > 0 ? runs : 15);
  return 0;
}
