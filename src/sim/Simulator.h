#pragma once
// The built-in stand-in for the engine control unit and its image adapter. One Simulator
// holds what outlives a single open line: the unit's stored fault codes, the image the
// adapter serves, what the adapter was sent, the behaviour settings and the injected
// faults. Each open of its device (SimSerialDevice) runs its own thread that plays the
// unit on the K-line and the adapter on the same port, depending on what the program does:
// - DTR set (the diagnostic line's resting level): the K-line. Every byte written comes
//   back as an echo; a 5-baud wake-up of the unit's address on the interface's wake-up
//   line (DTR or RTS, one of them, as the cable is wired, or breaks on the K-line itself)
//   starts a connection. Each break comes back as a zero byte when it ends, as a UART
//   receiver on the same wire reads it. Like a real
//   unit it drops the connection when a block of the program carries a wrong counter.
// - DTR released: the adapter. Like the real adapter it takes a command only while RTS is
//   asserted: "r" streams the image and then changes CTS; "s" answers 0x8C; 0x70 answers
//   0x8F and the bytes that follow are kept as the upload.

#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "link/AdapterBytes.h"
#include "link/KLineBytes.h"

// How the unit answers, and the faults it can be told to make. Indexes count from 0 within
// one connection; -1 means never.
struct SimUnitSettings {
  uint8_t address = KLine::kUnitAddress;  // the 7-bit address it answers
  int wakeLine = 0;  // the line its wake-up comes on: 0 DTR, 2 breaks on the K-line, other RTS
  // The interface's driver: refuses a break, or takes this long to end one (a simulated
  // break, as ch341 gives on chips that cannot hold one).
  bool breakRefused = false;
  int breakEndDelayMs = 0;
  int wakeBitMs = 200;     // bit time of the wake-up it decodes (5 baud)
  int syncDelayMs = 20;    // after the wake-up ends, before 0x55
  int keywordDelayMs = 5;  // before each keyword byte
  int blockDelayMs = 5;    // before each block it sends
  int byteDelayMs = 0;     // between a complement received and its next block byte
  int waitMs = 1000;       // how long it waits for the program's next byte
  uint8_t firstCounter = 1;
  // Blocks sent once after the keywords, before the acknowledgements: title then data.
  std::vector<std::vector<uint8_t>> greeting{
      {KLine::Title::BlockF6, 'T', 'A', 'R', 'V', 'E', 'L', 'O', ' ', 'S', 'I', 'M'}};

  bool silent = false;  // never answers a wake-up
  uint8_t syncByte = KLine::kSyncByte;
  uint8_t keyword1 = KLine::kKeyword1;
  uint8_t keyword2 = KLine::kKeyword2;
  int wrongComplementAt = -1;  // n-th byte of the program's blocks gets a wrong complement
  uint8_t wrongComplement = 0x00;
  int dropEchoAt = -1;  // the echo of the n-th byte the program writes is lost
  int badEndAt = -1;    // the n-th block the unit sends ends with badEnd
  uint8_t badEnd = 0x02;
  int overlongAt = -1;  // the n-th block the unit sends carries overlongCount data bytes
  int overlongCount = 90;
  int slowAt = -1;  // the n-th block the unit sends starts after slowMs
  int slowMs = 700;
  int unplugAfterBlocks = -1;  // the device is pulled after the unit sent this many blocks
};

struct SimAdapterSettings {
  uint8_t uploadAnswer = AdapterBytes::kUploadAnswer;
  uint8_t storeAnswer = AdapterBytes::kStoreAnswer;
  // Characters answering the read command: a filler, then the image.
  int streamLength = AdapterBytes::kStreamLength;
  uint8_t filler = 0x00;
  int ctsChanges = AdapterBytes::kStreamEndCtsChanges;  // CTS changes after the stream
  int ctsIntervalUs = 40000;  // before the first and between two CTS changes; 0 back to back
  // The CTS changes wait until the program has read everything received; a quick adapter
  // changes CTS while characters still wait in the program's input.
  bool ctsAfterDrain = true;
  // The last `lateChars` characters of the stream are still on their way when CTS changes:
  // they arrive `lateDelayMs` after the last change (a USB adapter's buffering).
  int lateChars = 0;
  int lateDelayMs = 5;
};

