#include "telemetry/LogColumns.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSettings>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "common/Errors.h"
#include "common/ShownText.h"
#include "telemetry/LogNumber.h"

namespace {

QString Tr(const char* text) {
  return QCoreApplication::translate("LogColumns", text);
}

// A header name as lower-case words: brackets, underscores and the like split it, so that
// "Time[ms]", "AFR (14.7)" and "Coolant_Temp" give "time ms", "afr 14.7", "coolant temp".
QStringList Words(const QString& name) {
  static const QRegularExpression splitter(QStringLiteral("[\\s()\\[\\]{}_\\-:,;=.]+"));
  return name.toLower().split(splitter, Qt::SkipEmptyParts);
}

bool HasAny(const QStringList& words, std::initializer_list<const char*> wanted) {
  for (const char* w : wanted)
    if (words.contains(QString::fromUtf8(w))) return true;
  return false;
}

bool IsInjection(const QStringList& w) {
  return HasAny(w, {"ipw", "inj", "injection", "injector", "pw", "pulse", "pulsewidth", "ti",
                    "load", "нагрузка", "впрыск", "впрыска", "вр.впр"});
}

bool IsRpm(const QStringList& w) {
  return HasAny(w, {"rpm", "nmot", "revs", "обороты", "об/мин", "оборотов"}) ||
         (w.contains(QLatin1String("engine")) && w.contains(QLatin1String("speed"))) ||
         (w.size() == 1 && w.front() == QLatin1String("n"));
}

bool IsTime(const QStringList& w) {
  if (w.isEmpty() || IsInjection(w)) return false;
  return HasAny(QStringList{w.front()},
                {"time", "t", "timestamp", "zeit", "время", "sec", "seconds", "elapsed"});
}

bool IsVoltsWord(const QStringList& w) {
  return HasAny(w, {"v", "volt", "volts", "voltage", "mv", "в"});
}

// The mixture kind a name says, if it names a mixture at all.
std::optional<TLogMixture> MixtureOfName(const QString& name) {
  const QStringList w = Words(name);
  const QString lower = name.toLower();
  const bool battery = HasAny(w, {"battery", "vbat", "vboard", "batt", "борт"});
  if (battery) return std::nullopt;
  if (w.contains(QLatin1String("afr")) || lower.contains(QLatin1String("air/fuel")) ||
      lower.contains(QLatin1String("air fuel")) || w.contains(QLatin1String("a/f")))
    return IsVoltsWord(w) ? TLogMixture::Volts : TLogMixture::Afr;
  if (HasAny(w, {"lambda", "λ", "lam", "лямбда"}))
    return IsVoltsWord(w) ? TLogMixture::Volts : TLogMixture::Lambda;
  if (HasAny(w, {"o2", "wb", "wbo2", "wideband", "lsu", "uego", "ego"})) return TLogMixture::Volts;
  return std::nullopt;
}

bool IsCoolant(const QStringList& w) {
  return HasAny(w, {"clt", "coolant", "ect", "water", "cts", "охл", "ож", "тож"});
}

bool IsThrottle(const QStringList& w) {
  return HasAny(w, {"tps", "throttle", "tp", "дроссель", "дз"});
}

// The numbers of column `col` in the sample rows.
std::vector<double> SampleValues(const QList<QStringList>& sample, int col) {
  std::vector<double> values;
  for (const QStringList& row : sample) {
    if (col < 0 || col >= row.size()) continue;
    const QByteArray text = row[col].toUtf8();
    if (const auto v = ParseLogNumber(std::string_view(text.constData(), text.size()), "."))
      values.push_back(*v);
  }
  return values;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? NAN : values[values.size() / 2];
}

// The time's kind from its name and the sample: a clock time holds colons; "ms" in the name
// says milliseconds; without a unit, whole numbers at least five apart are milliseconds too.
TLogTime TimeKindOf(const QString& name, const QList<QStringList>& sample, int col) {
  for (const QStringList& row : sample)
    if (col < row.size() && row[col].contains(QLatin1Char(':'))) return TLogTime::Clock;
  const QStringList w = Words(name);
  if (HasAny(w, {"ms", "msec", "millis", "milliseconds", "мс"})) return TLogTime::Milliseconds;
  if (HasAny(w, {"s", "sec", "seconds", "с"})) return TLogTime::Seconds;
  const std::vector<double> v = SampleValues(sample, col);
  if (v.size() < 3) return TLogTime::Seconds;
  std::vector<double> steps;
  for (size_t k = 1; k < v.size(); ++k) {
    if (v[k] != std::floor(v[k])) return TLogTime::Seconds;
    steps.push_back(v[k] - v[k - 1]);
  }
  return Median(steps) >= 5 ? TLogTime::Milliseconds : TLogTime::Seconds;
}

// A mixture named AFR that reads about 1 is lambda, one named lambda that reads above 5 a ratio.
TLogMixture MixtureKindOf(TLogMixture named, const QList<QStringList>& sample, int col) {
  const double m = Median(SampleValues(sample, col));
  if (named == TLogMixture::Afr && m > 0 && m < 3) return TLogMixture::Lambda;
  if (named == TLogMixture::Lambda && m > 5) return TLogMixture::Afr;
  return named;
}

int FindColumn(const QStringList& names, bool (*test)(const QStringList&), int not1 = -1) {
  for (int k = 0; k < names.size(); ++k)
    if (k != not1 && test(Words(names[k]))) return k;
  return -1;
}

}  // namespace

