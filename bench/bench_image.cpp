// Speed of the calibration core: decoding the demo image under the built-in configuration,
// and a settings file written and read back.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "image/DemoImage.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"

namespace {

// The demo image from data/, or made afresh when the source tree is not at hand.
std::vector<uint8_t> DemoImage() {
  std::vector<uint8_t> image;
#ifdef TARVELO_SOURCE_DIR
  const QString path = QStringLiteral(TARVELO_SOURCE_DIR "/data/demo.bin");
  if (QFileInfo::exists(path)) {
    LoadImageFile(path, image);
    return image;
  }
#endif
  return MakeDemoImage();
}

void BM_DecodeImage(benchmark::State& state) {
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = DemoImage();
  for (auto _ : state) {
    op.DecodeImage();
    benchmark::DoNotOptimize(op.fFuelMainMatrix[1][1]);
  }
}
BENCHMARK(BM_DecodeImage)->Unit(benchmark::kMicrosecond);

// SaveSettings then LoadSettings of the whole file; the tables return to units each time.
// The save syncs the file to disk before it replaces the old one, so on a disk the figure
// is mostly the file system's; in memory (tmpfs) it is the program's own.
void SettingsRoundTrip(benchmark::State& state, const QString& folder) {
  QTemporaryDir dir(folder + "/tarvelo-bench-XXXXXX");
  if (!dir.isValid()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const QString path = dir.filePath("bench.dme");
  TEFIOperator op(true);
  op.LoadDefaultConfig();
  op.fImage = DemoImage();
  op.DecodeImage();
  uint8_t mismatch = 0;
  for (auto _ : state) {
    op.SaveSettings(1, path);
    op.LoadSettings(1, path, mismatch);
    benchmark::DoNotOptimize(op.fFuelMainMatrix[1][1]);
  }
}

void BM_SettingsRoundTrip_InMemory(benchmark::State& state) {
  SettingsRoundTrip(state, QStringLiteral("/dev/shm"));
}
BENCHMARK(BM_SettingsRoundTrip_InMemory)->Unit(benchmark::kMicrosecond);

void BM_SettingsRoundTrip_OnDisk(benchmark::State& state) {
  SettingsRoundTrip(state, QDir::tempPath());
}
BENCHMARK(BM_SettingsRoundTrip_OnDisk)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
