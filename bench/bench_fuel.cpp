// The fuel correction against the virtual engine: rounds of drive -> analyse -> apply on the
// demo image with sensor noise, delay, transients, overrun and a cold start, printed as a
// table per round (RMS and largest error of the visited cells against the engine's true need,
// cells changed, cells that moved away by more than a code), and the whole analysis of a
// 1,000,000-record log timed.
//
//   bench_fuel                 the table of 8 rounds, then the Google Benchmark timing
//   bench_fuel --rounds N      the table of N rounds only
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "analysis/LogAnalysis.h"
#include "support/FuelRounds.h"

namespace {

void PrintRounds(int rounds) {
  TFuelRounds bench;
  std::printf("round  records   used  changed  movedAway  RMS %%   max %%  (visited cells)\n");
  const TRoundResult start = bench.Start();
  std::printf("%5d  %7s  %5s  %7s  %9s  %5.2f  %6.2f  (%d)\n", 0, "-", "-", "-", "-",
              start.rms * 100, start.max * 100, start.visited);
  for (int k = 1; k <= rounds; ++k) {
    const TRoundResult r = bench.Round(static_cast<unsigned>(k));
    std::printf("%5d  %7lld  %5lld  %7d  %9d  %5.2f  %6.2f  (%d)\n", k,
                static_cast<long long>(r.records), static_cast<long long>(r.used), r.changed,
                r.movedAway, r.rms * 100, r.max * 100, r.visited);
  }
}

// A million records of the virtual engine over the demo fuel map, and the input the window
// would build for them.
struct MillionRecords {
  MillionRecords() {
    TEFIOperator op(true);
    op.LoadDefaultConfig();
    op.fImage = MakeDemoImage();
    op.DecodeImage();
    doc.Load(op);
    input = FuelMapInput(doc.Table(TTableId::FuelMain));
    std::vector<double> rpm, load;
    for (const auto& v : input.axes.rpm) rpm.push_back(*v);
    for (const auto& v : input.axes.load) load.push_back(*v);
    std::vector<double> need;
    for (double f : input.current) need.push_back(UnitFuelFactor(f) * 1.03);
    TVirtualEngine engine(rpm, load, need);
    records = engine.Drive(100000.0);
  }
  TCalibration doc;
  TFuelCorrectionInput input;
  std::vector<LiveRecord> records;
};

void BM_AnalyseMillionRecords(benchmark::State& state) {
  static const MillionRecords m;
  for (auto _ : state) {
    const auto count = static_cast<int64_t>(m.records.size());
    const TLogAnalysis cells = AnalyseLog(m.records.data(), count, m.input.axes);
    const TFuelCorrection fc = ProposeFuelCorrection(m.records.data(), count, m.input);
    benchmark::DoNotOptimize(cells.cells.data());
    benchmark::DoNotOptimize(fc.proposed.data());
  }
  state.counters["records"] = static_cast<double>(m.records.size());
}
BENCHMARK(BM_AnalyseMillionRecords)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--rounds") == 0) {
    PrintRounds(std::atoi(argv[2]));
    return 0;
  }
  PrintRounds(8);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