bool TLogColumns::Has(LiveSlot slot) const {
  switch (slot) {
    case kTime:
      return true;
    case kRPM:
      return rpm >= 0;
    case kLOAD:
    case kPW:
      return load >= 0;
    case kO2:
      return mixture >= 0;
    case kCLT:
      return clt >= 0;
    case kTPS:
      return tps >= 0;
    default:
      return false;
  }
}

QString LoadColumnRefusal(const QString& name) {
  const QStringList w = Words(name);
  const QString lower = name.toLower();
  const auto refuse = [&name](const char* what) {
    return QCoreApplication::translate(
               "LogColumns",
               "столбец «%1» — это %2, а не время впрыска в мс, по которому построены карты "
               "частичной нагрузки")
        .arg(ShownPiece(name.trimmed()), Tr(what));
  };
  if (HasAny(w, {"kpa", "mbar", "bar", "psi", "hpa", "map", "boost", "inhg", "кпа", "мбар"}))
    return refuse(QT_TRANSLATE_NOOP("LogColumns", "давление во впуске"));
  if (lower.contains(QLatin1Char('%')) || HasAny(w, {"pct", "percent", "duty", "dc"}))
    return refuse(QT_TRANSLATE_NOOP("LogColumns", "доля в процентах"));
  if (lower.contains(QLatin1String("g/s")) || lower.contains(QLatin1String("kg/h")) ||
      HasAny(w, {"maf", "mg", "mg/stroke", "mg/hub", "mg/cyl", "airflow", "дмрв"}))
    return refuse(QT_TRANSLATE_NOOP("LogColumns", "расход или масса воздуха"));
  if (HasAny(w, {"ve", "tps", "throttle"}))
    return refuse(QT_TRANSLATE_NOOP("LogColumns", "наполнение или положение дросселя"));
  if (HasAny(w, {"us", "µs", "μs", "мкс"}))
    return refuse(QT_TRANSLATE_NOOP("LogColumns", "время впрыска в микросекундах"));
  return {};
}

TLogColumns GuessLogColumns(const QStringList& names, const QList<QStringList>& sample) {
  TLogColumns c;
  c.rpm = FindColumn(names, IsRpm);
  // The first injection time that is not refused: a "Load (kPa)" beside "IPW" is not the load.
  for (int k = 0; k < names.size() && c.load < 0; ++k)
    if (IsInjection(Words(names[k])) && LoadColumnRefusal(names[k]).isEmpty()) c.load = k;
  // A ratio before lambda before volts: a wide-band controller logging both gives the ratio.
  int bestRank = 3;
  for (int k = 0; k < names.size(); ++k) {
    const auto kind = MixtureOfName(names[k]);
    if (!kind) continue;
    const int rank = static_cast<int>(*kind);
    if (rank < bestRank) {
      bestRank = rank;
      c.mixture = k;
      c.mixtureKind = MixtureKindOf(*kind, sample, k);
    }
  }
  c.clt = FindColumn(names, IsCoolant);
  c.tps = FindColumn(names, IsThrottle);
  c.time = FindColumn(names, IsTime);
  c.timeKind = c.time >= 0 ? TimeKindOf(names[c.time], sample, c.time) : TLogTime::None;
  return c;
}

