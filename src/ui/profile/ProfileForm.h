#pragma once
// TProfileForm: every key of the model configuration with its meaning, in one box per table,
// each key in an edit box named "edt" and the key ("edtfStartMainFuelTableAddress_Lo"). A
// value is taken as typed: decimal, or hexadecimal after "0x" or "$"; a text that is not an
// integer turns its box red and leaves the configuration as it was.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <map>

#include "image/ModelConfig.h"
#include "image/ProfileKeys.h"

class QComboBox;
class QGroupBox;
class QLineEdit;

// The box caption of a group of keys ("Топливо, частичные нагрузки", ...).
QString ProfileGroupCaption(TProfileGroup group);

class TProfileForm : public QWidget {
  Q_OBJECT
 public:
  explicit TProfileForm(QWidget* parent = nullptr);

  // Shows every value of `config` (no Changed signal).
  void SetConfig(const TModelConfig& config);
  const TModelConfig& Config() const { return fConfig; }
  // Sets one key as if the user had typed the value.
  void SetValue(const TProfileKey& key, int32_t value);
  // The box of a group: its caption with `info` after it, red with the problems as its tip
  // when there are any.
  void MarkGroup(TProfileGroup group, const QString& info, const QStringList& problems);
  QLineEdit* Edit(const TProfileKey& key) const;
  QGroupBox* Box(TProfileGroup group) const;

  // The checksum kind: "auto" (found on the image) or a named one.
  QComboBox* cbCRCKind = nullptr;

 signals:
  // The configuration changed (a key typed or set, the checksum kind chosen).
  void Changed();
  // The input focus came to a key's box.
  void KeyEntered(const TProfileKey* key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Typed(const TProfileKey& key, const QString& text);
  void ShowValue(const TProfileKey& key);

  TModelConfig fConfig;
  std::map<const TProfileKey*, QLineEdit*> fEdits;
  std::map<TProfileGroup, QGroupBox*> fBoxes;
};
