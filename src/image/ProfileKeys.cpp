#include "image/ProfileKeys.h"

#include <QCoreApplication>
#include <QStringList>
#include <optional>

#include "common/Errors.h"
#include "common/IniFile.h"
#include "common/RegularFile.h"
#include "image/Checksum.h"

namespace {

const QString kSection = QStringLiteral("config");

// clang-format off
// One key that sets the field of its own name.
#define KEY(field, group, offset, def, meaning)                                          \
  TProfileKey{#field, TProfileGroup::group, offset, def, meaning,                        \
              [](const TModelConfig& c) { return static_cast<int32_t>(c.field); },       \
              [](TModelConfig& c, int32_t v) { c.field = static_cast<decltype(c.field)>(v); }}
// The idle fuel table's keys: breakpoint counts, each one less than the rows or columns it
// sets (the sum kept in 8 bits).
#define COUNT_KEY(key, field, group, def, meaning)                                       \
  TProfileKey{#key, TProfileGroup::group, false, def, meaning,                           \
              [](const TModelConfig& c) { return static_cast<int32_t>(c.field) - 1; },   \
              [](TModelConfig& c, int32_t v) {                                           \
                c.field = static_cast<uint8_t>(static_cast<uint32_t>(v) + 1u);           \
              }}
// clang-format on

const std::vector<TProfileKey> kKeys = {
    KEY(fVersion, Layout, false, 1,
        QT_TRANSLATE_NOOP("ProfileKeys",
                          "вариант раскладки: 1 — карты частичных нагрузок из двух частей и старые "
                          "шкалы, иначе цельные карты")),
    KEY(fVersionFileSize, Layout, false, 32768,
        QT_TRANSLATE_NOOP("ProfileKeys", "размер образа; хранится, не используется")),
    KEY(fVersionAddress, Layout, true, 0x1F0C,
        QT_TRANSLATE_NOOP("ProfileKeys", "адрес 10 байт номера версии")),
    KEY(fpageSize, Layout, false, 64,
        QT_TRANSLATE_NOOP("ProfileKeys", "размер страницы; хранится, не используется")),
    KEY(fInjectorOutputAddress, Layout, true, 0,
        QT_TRANSLATE_NOOP("ProfileKeys", "хранится, не используется")),
    KEY(fStartMainFuelTableAddress_Lo, FuelMain, true, 0x51B6,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало карты (нижняя часть)")),
    KEY(fFuelMainMatrixDim1_Lo, FuelMain, false, 8,
        QT_TRANSLATE_NOOP("ProfileKeys", "точек нагрузки (нижняя часть)")),
    KEY(fFuelMainMatrixDim2_Lo, FuelMain, false, 16,
        QT_TRANSLATE_NOOP("ProfileKeys", "точек оборотов")),
    KEY(fStartMainFuelTableAddress_Hi, FuelMain, true, 0x5252,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало верхней части (вариант 1)")),
    KEY(fFuelMainMatrixDim1_Hi, FuelMain, false, 6,
        QT_TRANSLATE_NOOP("ProfileKeys", "точек нагрузки верхней части (вариант 1)")),
    KEY(fFuelMainMatrixDim2_Hi, FuelMain, false, 16,
        QT_TRANSLATE_NOOP("ProfileKeys",
                          "точек оборотов верхней части; хранится, не используется")),
    KEY(fMainFuelTableLength1, FuelMain, false, 152,
        QT_TRANSLATE_NOOP("ProfileKeys", "хранится, не используется")),
    KEY(fMainFuelTableLength2, FuelMain, false, 118,
        QT_TRANSLATE_NOOP("ProfileKeys", "хранится, не используется")),
    KEY(fStartMainSparkTableAddress_Lo, SparkMain, true, 0x59CB,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало карты (нижняя часть)")),
    KEY(fSparkMainMatrixDim1_Lo, SparkMain, false, 8,
        QT_TRANSLATE_NOOP("ProfileKeys", "точек нагрузки (нижняя часть)")),
    KEY(fSparkMainMatrixDim2_Lo, SparkMain, false, 16,
        QT_TRANSLATE_NOOP("ProfileKeys", "точек оборотов")),
    KEY(fStartMainSparkTableAddress_Hi, SparkMain, true, 0x5A67,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало верхней части (вариант 1)")),
    KEY(fSparkMainMatrixDim1_Hi, SparkMain, false, 6,
        QT_TRANSLATE_NOOP("ProfileKeys", "точек нагрузки верхней части (вариант 1)")),
    KEY(fSparkMainMatrixDim2_Hi, SparkMain, false, 16,
        QT_TRANSLATE_NOOP("ProfileKeys",
                          "точек оборотов верхней части; хранится, не используется")),
    KEY(fMainSparkTableLength1, SparkMain, false, 152,
        QT_TRANSLATE_NOOP("ProfileKeys", "хранится, не используется")),
    KEY(fMainSparkTableLength2, SparkMain, false, 118,
        QT_TRANSLATE_NOOP("ProfileKeys", "хранится, не используется")),
    KEY(fStartXXFuelTableAddress, FuelXX, true, 0x70BB,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало таблицы (нет в образе варианта 1)")),
    COUNT_KEY(fFuelXXMatrixDim1, fFuelXXRows, FuelXX, 3,
              QT_TRANSLATE_NOOP("ProfileKeys", "точек нагрузки")),
    COUNT_KEY(fFuelXXMatrixDim2, fFuelXXCols, FuelXX, 6,
              QT_TRANSLATE_NOOP("ProfileKeys", "точек оборотов")),
    KEY(fXXFuelTableLength, FuelXX, false, 18,
        QT_TRANSLATE_NOOP("ProfileKeys", "хранится, не используется")),
    KEY(fStartXXSparkTableAddress, SparkXX, true, 0x557C,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало таблицы")),
    KEY(fSparkXXMatrixDim1, SparkXX, false, 2,
        QT_TRANSLATE_NOOP("ProfileKeys", "строк: строка оборотов и строка углов")),
    KEY(fSparkXXMatrixDim2, SparkXX, false, 8,
        QT_TRANSLATE_NOOP("ProfileKeys", "столбцов (точек оборотов)")),
    KEY(fXXSparkTableLength, SparkXX, false, 16,
        QT_TRANSLATE_NOOP("ProfileKeys", "хранится, не используется")),
    KEY(fStartMaxFuelTableAddress, FuelMax, true, 0x4EB7,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало таблицы")),
    KEY(fFuelMaxMatrixDim1, FuelMax, false, 2,
        QT_TRANSLATE_NOOP("ProfileKeys", "строк: строка оборотов и строка коэффициентов")),
    KEY(fFuelMaxMatrixDim2, FuelMax, false, 16,
        QT_TRANSLATE_NOOP("ProfileKeys", "столбцов (точек оборотов)")),
    KEY(fMaxFuelTableLength, FuelMax, false, 32,
        QT_TRANSLATE_NOOP("ProfileKeys", "хранится, не используется")),
    KEY(fStartMaxSparkTableAddress, SparkMax, true, 0x56E5,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало таблицы")),
    KEY(fSparkMaxMatrixDim1, SparkMax, false, 2,
        QT_TRANSLATE_NOOP("ProfileKeys",
                          "вариант 1: строк кривой (обороты и углы); иначе точек нагрузки")),
    KEY(fSparkMaxMatrixDim2, SparkMax, false, 16,
        QT_TRANSLATE_NOOP("ProfileKeys", "точек оборотов")),
    KEY(fMaxSparkTableLength, SparkMax, false, 32,
        QT_TRANSLATE_NOOP("ProfileKeys", "хранится, не используется")),
    KEY(fStartMAFAddress, MAF, true, 0,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало кривой ДМРВ (в образе вариантов выше 1)")),
    KEY(fMAFLength, MAF, false, 256,
        QT_TRANSLATE_NOOP("ProfileKeys", "16-битных значений в кривой")),
    KEY(fRPMTempCorrTableaddress, WarmUp, true, 0x780C,
        QT_TRANSLATE_NOOP("ProfileKeys", "начало таблицы оборотов Х.Х. при прогреве")),
    KEY(fRPMTempCorrDim1, WarmUp, false, 2,
        QT_TRANSLATE_NOOP("ProfileKeys", "строк: строка температур и строка оборотов")),
    KEY(fRPMTempCorrDim2, WarmUp, false, 4,
        QT_TRANSLATE_NOOP("ProfileKeys", "столбцов (точек температуры)")),
    KEY(fMaxRPMAddress1, RevLimit, true, 0x42DD,
        QT_TRANSLATE_NOOP("ProfileKeys", "адрес байта ограничителя оборотов")),
    KEY(fMaxRPMAddress2, RevLimit, true, 17161,
        QT_TRANSLATE_NOOP("ProfileKeys", "ещё один адрес ограничителя; хранится, не используется")),
    KEY(fMaxRPMAddress3, RevLimit, true, 17205,
        QT_TRANSLATE_NOOP("ProfileKeys", "ещё один адрес ограничителя; хранится, не используется")),
    KEY(fMaxRPMAddress4, RevLimit, true, 17249,
        QT_TRANSLATE_NOOP("ProfileKeys", "ещё один адрес ограничителя; хранится, не используется")),
    KEY(fMaxRPMAddress5, RevLimit, true, 17293,
        QT_TRANSLATE_NOOP("ProfileKeys", "ещё один адрес ограничителя; хранится, не используется")),
    KEY(fMaxRPMAddress6, RevLimit, true, 17337,
        QT_TRANSLATE_NOOP("ProfileKeys", "ещё один адрес ограничителя; хранится, не используется")),
    KEY(fMaxRPMAddress7, RevLimit, true, 17381,
        QT_TRANSLATE_NOOP("ProfileKeys", "ещё один адрес ограничителя; хранится, не используется")),
    KEY(fMaxRPMAddress8, RevLimit, true, 17425,
        QT_TRANSLATE_NOOP("ProfileKeys", "ещё один адрес ограничителя; хранится, не используется")),
    KEY(fCORegAddress, COReg, true, 0x7E8B,
        QT_TRANSLATE_NOOP("ProfileKeys", "адрес байта CO (в образе вариантов выше 1)")),
    KEY(fStartDataAreaAddress, Checksum, true, 0,
        QT_TRANSLATE_NOOP("ProfileKeys", "первый байт области контрольной суммы")),
    KEY(fEndDataAreaAddress, Checksum, true, 0,
        QT_TRANSLATE_NOOP("ProfileKeys", "последний байт этой области")),
    KEY(fCRCAddress, Checksum, true, 0,
        QT_TRANSLATE_NOOP("ProfileKeys", "место контрольной суммы")),
};

#undef KEY
#undef COUNT_KEY

}  // namespace

const std::vector<TProfileKey>& ProfileKeys() {
  return kKeys;
}

const TProfileKey* FindProfileKey(QStringView name) {
  for (const TProfileKey& key : kKeys)
    if (name.compare(QLatin1String(key.name), Qt::CaseInsensitive) == 0) return &key;
  return nullptr;
}

QString ProfileKeyMeaning(const TProfileKey& key) {
  return QCoreApplication::translate("ProfileKeys", key.meaning);
}

QString ProfileValueText(const TProfileKey& key, int32_t value) {
  if (key.offset && value >= 0) return QStringLiteral("0x") + QString::number(value, 16).toUpper();
  return QString::number(value);
}

namespace {

// "0x6000-0x7EFF" (each end an integer as the profile writes one), or nothing.
bool ParseRange(const QString& text, int32_t& first, int32_t& last) {
  const QStringList ends = text.split(QLatin1Char('-'));
  return ends.size() == 2 && ParseIniInteger(ends[0].trimmed(), first) &&
         ParseIniInteger(ends[1].trimmed(), last);
}

// CRCKind, CRCStart and CRCRange2. A kind the program does not know is refused, naming the
// known ones: taking it as "find it" would check a scheme the unit does not use.
void ReadChecksumKeys(const TIniFile& ini, TModelConfig& c, const QString& path) {
  const QString kind = ini.ReadString(kSection, QStringLiteral("CRCKind"), {});
  const std::optional<TChecksumKind> known = ChecksumKindFromName(kind);
  if (!known)
    throw ERuntimeError(
        QCoreApplication::translate("ProfileKeys",
                                    "Профиль %1: вид контрольной суммы CRCKind=%2 не "
                                    "известен; известны: %3")
            .arg(path, kind.trimmed(), ChecksumKindNames().join(QStringLiteral(", ")))
            .toStdString());
  c.fCRCKind = *known;
  c.fCRCStart =
      static_cast<uint16_t>(ini.ReadInteger(kSection, QStringLiteral("CRCStart"), 0) & 0xFFFF);
  int32_t first = 0, last = 0;
  if (ParseRange(ini.ReadString(kSection, QStringLiteral("CRCRange2"), {}), first, last)) {
    c.fCRCRange2First = first;
    c.fCRCRange2Last = last;
  }
}

}  // namespace

TModelConfig ReadProfile(const QString& path) {
  RequireRegularFile(path);
  const TIniFile ini(path);
  TModelConfig c;
  for (const TProfileKey& key : kKeys)
    key.set(c, ini.ReadInteger(kSection, QString::fromLatin1(key.name), key.profileDefault));
  ReadChecksumKeys(ini, c, path);
  c.ComputeDerivedSizes();
  return c;
}
