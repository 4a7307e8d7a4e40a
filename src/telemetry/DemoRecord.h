#pragma once
// The acquisition loop's record source "demo.dat": one record a line, numbers separated by
// ";", read in a circle.

#include <QChar>
#include <QString>
#include <QStringView>
#include <cstdio>

#include "telemetry/LiveRecord.h"

// Parses one "demo.dat" line into the live values. The numbers before the first, second,
// ... ";" go to slots 1, 2, ... in turn, each stored as soon as it is converted; numbers
// with no slot (a line of more than twelve numbers) are converted but dropped. The number
// after the last ";" (the whole line when it has none) always goes to SPEED, rounded to a
// whole number; O2 is then rounded to two decimals. Numbers are read with `separator`
// and, when that is not the full stop, also with the full stop, so that the demo file
// reads under every locale. Blanks around a number are allowed. A piece that is not a
// number (an empty line included), and an RPM that no 64-bit integer can hold (the live
// map cell takes it to a whole number), throws EConvertError naming it; the slots before
// it already hold their new values then.
void ParseDemoRecord(QStringView line, LiveRecord& values, QChar separator);

// Hands out the lines of a text file in a circle: after the last line comes the first
// again. Lines end with CR LF (a bare LF is taken too).
class TDemoDataSource {
 public:
  // Opens the file (by default "demo.dat" in the current directory); throws EInOutError
  // ("File not found", "I/O error %d") when it cannot be opened.
  explicit TDemoDataSource(const QString& path = QStringLiteral("demo.dat"));
  ~TDemoDataSource();
  TDemoDataSource(const TDemoDataSource&) = delete;
  TDemoDataSource& operator=(const TDemoDataSource&) = delete;

  // The next line without its line end. At the end of the file reading starts again at
  // its beginning; an empty file gives empty lines. Throws EInOutError on a read error.
  QString NextLine();
  void Close();

 private:
  std::FILE* fFile = nullptr;
};
