#include "ui/profile/ProfileTables.h"

#include "ui/profile/ProfileForm.h"

const std::vector<TEditorTable>& EditorTables() {
  using G = TProfileGroup;
  using T = TImageTable;
  static const std::vector<TEditorTable> tables = {
      {T::FuelMain, G::FuelMain, "fStartMainFuelTableAddress_Lo", "fStartMainFuelTableAddress_Hi",
       QColor(255, 214, 153)},
      {T::SparkMain, G::SparkMain, "fStartMainSparkTableAddress_Lo",
       "fStartMainSparkTableAddress_Hi", QColor(173, 216, 255)},
      {T::SparkXX, G::SparkXX, "fStartXXSparkTableAddress", nullptr, QColor(200, 190, 255)},
      {T::FuelXX, G::FuelXX, "fStartXXFuelTableAddress", nullptr, QColor(255, 190, 220)},
      {T::SparkMax, G::SparkMax, "fStartMaxSparkTableAddress", nullptr, QColor(160, 235, 235)},
      {T::FuelMax, G::FuelMax, "fStartMaxFuelTableAddress", nullptr, QColor(255, 240, 150)},
      {T::MAF, G::MAF, "fStartMAFAddress", nullptr, QColor(190, 240, 170)},
      {T::WarmUp, G::WarmUp, "fRPMTempCorrTableaddress", nullptr, QColor(230, 200, 160)},
      {T::RevLimit, G::RevLimit, "fMaxRPMAddress1", nullptr, QColor(255, 160, 160)},
      {T::COReg, G::COReg, "fCORegAddress", nullptr, QColor(210, 210, 210)},
      {T::Version, G::Layout, "fVersionAddress", nullptr, QColor(255, 230, 120)},
  };
  return tables;
}

const TEditorTable& EditorTable(TImageTable table) {
  for (const TEditorTable& t : EditorTables())
    if (t.table == table) return t;
  return EditorTables().front();
}

const TEditorTable* TableOfGroup(TProfileGroup group) {
  for (const TEditorTable& t : EditorTables())
    if (t.group == group) return &t;
  return nullptr;
}

QString EditorTableCaption(TImageTable table) {
  if (table == TImageTable::Version) return TProfileForm::tr("Номер версии");
  return ProfileGroupCaption(EditorTable(table).group);
}
