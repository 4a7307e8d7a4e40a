#pragma once
// The diagnostic port settings of "CTESTER.INI", section "COMM": read once at start-up
// before any window exists, written back once at the end of the run. Section "DEVICES"
// says which device stands behind each port name ("COM1=sim", "COM2=/dev/ttyS0").

#include <QString>
#include <cstdint>

extern int32_t IniPort;      // "PORT": port index, 0 = COM1
extern int32_t IniParity;    // "PAR": 0 none, 1 even, 2 odd, other none
extern int32_t IniWakeLine;  // "L-LINE": 0 DTR, other RTS

// Where "CTESTER.INI" lives: the per-user configuration folder of the program.
QString PortSettingsPath();
void LoadPortSettings();
// Writes the three keys back, keeping every other section and key of the file.
void SavePortSettings();

// The line's parity code for a "PAR" value: 1 gives even (2), 2 gives odd (1), anything
// else none (0).
int LineParityCode(int32_t iniParity);
// True when an "L-LINE" value puts the 5-baud wake-up on DTR (only 0 does).
bool WakeLineIsDTR(int32_t iniWakeLine);

// The port name of a port index: 0 is "COM1".
QString PortName(int index);
// The device behind a port name: the "DEVICES" entry of "CTESTER.INI" when there is one,
// else "/dev/ttyUSB<n-1>" for "COM<n>", else the name itself.
QString PortDeviceName(const QString& portName);
// True when the device behind the port name is an in-process device (the simulator or a
// registered test device) rather than a device file.
bool IsSimulatedPort(const QString& portName);
