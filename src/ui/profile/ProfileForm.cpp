#include "ui/profile/ProfileForm.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "common/IniFile.h"
#include "image/Checksum.h"

namespace {
constexpr TChecksumKind kKinds[] = {TChecksumKind::None,
                                    TChecksumKind::Sum16BE,
                                    TChecksumKind::Sum16LE,
                                    TChecksumKind::Sum16BEComplement,
                                    TChecksumKind::Sum16LEComplement,
                                    TChecksumKind::Sum8,
                                    TChecksumKind::Code16BE,
                                    TChecksumKind::Code16LE,
                                    TChecksumKind::Mirror};
const char* const kBad = "QLineEdit { background: #ffc8c8; }";
}  // namespace

QString ProfileGroupCaption(TProfileGroup group) {
  switch (group) {
    case TProfileGroup::Layout:
      return TProfileForm::tr("Общие");
    case TProfileGroup::FuelMain:
      return TProfileForm::tr("Топливо, частичные нагрузки");
    case TProfileGroup::SparkMain:
      return TProfileForm::tr("Зажигание, частичные нагрузки");
    case TProfileGroup::FuelXX:
      return TProfileForm::tr("Топливо Х.Х.");
    case TProfileGroup::SparkXX:
      return TProfileForm::tr("Зажигание Х.Х.");
    case TProfileGroup::FuelMax:
      return TProfileForm::tr("Топливо, макс. нагрузка");
    case TProfileGroup::SparkMax:
      return TProfileForm::tr("Зажигание, макс. нагрузка");
    case TProfileGroup::MAF:
      return TProfileForm::tr("ДМРВ");
    case TProfileGroup::WarmUp:
      return TProfileForm::tr("Обороты Х.Х. при прогреве");
    case TProfileGroup::RevLimit:
      return TProfileForm::tr("Ограничитель оборотов");
    case TProfileGroup::COReg:
      return TProfileForm::tr("Байт CO");
    case TProfileGroup::Checksum:
      return TProfileForm::tr("Контрольная сумма");
  }
  return {};
}

TProfileForm::TProfileForm(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pnlProfileKeys"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(2, 2, 2, 2);
  QGridLayout* grid = nullptr;
  for (const TProfileKey& key : ProfileKeys()) {
    if (!fBoxes.count(key.group)) {
      auto* box = new QGroupBox(ProfileGroupCaption(key.group), this);
      box->setObjectName(QStringLiteral("gbProfile%1").arg(static_cast<int>(key.group)));
      fBoxes[key.group] = box;
      grid = new QGridLayout(box);
      grid->setContentsMargins(4, 2, 4, 2);
      grid->setVerticalSpacing(1);
      grid->setColumnStretch(2, 1);
      column->addWidget(box);
    }
    const int row = grid->rowCount();
    auto* name = new QLabel(QString::fromLatin1(key.name), fBoxes[key.group]);
    auto* edit = new QLineEdit(fBoxes[key.group]);
    edit->setObjectName(QStringLiteral("edt") + QLatin1String(key.name));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0x0000000")) + 8);
    edit->installEventFilter(this);
    auto* meaning = new QLabel(ProfileKeyMeaning(key), fBoxes[key.group]);
    meaning->setWordWrap(true);
    meaning->setEnabled(false);
    meaning->setToolTip(meaning->text());
    grid->addWidget(name, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(meaning, row, 2);
    fEdits[&key] = edit;
    connect(edit, &QLineEdit::textEdited, this,
            [this, &key](const QString& text) { Typed(key, text); });
  }
  // The checksum kind is a key of its own, with a name rather than a number.
  cbCRCKind = new QComboBox(fBoxes[TProfileGroup::Checksum]);
  cbCRCKind->setObjectName(QStringLiteral("cbCRCKind"));
  for (TChecksumKind kind : kKinds) cbCRCKind->addItem(ChecksumKindName(kind));
  auto* checksum = static_cast<QGridLayout*>(fBoxes[TProfileGroup::Checksum]->layout());
  const int row = checksum->rowCount();
  checksum->addWidget(new QLabel(QStringLiteral("CRCKind")), row, 0);
  checksum->addWidget(cbCRCKind, row, 1);
  auto* meaning = new QLabel(tr("вид контрольной суммы; auto: найти по образу"));
  meaning->setEnabled(false);
  checksum->addWidget(meaning, row, 2);
  connect(cbCRCKind, &QComboBox::activated, this, [this](int index) {
    fConfig.fCRCKind = kKinds[index];
    emit Changed();
  });
  column->addStretch(1);
}

QLineEdit* TProfileForm::Edit(const TProfileKey& key) const {
  const auto it = fEdits.find(&key);
  return it == fEdits.end() ? nullptr : it->second;
}

QGroupBox* TProfileForm::Box(TProfileGroup group) const {
  const auto it = fBoxes.find(group);
  return it == fBoxes.end() ? nullptr : it->second;
}

void TProfileForm::ShowValue(const TProfileKey& key) {
  QLineEdit* edit = fEdits.at(&key);
  edit->setText(ProfileValueText(key, key.get(fConfig)));
  edit->setStyleSheet(QString());
}

void TProfileForm::SetConfig(const TModelConfig& config) {
  fConfig = config;
  fConfig.ComputeDerivedSizes();
  for (const TProfileKey& key : ProfileKeys()) ShowValue(key);
  for (int i = 0; i < static_cast<int>(std::size(kKinds)); ++i)
    if (kKinds[i] == fConfig.fCRCKind) cbCRCKind->setCurrentIndex(i);
}

void TProfileForm::SetValue(const TProfileKey& key, int32_t value) {
  key.set(fConfig, value);
  fConfig.ComputeDerivedSizes();
  ShowValue(key);
  emit Changed();
}

void TProfileForm::Typed(const TProfileKey& key, const QString& text) {
  int32_t value = 0;
  if (!ParseIniInteger(text, value)) {
    fEdits.at(&key)->setStyleSheet(QLatin1String(kBad));
    return;
  }
  fEdits.at(&key)->setStyleSheet(QString());
  key.set(fConfig, value);
  fConfig.ComputeDerivedSizes();
  emit Changed();
}

void TProfileForm::MarkGroup(TProfileGroup group, const QString& info,
                             const QStringList& problems) {
  QGroupBox* box = Box(group);
  if (!box) return;
  QString title = ProfileGroupCaption(group);
  if (!info.isEmpty()) title += QStringLiteral(" — ") + info;
  if (!problems.isEmpty()) title += QStringLiteral(" — ") + tr("ошибок: %1").arg(problems.size());
  box->setTitle(title);
  box->setToolTip(problems.join(QLatin1Char('\n')));
  box->setStyleSheet(problems.isEmpty() ? QString()
                                        : QStringLiteral("QGroupBox { color: #c00000; }"));
}

bool TProfileForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn)
    for (const auto& [key, edit] : fEdits)
      if (edit == watched) emit KeyEntered(key);
  return QWidget::eventFilter(watched, event);
}