// One byte on the simulated wire, kept when wire logging is on.
struct SimWireByte {
  bool fromProgram;
  uint8_t value;
};

// Create it with std::make_shared: every open device keeps it alive.
class Simulator : public std::enable_shared_from_this<Simulator> {
 public:
  static constexpr int kImageSize = AdapterBytes::kImageBytes;

  Simulator();

  void SetUnitSettings(const SimUnitSettings& settings);
  SimUnitSettings UnitSettings() const;
  void SetAdapterSettings(const SimAdapterSettings& settings);
  SimAdapterSettings AdapterSettings() const;

  // The unit's stored fault codes; title 0x05 clears them.
  void SetFaultCodes(std::vector<uint8_t> codes);
  std::vector<uint8_t> FaultCodes() const;

  // The image the adapter serves (32768 bytes; shorter images are padded with 0xFF).
  void SetImage(const std::vector<uint8_t>& image);
  std::vector<uint8_t> Image() const;
  // Takes the image from a file; false (image unchanged) when it cannot be read whole.
  bool LoadImageFile(const QString& path);

  // Everything the adapter took after answering an upload command: 0x6F, 0x6B, the file.
  std::vector<uint8_t> Uploaded() const;
  int StoreCommands() const { return fStores.load(); }
  // Wake-ups of the unit's address that were answered with the sync byte.
  int Connections() const { return fConnections.load(); }

  // A pulled device: every call on an open device fails, and no new one opens.
  void Unplug() { fUnplugged = true; }
  void Replug() { fUnplugged = false; }
  bool Unplugged() const { return fUnplugged.load(); }

  void SetWireLogging(bool on);
  std::vector<SimWireByte> WireLog() const;

  // Times from a unit block byte leaving the unit to the program's answer arriving, in
  // microseconds, kept while recording is on.
  void SetLatencyRecording(bool on);
  std::vector<int64_t> ComplementLatenciesUs() const;

  // Back to the default settings, no fault codes, nothing uploaded, logs emptied.
  void Reset();

  // Devices of this simulator that are open now (each runs a thread).
  int OpenDevices() const { return fOpenDevices.load(); }

  // Used by the device threads.
  void DeviceOpened() { ++fOpenDevices; }
  void DeviceClosed() { --fOpenDevices; }
  void CountConnection() { ++fConnections; }
  void CountStore() { ++fStores; }
  void StartUpload();
  void AddUploaded(uint8_t byte);
  void LogWire(bool fromProgram, uint8_t value);
  bool ClearFaultCodes();
  void RecordComplementLatency(int64_t us);

 private:
  mutable std::mutex fMutex;
  SimUnitSettings fUnit;
  SimAdapterSettings fAdapter;
  std::vector<uint8_t> fFaultCodes;
  std::vector<uint8_t> fImage;
  std::vector<uint8_t> fUploaded;
  std::vector<SimWireByte> fWire;
  bool fLogWire = false;
  std::vector<int64_t> fLatencies;
  bool fRecordLatency = false;
  std::atomic<bool> fUnplugged{false};
  std::atomic<int> fOpenDevices{0};
  std::atomic<int> fConnections{0};
  std::atomic<int> fStores{0};
};

// The fault codes the built-in simulator's unit holds when the program starts, so that
// the fault-code page can be tried without a car.
std::vector<uint8_t> DemoFaultCodes();
// The simulator behind the device name "sim"; its unit starts with DemoFaultCodes().
std::shared_ptr<Simulator> TheSimulator();
// A made-up but stable 32768-byte image for when no demo image is at hand.
std::vector<uint8_t> GeneratedImage();
