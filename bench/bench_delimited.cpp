// Reading a big delimited log of another logger (a wide-band controller's CSV) through its
// column mapping.
//
//   bench_delimited                      Google Benchmark run (makes the log if missing)
//   bench_delimited --make-csv FILE [N]  writes a comma-separated log of N records (1 000 000)
//   bench_delimited --load-once FILE     finds the dialect, guesses the mapping, reads FILE once
//                                        and prints the time; for measuring the whole process
//                                        with /usr/bin/time -v
//
// The log is TARVELO_BENCH_CSV, or tarvelo-bench-1M.csv in the temporary folder.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "telemetry/DelimitedLog.h"

namespace {

constexpr int kRecords = 1000000;

QString CsvPath() {
  const QString path = qEnvironmentVariable("TARVELO_BENCH_CSV");
  return path.isEmpty() ? QDir::temp().filePath("tarvelo-bench-1M.csv") : path;
}

// A drive as a wide-band controller logs it at 50 Hz: time, revs, injection time, AFR, the
// temperatures, throttle, manifold pressure and battery volts, revs and load swinging slowly.
void MakeCsv(const QString& path, int records) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::exit(1);
  }
  QByteArray block = "Time (s),RPM,IPW (ms),AFR,ECT (C),IAT (C),TPS (%),MAP (kPa),Battery (V)\r\n";
  char line[160];
  for (int i = 0; i < records; ++i) {
    const double phase = i % 3000 / 3000.0;
    const int n = std::snprintf(
        line, sizeof line, "%.3f,%.0f,%.2f,%.2f,%.1f,%.1f,%.1f,%.0f,%.2f\r\n", i * 0.02,
        850 + 5000 * phase, 1 + 8.5 * phase, 12.5 + (i * 7 % 50) / 10.0, 80 + i % 150 / 10.0,
        25 + i % 40 / 10.0, 3 + 80 * phase, 30 + 70 * phase, 13.5 + i % 9 / 10.0);
    block.append(line, n);
    if (block.size() > (1 << 20)) {
      file.write(block);
      block.clear();
    }
  }
  file.write(block);
}

// Reads the file as the analyze command does; the records read.
int ReadOnce(const QString& path) {
  const TLogDialect d = SniffLogFile(path);
  const TLogColumns c = GuessLogColumns(d.names, d.sample);
  TEFILogList records;
  QStringList names;
  ReadDelimitedLog(path, c, records, names);
  return records.Count();
}

void BM_ReadDelimited1M(benchmark::State& state) {
  const QString path = CsvPath();
  if (!QFileInfo::exists(path)) MakeCsv(path, kRecords);
  for (auto _ : state) benchmark::DoNotOptimize(ReadOnce(path));
  state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}
BENCHMARK(BM_ReadDelimited1M)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--make-csv") == 0) {
    MakeCsv(QString::fromLocal8Bit(argv[2]), argc >= 4 ? std::atoi(argv[3]) : kRecords);
    return 0;
  }
  QCoreApplication app(argc, argv);
  if (argc >= 3 && std::strcmp(argv[1], "--load-once") == 0) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    const int records = ReadOnce(QString::fromLocal8Bit(argv[2]));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("load %.3f s, %d records, cpu %.3f s\n", took.count(), records,
                static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