QString LogColumnsProblem(const TLogColumns& c, const QStringList& names) {
  const auto beyond = [&names](int col) { return col >= static_cast<int>(names.size()); };
  if (c.rpm < 0)
    return QCoreApplication::translate("LogColumns", "Не выбран столбец оборотов двигателя.");
  if (c.load < 0)
    return QCoreApplication::translate("LogColumns",
                                       "Не выбран столбец нагрузки (время впрыска, мс).");
  if (c.mixture < 0)
    return QCoreApplication::translate(
        "LogColumns", "Не выбран столбец состава смеси (AFR, лямбда или вольты зонда).");
  for (int col : {c.rpm, c.load, c.mixture, c.clt, c.tps, c.time})
    if (beyond(col))
      return QCoreApplication::translate("LogColumns", "В заголовке %1 столбцов, столбца %2 нет.")
          .arg(names.size())
          .arg(col + 1);
  if (const QString why = LoadColumnRefusal(names[c.load]); !why.isEmpty())
    return QCoreApplication::translate("LogColumns", "Нагрузка не подходит: %1.").arg(why);
  if (c.time < 0 && !(c.rate > 0 && std::isfinite(c.rate)))
    return QCoreApplication::translate(
        "LogColumns", "В ЛОГе нет столбца времени: нужна частота записей в герцах.");
  return {};
}

TLogColumns ParseLogColumns(const QString& text, const QStringList& names,
                            const QList<QStringList>& sample) {
  TLogColumns c;
  QStringList seen;
  const auto column = [&names](const QString& name) {
    const QString wanted = name.trimmed();
    for (int k = 0; k < names.size(); ++k)
      if (names[k].trimmed().compare(wanted, Qt::CaseInsensitive) == 0) return k;
    bool number = false;
    // A column number, or "#N" where a header is named N itself.
    const int n = (wanted.startsWith(QLatin1Char('#')) ? wanted.mid(1) : wanted).toInt(&number);
    if (number && n >= 1 && n <= names.size()) return n - 1;
    throw ERuntimeError(
        QCoreApplication::translate("LogColumns", "в заголовке нет столбца «%1» (есть: %2)")
            .arg(ShownPiece(wanted), ShownPiece(names.join(QStringLiteral(", ")), 200))
            .toStdString());
  };
  for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    const qsizetype eq = part.indexOf(QLatin1Char('='));
    const QString key = part.left(eq).trimmed().toLower();
    QString value = eq < 0 ? QString() : part.mid(eq + 1);
    if (eq < 0 || value.trimmed().isEmpty())
      throw ERuntimeError(QCoreApplication::translate("LogColumns", "«%1»: ожидалось СЛОТ=СТОЛБЕЦ")
                              .arg(ShownPiece(part))
                              .toStdString());
    const QString slot =
        key == QLatin1String("lambda") || key == QLatin1String("o2") ? QStringLiteral("afr") : key;
    if (seen.contains(slot))
      throw ERuntimeError(
          QCoreApplication::translate("LogColumns", "столбец для «%1» назван дважды")
              .arg(key)
              .toStdString());
    seen << slot;
    if (key == QLatin1String("rpm")) {
      c.rpm = column(value);
    } else if (key == QLatin1String("load")) {
      c.load = column(value);
    } else if (slot == QLatin1String("afr")) {
      c.mixture = column(value);
      c.mixtureKind = key == QLatin1String("afr")      ? TLogMixture::Afr
                      : key == QLatin1String("lambda") ? TLogMixture::Lambda
                                                       : TLogMixture::Volts;
    } else if (key == QLatin1String("clt")) {
      c.clt = column(value);
    } else if (key == QLatin1String("tps")) {
      c.tps = column(value);
    } else if (key == QLatin1String("time")) {
      std::optional<TLogTime> kind;
      const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
      const QString unit = colon < 0 ? QString() : value.mid(colon + 1).trimmed().toLower();
      if (unit == QLatin1String("ms")) kind = TLogTime::Milliseconds;
      if (unit == QLatin1String("s")) kind = TLogTime::Seconds;
      if (unit == QLatin1String("clock")) kind = TLogTime::Clock;
      if (kind) value = value.left(colon);
      c.time = column(value);
      c.timeKind = kind ? *kind : TimeKindOf(names[c.time], sample, c.time);
    } else {
      throw ERuntimeError(
          QCoreApplication::translate("LogColumns",
                                      "«%1»: слоты — rpm, load, afr, lambda, o2, clt, tps, time")
              .arg(key)
              .toStdString());
    }
  }
  return c;
}

