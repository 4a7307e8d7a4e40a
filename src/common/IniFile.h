#pragma once
// A sectioned settings file ("[section]" lines, "key=value" lines) read without regard to
// the letter case of section and key names. Writing keeps every other section, key and
// comment line of the file as it was; lines end with CR LF.

#include <QString>
#include <vector>

class TIniFile {
 public:
  // Reads the file; a file that cannot be read gives an empty settings object.
  explicit TIniFile(QString path);

  const QString& Path() const { return fPath; }
  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  // An integer in decimal, or hexadecimal after "$" or "0x"; a missing key or a value that
  // is not an integer gives `def`.
  int32_t ReadInteger(const QString& section, const QString& key, int32_t def) const;

  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int32_t value);
  // Writes the whole file back (creating its folder) through WriteFileSafely: a failure
  // leaves the file as it was. Write throws EInOutError, Save gives false.
  void Write() const;
  bool Save() const;

 private:
  struct Line {
    QString key;  // empty for a comment or blank line
    QString text;
  };
  struct Section {
    QString name;  // empty for lines before the first section
    std::vector<Line> lines;
  };
  const Line* Find(const QString& section, const QString& key) const;

  QString fPath;
  std::vector<Section> fSections;
};

// The integer reading of a settings value: "0x" (or "0X") before more text is read as "$";
// returns false when the text is not an integer.
bool ParseIniInteger(const QString& text, int32_t& value);
