#pragma once
// The diagnostic port settings of "CTESTER.INI", section "COMM": read once at start-up
// before any window exists, written back once at the end of the run.

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
