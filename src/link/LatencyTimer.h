#pragma once
// The FTDI latency timer: such adapters hold received bytes back for up to this many
// milliseconds (16 by default), which makes every answer of the unit late. On connect the
// program sets it to 1 ms where it may write the file, and otherwise names the command.

#include <QString>

#include "link/SerialPorts.h"

struct TLatencyFix {
  enum Result { NotFtdi, AlreadyLow, SetNow, CannotSet };
  Result result = NotFtdi;
  int wasMs = 0;    // the timer before
  QString command;  // CannotSet: what sets it (run as root)
};

// The command that sets a port's latency timer to 1 ms.
QString LatencyCommand(const TSerialPort& port);
// Sets the latency timer of the adapter behind `devicePath` to 1 ms when it is above.
TLatencyFix LowerLatencyTimer(const QString& root, const TPortUser& user,
                              const QString& devicePath);
