#pragma once
// The diagnostic port settings of "CTESTER.INI", section "COMM": read once at start-up
// before any window exists, written back once at the end of the run. Section "DEVICES"
// says which device stands behind each port name ("COM1=sim", "COM2=/dev/ttyS0").

#include <QString>
#include <cstdint>

extern int32_t IniPort;      // "PORT": port index, 0 = COM1
extern int32_t IniParity;    // "PAR": 0 none, 1 even, 2 odd, other none
extern int32_t IniWakeLine;  // "L-LINE": 0 DTR, 2 a break on the transmit line, other RTS
// "TRACE" of section "COMM": 1 writes the trace of every K-line session beside the logs.
// Read at start-up only; never written back.
extern int32_t IniTrace;

// Where "CTESTER.INI" lives: the per-user configuration folder of the program.
QString PortSettingsPath();
void LoadPortSettings();
// Writes the three keys back, keeping every other section and key of the file; false when
// the file could not be written (it is then as it was).
bool SavePortSettings();

// The line's parity code for a "PAR" value: 1 gives even (2), 2 gives odd (1), anything
// else none (0).
int LineParityCode(int32_t iniParity);
// True when an "L-LINE" value puts the 5-baud wake-up on DTR (only 0 does).
bool WakeLineIsDTR(int32_t iniWakeLine);
// The line an "L-LINE" value puts the 5-baud wake-up on: 0 DTR, 2 the transmit line itself
// (the address sent by holding a break, for cables with only a K-line), any other RTS.
enum class TWakeLine { Dtr, Rts, Break };
constexpr int32_t kWakeLineBreak = 2;
TWakeLine WakeLineFor(int32_t iniWakeLine);

// The port name of a port index: 0 is "COM1".
QString PortName(int index);
// The port index of a port name ("COM3" is 2), -1 when it is none of COM1..COM16.
int PortIndexOfName(const QString& portName);
// The device behind a port name: the "DEVICES" entry of "CTESTER.INI" when there is one,
// else "/dev/ttyUSB<n-1>" for "COM<n>", else the name itself.
QString PortDeviceName(const QString& portName);
// True when the device behind the port name is an in-process device (the simulator or a
// registered test device) rather than a device file.
bool IsSimulatedPort(const QString& portName);

// Makes `device` (a device path or "sim") the diagnostic port, as a user would by hand in
// "CTESTER.INI": the COM name that already maps to it, else the one in use now, gets the
// "DEVICES" entry, and "PORT" names it (IniPort too). Every other line is kept; nothing is
// written when the port in use already leads to the device. False when the file cannot be
// written.
bool ChooseDiagnosticDevice(const QString& device);
// Makes an "L-LINE" value the wake-up line (IniWakeLine) and writes it to "CTESTER.INI".
bool ChooseWakeLine(int32_t iniWakeLine);
