#pragma once
// The window's words for what the port list, a failed open and the cable test found: the
// same findings as the command-line tool's English sentences, in the interface language.

#include <QCoreApplication>
#include <QString>
#include <optional>

#include "link/CableTest.h"
#include "link/SerialPorts.h"

class QWidget;

class PortTexts {
  Q_DECLARE_TR_FUNCTIONS(PortTexts)
 public:
  static QString Advice(const TPortAdvice& advice, const TSerialPort& port);
  static QString OpenFailure(const TOpenFailure& failure);
  static QString CableTest(const TCableTestResult& result, const QString& latencyCommand);
  // A warning box captioned "Внимание!" with an OK button, named `name`.
  static void Warn(QWidget* parent, const char* name, const QString& text);
};

// The user the port checks are made for: this process, unless a test sets another.
TPortUser LinkPortUser();
void SetLinkPortUser(std::optional<TPortUser> user);
