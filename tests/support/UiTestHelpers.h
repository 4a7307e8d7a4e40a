#pragma once
// Helpers for tests that drive the real windows: start and end the whole program, find
// widgets by object name, answer modal dialogs the way a user would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <functional>

class QFileDialog;
class QMessageBox;

// Lets events run until `done` holds or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Lets events run for about `ms` milliseconds.
void Pump(int ms);

// The modal dialog on screen now, after waiting up to `timeoutMs` for one.
QWidget* WaitForModal(int timeoutMs = 5000);

// Arranges for the next modal dialog to be answered by `answer` once it is on screen
// (the call that shows it blocks in its own loop, so the answer comes from a timer).
void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000);
// Puts a path into a file dialog as a user typing it would.
void SelectInFileDialog(QFileDialog* dialog, const QString& path);
// Answers the next file dialog with a path (empty: Cancel).
void AnswerFileDialog(const QString& path);
// Presses a standard button (Ok, Yes, No) of the next message box; remembers its text.
void AnswerMessageBox(int standardButton, QString* text = nullptr, QString* title = nullptr);

template <typename T>
T* Find(const char* name);

// A fixture that starts the whole program in-process with the user's folders in a
// temporary directory, answers the start-up model dialog (OK unless told otherwise), and
// ends the program afterwards.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts the program; `confirmModel` answers the start-up dialog with OK or Cancel.
  void Start(bool confirmModel = true);
  void Stop();
  // Types a key sequence into the main window (its shortcuts see it).
  void Shortcut(const QKeySequence& keys);
  QString TempPath(const QString& name) const { return fTemp.filePath(name); }

  QTemporaryDir fTemp;
  bool fStarted = false;
};

#include "support/UiTestHelpers.inl"
