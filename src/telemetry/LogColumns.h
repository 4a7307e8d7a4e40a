#pragma once
// The column mapping of a delimited log from another logger: which column holds engine speed,
// load (injection time in ms, the quantity the part-load maps are laid on), the mixture
// (air-fuel ratio, lambda or sensor volts) and, when logged, coolant, throttle and time. It is
// guessed from the header's names, written as "rpm=RPM,load=IPW,afr=AFR,time=Time:ms" on the
// command line, and remembered per header line for the next log of the same logger.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "telemetry/LiveRecord.h"

// How the mixture column stands for the ratio; the sensor line turns volts into a ratio.
enum class TLogMixture { Afr, Lambda, Volts };
// How the time column is written; None: no time column, the records come at a fixed rate.
enum class TLogTime { Seconds, Milliseconds, Clock, None };

struct TLogColumns {
  // Columns counted from 0; -1 where the slot has none.
  int rpm = -1;
  int load = -1;
  int mixture = -1;
  int clt = -1;
  int tps = -1;
  int time = -1;
  TLogMixture mixtureKind = TLogMixture::Afr;
  TLogTime timeKind = TLogTime::None;
  double rate = 0;  // records a second, for a log without time

  // Whether the slot of the own log is filled from a column (Time always is: from the column
  // or from the rate). PW is filled with the injection time of the load column.
  bool Has(LiveSlot slot) const;
  bool operator==(const TLogColumns&) const = default;
};

// The mapping a header suggests: engine speed, injection time, mixture, coolant, throttle and
// time by their common names (units in the name allowed), the mixture's and the time's kinds
// from the names and the first rows (`sample`, cell texts row by row). Slots without a
// likely column stay -1.
TLogColumns GuessLogColumns(const QStringList& names, const QList<QStringList>& sample = {});

// Why a load column cannot be used (its name says pressure, a percentage, air flow, ...),
// empty when its name allows injection time in ms.
QString LoadColumnRefusal(const QString& name);

// Why the mapping cannot be read, in one sentence, or empty when it can: a slot that must
// be mapped and is not, a column beyond the header, a load that is not injection time, a log
// without time and without a rate.
QString LogColumnsProblem(const TLogColumns& columns, const QStringList& names);

// The mapping from the command line's text "rpm=NAME,load=NAME,afr=NAME[,clt=NAME][,tps=NAME]
// [,time=NAME[:ms]]" (NAME a header name, any case, or a column number from 1, #N where a header is named N
// itself; lambda= or
// o2= instead of afr=; :s, :ms or :clock after the time's NAME). A time without its kind
// takes the one the name and the sample suggest. Throws ERuntimeError naming what is wrong.
TLogColumns ParseLogColumns(const QString& text, const QStringList& names,
                            const QList<QStringList>& sample = {});

// The mapping as that text, with header names (a name that is a number, has a comma or is
// not unique as its column number).
QString LogColumnsText(const TLogColumns& columns, const QStringList& names);

// The mapping last confirmed for logs with this header line, if any, and remembering one.
// The per-user store of the program holds them.
std::optional<TLogColumns> RememberedLogColumns(const QString& headerLine,
                                                const QStringList& names);
void RememberLogColumns(const QString& headerLine, const TLogColumns& columns,
                        const QStringList& names);
