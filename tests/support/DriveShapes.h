#pragma once
// One warm drive written as the program's own log and as the delimited logs of other loggers
// in the shapes tuners send: a semicolon export with decimal commas, time in ms and lambda; a
// comma file with a banner, quoted cells, clock times and AFR; a tab file with sensor volts
// and no time (8 records a second). Records come every eighth of a second, a time every
// format writes exactly, so that each shape reads to the same records.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdio>
#include <vector>

namespace drive {

struct Row {
  double time, rpm, load, lambda, clt, tps;
};

// Stays in cells of the demo maps, a lean, a rich and a right one, with load steps between
// them that the steady filter takes out.
inline std::vector<Row> Drive(int perStay = 48) {
  struct Stay {
    double rpm, load, lambda;
  };
  const Stay stays[] = {
      {2100, 3, 1.1}, {2600, 4.5, 0.9}, {3100, 6, 1.0}, {1600, 2.2, 0.95}, {2100, 3, 1.1}};
  std::vector<Row> rows;
  for (const Stay& s : stays)
    for (int i = 0; i < perStay; ++i) {
      const double t = static_cast<double>(rows.size()) / 8;
      rows.push_back({t, s.rpm, s.load, s.lambda, 85.0 + i % 3, 20});
    }
  return rows;
}

// The wide-band line of the own log (1 V at AFR 10, 0 V at 20) at the row's mixture.
inline double Volts(const Row& r) {
  return (20 - 14.7 * r.lambda) / 10;
}

inline QByteArray Format(const char* format, double v, bool comma = false) {
  char text[64];
  std::snprintf(text, sizeof text, format, v);
  QByteArray out(text);
  if (comma) out.replace('.', ',');
  return out;
}

inline QByteArray Clock(double seconds) {
  const int whole = static_cast<int>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", 12 + whole / 3600, whole / 60 % 60,
                whole % 60, static_cast<int>((seconds - whole) * 1000 + 0.5));
  return text;
}

// The program's own tab-separated log: the load is also the pulse width.
inline QByteArray OwnLog(const std::vector<Row>& rows) {
  QByteArray text = "Time\tRPM\tLOAD\tO2\tPW\tIGNITION\tMAF\tTPS\tCLT\tMAT\tVboard\tSPEED\r\n";
  for (const Row& r : rows)
    text += Format("%.3f", r.time) + "\t" + Format("%.0f", r.rpm) + "\t" + Format("%.1f", r.load) +
            "\t" + Format("%.4f", Volts(r)) + "\t" + Format("%.1f", r.load) + "\t20\t1\t" +
            Format("%.0f", r.tps) + "\t" + Format("%.1f", r.clt) + "\t25\t13.8\t60\r\n";
  return text;
}

// A European export: semicolons, decimal commas, time in ms, lambda, CR LF.
inline QByteArray SemicolonLog(const std::vector<Row>& rows) {
  QByteArray text = "Time[ms];RPM;Inj. time (ms);Lambda;Coolant (C);TPS (%)\r\n";
  for (const Row& r : rows)
    text += Format("%.0f", r.time * 1000) + ";" + Format("%.0f", r.rpm) + ";" +
            Format("%.1f", r.load, true) + ";" + Format("%.3f", r.lambda, true) + ";" +
            Format("%.1f", r.clt, true) + ";" + Format("%.0f", r.tps) + "\r\n";
  return text;
}

// A wide-band controller's file: banner lines, quoted names and times, clock time, AFR, LF.
inline QByteArray CommaLog(const std::vector<Row>& rows) {
  QByteArray text =
      "Wideband logger 2.4, serial 0042\n# logged 2026-05-01\n\n"
      "\"Time\",\"Engine Speed\",\"IPW\",\"AFR (14.7)\",\"ECT\",\"Throttle\"\n";
  for (const Row& r : rows)
    text += "\"" + Clock(r.time) + "\"," + Format("%.0f", r.rpm) + "," + Format("%.1f", r.load) +
            "," + Format("%.4f", 14.7 * r.lambda) + "," + Format("%.1f", r.clt) + ",\"" +
            Format("%.0f", r.tps) + "\"\n";
  return text;
}

// A data logger's tab file: sensor volts on the own log's line, no time (8 Hz).
inline QByteArray TabLog(const std::vector<Row>& rows) {
  QByteArray text = "n\tti\tO2 (V)\tCLT\tThrottle\n";
  for (const Row& r : rows)
    text += Format("%.0f", r.rpm) + "\t" + Format("%.1f", r.load) + "\t" +
            Format("%.4f", Volts(r)) + "\t" + Format("%.1f", r.clt) + "\t" + Format("%.0f", r.tps) +
            "\n";
  return text;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace drive
