#pragma once
// The whole program in-process: StartProgram does what main() does before the window loop,
// EndProgram what follows it. Tests start the program this way.

class QString;
class TfrmMain;
class TAboutBox;
class TfrmIndicators;
class TFrmTelemetry;
class TfrmSelectDME;

// The five windows of the run, created by StartProgram in this order.
extern TfrmMain* frmMain;
extern TAboutBox* AboutBox;
extern TfrmIndicators* frmIndicators;
extern TFrmTelemetry* FrmTelemetry;
extern TfrmSelectDME* frmSelectDME;

// Reads the port settings, sets the title, creates the five windows, hands the main window
// the other four and shows it.
void StartProgram();
// Opens a file (an image, or a settings file by its ".dme" ending) once the start-up model
// choice is confirmed.
void OpenAtStart(const QString& path);
// Ends what still runs, writes the port settings back and destroys the windows.
void EndProgram();
