// Feeds arbitrary unit byte streams to the block receiver through a scripted line.
// The first input byte chooses whether the line echoes what the program writes (the
// K-line does); the rest is what the unit sends, handed over byte by byte as the program
// reads. When the stream runs out the line is cancelled, so no input waits out a time-out.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "link/Comm.h"
#include "link/ScanUtils.h"
#include "sim/ScriptedSerialDevice.h"

namespace {

constexpr int kPort = 0;

struct GuardedBuffer {
  uint8_t data[ScanUtils::kMaxBlockData];
  uint8_t guard[64];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  auto line = std::make_shared<ScriptedLine>();
  line->SetEcho(size > 0 && (input[0] & 1) != 0);
  if (size > 1) line->Script(std::vector<uint8_t>(input + 1, input + size));
  line->SetOnExhausted([] { ScanUtils::Cancelled = true; });
  if (!Comm::AttachDevice(kPort, std::make_unique<ScriptedSerialDevice>(line))) std::abort();
  ScanUtils::CurrentPort = kPort;
  ScanUtils::Cancelled = false;

  GuardedBuffer buffer;
  std::memset(&buffer, 0xA5, sizeof buffer);
  uint8_t title = 0;
  int32_t count = 0;
  const bool ok = ScanUtils::ReceiveBlock(title, buffer.data, count);
  for (const uint8_t g : buffer.guard)
    if (g != 0xA5) std::abort();  // written past the buffer
  if (ok && (count > ScanUtils::kMaxBlockData || count < -3)) std::abort();
  // Everything the program wrote answers a byte it received: never more than it read.
  if (line->Written().size() > size) std::abort();

  Comm::ClosePort(kPort);
  return 0;
}