QString LogColumnsText(const TLogColumns& c, const QStringList& names) {
  // How many header names the reading takes for `text` (trimmed, any case).
  const auto matches = [&names](const QString& text) {
    qsizetype count = 0;
    for (const QString& other : names)
      count += other.trimmed().compare(text, Qt::CaseInsensitive) == 0;
    return count;
  };
  const auto named = [&names, &matches](int col) {
    const QString& name = names.value(col);
    bool number = false;
    (void)name.toInt(&number);
    const bool plain = !number && !name.isEmpty() && name == name.trimmed() &&
                       !name.contains(QLatin1Char(',')) && !name.contains(QLatin1Char('=')) &&
                       !name.contains(QLatin1Char(':')) &&
                       matches(name) == 1;  // a repeated name would find the first
    if (plain) return name;
    // The column's number, unless a header bears that number as its name.
    const QString byNumber = QString::number(col + 1);
    return matches(byNumber) == 0 ? byNumber : QLatin1Char('#') + byNumber;
  };
  QStringList parts;
  if (c.rpm >= 0) parts << QStringLiteral("rpm=") + named(c.rpm);
  if (c.load >= 0) parts << QStringLiteral("load=") + named(c.load);
  if (c.mixture >= 0) {
    const char* key = c.mixtureKind == TLogMixture::Afr      ? "afr="
                      : c.mixtureKind == TLogMixture::Lambda ? "lambda="
                                                             : "o2=";
    parts << QLatin1String(key) + named(c.mixture);
  }
  if (c.clt >= 0) parts << QStringLiteral("clt=") + named(c.clt);
  if (c.tps >= 0) parts << QStringLiteral("tps=") + named(c.tps);
  if (c.time >= 0) {
    const char* unit = c.timeKind == TLogTime::Milliseconds ? ":ms"
                       : c.timeKind == TLogTime::Clock      ? ":clock"
                                                            : ":s";
    parts << QStringLiteral("time=") + named(c.time) + QLatin1String(unit);
  }
  return parts.join(QLatin1Char(','));
}

namespace {
// One group of the program's per-user store for each header line, under a digest of it: a
// header holds characters the store's keys cannot.
QString StoreGroup(const QString& headerLine) {
  return QStringLiteral("LogColumns/") +
         QString::fromLatin1(
             QCryptographicHash::hash(headerLine.toUtf8(), QCryptographicHash::Sha1).toHex());
}
}  // namespace

std::optional<TLogColumns> RememberedLogColumns(const QString& headerLine,
                                                const QStringList& names) {
  QSettings store(QStringLiteral("Tarvelo"), QStringLiteral("Tarvelo"));
  store.beginGroup(StoreGroup(headerLine));
  const QString text = store.value(QStringLiteral("columns")).toString();
  if (text.isEmpty()) return std::nullopt;
  try {
    TLogColumns c = ParseLogColumns(text, names);
    c.rate = store.value(QStringLiteral("rate"), 0.0).toDouble();
    return c;
  } catch (const ERuntimeError&) {
    return std::nullopt;  // a store edited by hand: the guess is shown instead
  }
}

void RememberLogColumns(const QString& headerLine, const TLogColumns& columns,
                        const QStringList& names) {
  QSettings store(QStringLiteral("Tarvelo"), QStringLiteral("Tarvelo"));
  store.beginGroup(StoreGroup(headerLine));
  store.setValue(QStringLiteral("columns"), LogColumnsText(columns, names));
  if (columns.time < 0)
    store.setValue(QStringLiteral("rate"), columns.rate);
  else
    store.remove(QStringLiteral("rate"));
}
