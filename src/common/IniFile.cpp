#include "common/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/DecimalText.h"
#include "common/Errors.h"
#include "common/SafeFileWrite.h"

bool ParseIniInteger(const QString& text, int32_t& value) {
  QString t = text.trimmed();
  if (t.size() > 2 && (t.startsWith(QLatin1String("0x")) || t.startsWith(QLatin1String("0X"))))
    t = QLatin1Char('$') + t.mid(2);
  const auto parsed = TryStrToInt(t);
  if (!parsed) return false;
  value = *parsed;
  return true;
}

TIniFile::TIniFile(QString path) : fPath(std::move(path)) {
  fSections.push_back(Section{});
  // No path: an empty settings object, as for a file that cannot be read.
  if (fPath.isEmpty()) return;
  QFile file(fPath);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray data = file.readAll();
  // Settings files are 8-bit text; Latin-1 keeps every byte as it is.
  const QString text = QString::fromLatin1(data);
  for (QString raw : text.split(QLatin1Char('\n'))) {
    if (raw.endsWith(QLatin1Char('\r'))) raw.chop(1);
    const QString trimmed = raw.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
      fSections.push_back(Section{trimmed.mid(1, trimmed.size() - 2).trimmed(), {}});
      continue;
    }
    Line line{QString(), raw};
    const auto eq = raw.indexOf(QLatin1Char('='));
    if (eq > 0 && !trimmed.startsWith(QLatin1Char(';'))) line.key = raw.left(eq).trimmed();
    fSections.back().lines.push_back(line);
  }
  // A trailing line break leaves one empty line behind; drop it so that saving is stable.
  auto& last = fSections.back().lines;
  if (!last.empty() && last.back().key.isEmpty() && last.back().text.isEmpty()) last.pop_back();
}

const TIniFile::Line* TIniFile::Find(const QString& section, const QString& key) const {
  for (const auto& s : fSections) {
    if (s.name.compare(section, Qt::CaseInsensitive) != 0) continue;
    for (const auto& line : s.lines)
      if (!line.key.isEmpty() && line.key.compare(key, Qt::CaseInsensitive) == 0) return &line;
  }
  return nullptr;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
  const Line* line = Find(section, key);
  if (!line) return def;
  return line->text.mid(line->text.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int32_t TIniFile::ReadInteger(const QString& section, const QString& key, int32_t def) const {
  const Line* line = Find(section, key);
  if (!line) return def;
  int32_t value = 0;
  return ParseIniInteger(ReadString(section, key, QString()), value) ? value : def;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  Section* target = nullptr;
  for (auto& s : fSections)
    if (!s.name.isEmpty() && s.name.compare(section, Qt::CaseInsensitive) == 0) target = &s;
  if (!target) {
    fSections.push_back(Section{section, {}});
    target = &fSections.back();
  }
  for (auto& line : target->lines) {
    if (!line.key.isEmpty() && line.key.compare(key, Qt::CaseInsensitive) == 0) {
      line.text = line.key + QLatin1Char('=') + value;
      return;
    }
  }
  // New keys go after the section's last key, before any blank lines that end it.
  auto pos = target->lines.end();
  while (pos != target->lines.begin() && std::prev(pos)->key.isEmpty() &&
         std::prev(pos)->text.trimmed().isEmpty())
    --pos;
  target->lines.insert(pos, Line{key, key + QLatin1Char('=') + value});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int32_t value) {
  WriteString(section, key, QString::number(value));
}

void TIniFile::Write() const {
  QByteArray out;
  for (const auto& s : fSections) {
    if (!s.name.isEmpty()) out += '[' + s.name.toLatin1() + "]\r\n";
    for (const auto& line : s.lines) out += line.text.toLatin1() + "\r\n";
  }
  const QFileInfo info(fPath);
  QDir().mkpath(info.absolutePath());
  WriteFileSafely(fPath, out);
}

bool TIniFile::Save() const {
  try {
    Write();
    return true;
  } catch (const ERuntimeError&) {
    return false;
  }
}
