// The digit writers and readers side by side with std::to_chars and
// std::from_chars on the same values, then the Roman and base-256 routines;
// prints the ratio of each routine to its baseline at the end.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tessaldo/conversion/conversioni.h"

namespace {

using namespace tessaldo;

constexpr std::size_t kValues = 4096;

// The same values for every benchmark: uniform over the digit count up to
// the window's 14-digit limit.
const std::vector<std::uint64_t>& Values() {
  static const std::vector<std::uint64_t> values = [] {
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<int> bits(1, 46);
    std::vector<std::uint64_t> v(kValues);
    for (auto& x : v) x = random() >> (64 - bits(random));
    return v;
  }();
  return values;
}

template <int Base>
std::string ToChars(std::uint64_t value) {
  if (value == 0) return {};
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, Base).ptr;
  return std::string(buffer, end);
}

template <int Base>
std::string (*Writer())(Currency) {
  if constexpr (Base == 2) return &Conversioni::DecimaleABinario;
  if constexpr (Base == 8) return &Conversioni::DecimaleAOttale;
  if constexpr (Base == 16) return &Conversioni::DecimaleAEsadecimale;
}

template <int Base>
Expected<Currency, Failure> (*Reader())(std::string_view) {
  if constexpr (Base == 2) return &Conversioni::BinarioADecimale;
  if constexpr (Base == 8) return &Conversioni::OttaleADecimale;
  if constexpr (Base == 16) return &Conversioni::EsadecimaleADecimale;
}

template <int Base>
const std::vector<std::string>& Texts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> t;
    for (const auto v : Values()) t.push_back(Writer<Base>()(Currency::FromWholeUnchecked(v)));
    return t;
  }();
  return texts;
}

template <int Base>
void WriteTessaldo(benchmark::State& state) {
  const auto write = Writer<Base>();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(write(Currency::FromWholeUnchecked(Values()[i++ % kValues])));
  }
}

template <int Base>
void WriteToChars(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(ToChars<Base>(Values()[i++ % kValues]));
}

template <int Base>
void ReadTessaldo(benchmark::State& state) {
  const auto read = Reader<Base>();
  const auto& texts = Texts<Base>();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(read(texts[i++ % kValues]));
}

template <int Base>
void ReadFromChars(benchmark::State& state) {
  const auto& texts = Texts<Base>();
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& text = texts[i++ % kValues];
    std::uint64_t value = 0;
    benchmark::DoNotOptimize(std::from_chars(text.data(), text.data() + text.size(), value, Base));
    benchmark::DoNotOptimize(value);
  }
}

void WriteRoman(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Conversioni::DecimaleARomano(static_cast<std::int16_t>(Values()[i++ % kValues] % 4000)));
  }
}

void WriteBase256(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Conversioni::DecimaleAUtf8(Currency::FromWholeUnchecked(Values()[i++ % kValues])));
  }
}

void ReadBase256(benchmark::State& state) {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> t;
    for (const auto v : Values())
      t.push_back(Conversioni::DecimaleAUtf8(Currency::FromWholeUnchecked(v)));
    return t;
  }();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(Conversioni::Utf8ADecimale(texts[i++ % kValues]));
}

void WriteBase256Yielding(benchmark::State& state) {
  std::size_t i = 0;
  int yields = 0;
  auto count = [&yields] { ++yields; };
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Conversioni::DecimaleAUtf8(Currency::FromWholeUnchecked(Values()[i++ % kValues]), count));
  }
  benchmark::DoNotOptimize(yields);
}

void WriteHexYielding(benchmark::State& state) {
  std::size_t i = 0;
  int yields = 0;
  auto count = [&yields] { ++yields; };
  for (auto _ : state) {
    benchmark::DoNotOptimize(Conversioni::DecimaleAEsadecimale(
        Currency::FromWholeUnchecked(Values()[i++ % kValues]), count));
  }
  benchmark::DoNotOptimize(yields);
}

BENCHMARK(WriteTessaldo<2>)->Name("write/2/tessaldo");
BENCHMARK(WriteToChars<2>)->Name("write/2/to_chars");
BENCHMARK(WriteTessaldo<8>)->Name("write/8/tessaldo");
BENCHMARK(WriteToChars<8>)->Name("write/8/to_chars");
BENCHMARK(WriteTessaldo<16>)->Name("write/16/tessaldo");
BENCHMARK(WriteToChars<16>)->Name("write/16/to_chars");
BENCHMARK(ReadTessaldo<2>)->Name("read/2/tessaldo");
BENCHMARK(ReadFromChars<2>)->Name("read/2/from_chars");
BENCHMARK(ReadTessaldo<8>)->Name("read/8/tessaldo");
BENCHMARK(ReadFromChars<8>)->Name("read/8/from_chars");
BENCHMARK(ReadTessaldo<16>)->Name("read/16/tessaldo");
BENCHMARK(ReadFromChars<16>)->Name("read/16/from_chars");
BENCHMARK(WriteHexYielding)->Name("write/16/tessaldo_with_yield");
BENCHMARK(WriteRoman)->Name("roman/write");
BENCHMARK(WriteBase256)->Name("base256/write");
BENCHMARK(WriteBase256Yielding)->Name("base256/write_with_yield");
BENCHMARK(ReadBase256)->Name("base256/read");

// Keeps every run's time per iteration for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration)
        times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    std::printf("\nratio (tessaldo / standard library, target <= 1.50)\n");
    for (const char* op : {"write", "read"}) {
      for (const int base : {2, 8, 16}) {
        const std::string prefix = std::string(op) + "/" + std::to_string(base) + "/";
        const auto ours = times_.find(prefix + "tessaldo");
        const auto theirs = times_.find(prefix + (op[0] == 'w' ? "to_chars" : "from_chars"));
        if (ours == times_.end() || theirs == times_.end() || theirs->second <= 0) continue;
        std::printf("  %-6s base %-2d  %8.2f ns vs %8.2f ns  ratio %.2f\n", op, base, ours->second,
                    theirs->second, ours->second / theirs->second);
      }
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
