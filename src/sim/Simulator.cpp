#include "sim/Simulator.h"

#include <QFile>

#include "common/Filler.h"

namespace {

// Wire and latency logs stop growing here; a demo left running for hours stays small.
constexpr size_t kLogLimit = 1 << 20;

}  // namespace

Simulator::Simulator() : fImage(GeneratedImage()) {}

void Simulator::SetUnitSettings(const SimUnitSettings& settings) {
  const std::lock_guard lock(fMutex);
  fUnit = settings;
}

SimUnitSettings Simulator::UnitSettings() const {
  const std::lock_guard lock(fMutex);
  return fUnit;
}

void Simulator::SetAdapterSettings(const SimAdapterSettings& settings) {
  const std::lock_guard lock(fMutex);
  fAdapter = settings;
}

SimAdapterSettings Simulator::AdapterSettings() const {
  const std::lock_guard lock(fMutex);
  return fAdapter;
}

void Simulator::SetFaultCodes(std::vector<uint8_t> codes) {
  const std::lock_guard lock(fMutex);
  fFaultCodes = std::move(codes);
}

std::vector<uint8_t> Simulator::FaultCodes() const {
  const std::lock_guard lock(fMutex);
  return fFaultCodes;
}

bool Simulator::ClearFaultCodes() {
  const std::lock_guard lock(fMutex);
  const bool had = !fFaultCodes.empty();
  fFaultCodes.clear();
  return had;
}

void Simulator::SetImage(const std::vector<uint8_t>& image) {
  std::vector<uint8_t> padded(image.begin(),
                              image.begin() + std::min<size_t>(image.size(), kImageSize));
  padded.resize(kImageSize, 0xFF);
  const std::lock_guard lock(fMutex);
  fImage = std::move(padded);
}

std::vector<uint8_t> Simulator::Image() const {
  const std::lock_guard lock(fMutex);
  return fImage;
}

bool Simulator::LoadImageFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.read(kImageSize);
  if (bytes.size() != kImageSize) return false;
  SetImage(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  return true;
}

void Simulator::StartUpload() {
  const std::lock_guard lock(fMutex);
  fUploaded.clear();
}

void Simulator::AddUploaded(uint8_t byte) {
  const std::lock_guard lock(fMutex);
  fUploaded.push_back(byte);
}

std::vector<uint8_t> Simulator::Uploaded() const {
  const std::lock_guard lock(fMutex);
  return fUploaded;
}

void Simulator::SetWireLogging(bool on) {
  const std::lock_guard lock(fMutex);
  fLogWire = on;
}

void Simulator::LogWire(bool fromProgram, uint8_t value) {
  const std::lock_guard lock(fMutex);
  if (fLogWire && fWire.size() < kLogLimit) fWire.push_back(SimWireByte{fromProgram, value});
}

std::vector<SimWireByte> Simulator::WireLog() const {
  const std::lock_guard lock(fMutex);
  return fWire;
}

void Simulator::SetLatencyRecording(bool on) {
  const std::lock_guard lock(fMutex);
  fRecordLatency = on;
}

void Simulator::RecordComplementLatency(int64_t us) {
  const std::lock_guard lock(fMutex);
  if (fRecordLatency && fLatencies.size() < kLogLimit) fLatencies.push_back(us);
}

std::vector<int64_t> Simulator::ComplementLatenciesUs() const {
  const std::lock_guard lock(fMutex);
  return fLatencies;
}

void Simulator::Reset() {
  {
    const std::lock_guard lock(fMutex);
    fUnit = SimUnitSettings{};
    fAdapter = SimAdapterSettings{};
    fFaultCodes.clear();
    fUploaded.clear();
    fWire.clear();
    fLogWire = false;
    fLatencies.clear();
    fRecordLatency = false;
  }
  fUnplugged = false;
  fConnections = 0;
  fStores = 0;
}

std::vector<uint8_t> GeneratedImage() {
  return PseudoRandomBytes(Simulator::kImageSize, 0x2F6E2B1u);
}

std::vector<uint8_t> DemoFaultCodes() {
  // Lambda regulation, coolant temperature sensor, idle-speed actuator.
  return {10, 45, 4};
}

std::shared_ptr<Simulator> TheSimulator() {
  static const std::shared_ptr<Simulator> simulator = [] {
    auto sim = std::make_shared<Simulator>();
    sim->SetFaultCodes(DemoFaultCodes());
    return sim;
  }();
  return simulator;
}
