// TfrmCompare: the list of differences from the reference.
#include "ui/compare/CompareWindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "calibration/Compare.h"
#include "common/DecimalText.h"
#include "ui/compare/CompareMarks.h"

namespace {
enum Column { kTable, kCell, kReference, kCurrent, kDifference, kColumns };
constexpr int kSortRole = Qt::UserRole;
constexpr int kCellRole = Qt::UserRole + 1;
constexpr int kTableRole = Qt::UserRole + 2;

// Sorts by the number a column holds (its sort key), by text where there is none.
class TSortItem : public QTableWidgetItem {
 public:
  TSortItem(const QString& text, const QVariant& key) : QTableWidgetItem(text) {
    setData(kSortRole, key);
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    const QVariant a = data(kSortRole), b = other.data(kSortRole);
    if (a.isValid() && b.isValid()) {
      if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double)
        return a.toDouble() < b.toDouble();
      return QVariant::compare(a, b) == QPartialOrdering::Less;
    }
    if (a.isValid() != b.isValid()) return a.isValid();
    return text() < other.text();
  }
};

QVariant Key(const std::optional<double>& value) {
  return value ? QVariant(*value) : QVariant();
}

QString Unit(TCellRule::Kind kind) {
  switch (kind) {
    case TCellRule::Kind::RpmAxis:
      return QLatin1Char(' ') + QCoreApplication::translate("TfrmCompare", "об/мин");
    case TCellRule::Kind::LoadAxis:
      return QLatin1Char(' ') + QCoreApplication::translate("TfrmCompare", "мс");
    case TCellRule::Kind::Temperature:
      return QStringLiteral(" °C");
    default:
      return {};
  }
}
}  // namespace

QString TableCaption(TTableId id) {
  switch (id) {
    case TTableId::FuelMain:
      return QCoreApplication::translate("TfrmCompare", "Топливо, частичные нагрузки");
    case TTableId::IgnMain:
      return QCoreApplication::translate("TfrmCompare", "Зажигание, частичные нагрузки");
    case TTableId::IgnXX:
      return QCoreApplication::translate("TfrmCompare", "Зажигание Х.Х.");
    case TTableId::FuelXX:
      return QCoreApplication::translate("TfrmCompare", "Топливо Х.Х.");
    case TTableId::IgnMax:
      return QCoreApplication::translate("TfrmCompare", "Зажигание, макс. нагрузка");
    case TTableId::FuelMax:
      return QCoreApplication::translate("TfrmCompare", "Топливо, макс. нагрузка");
    case TTableId::MAF:
      return QCoreApplication::translate("TfrmCompare", "ДМРВ");
    case TTableId::WarmUp:
      return QCoreApplication::translate("TfrmCompare", "Обороты при прогреве");
  }
  return {};
}

TfrmCompare::TfrmCompare(TCompareMarks& marks, QWidget* parent)
    : QWidget(parent, Qt::Window), fMarks(marks) {
  setObjectName(QStringLiteral("frmCompare"));
  setWindowTitle(tr("Сравнение с эталоном"));
  resize(780, 420);
  auto* layout = new QVBoxLayout(this);
  lCompareSummary = new QLabel(this);
  lCompareSummary->setObjectName(QStringLiteral("lCompareSummary"));
  layout->addWidget(lCompareSummary);
  cbOnlyDiffs = new QCheckBox(tr("только различия"), this);
  cbOnlyDiffs->setObjectName(QStringLiteral("cbOnlyDiffs"));
  cbOnlyDiffs->setChecked(true);
  layout->addWidget(cbOnlyDiffs);
  lvCompare = new QTableWidget(0, kColumns, this);
  lvCompare->setObjectName(QStringLiteral("lvCompare"));
  lvCompare->setHorizontalHeaderLabels(
      {tr("Таблица"), tr("Ячейка"), tr("Эталон"), tr("Текущее"), tr("Разница")});
  lvCompare->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvCompare->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvCompare->verticalHeader()->hide();
  lvCompare->setWordWrap(false);
  lvCompare->horizontalHeader()->setStretchLastSection(true);
  lvCompare->setColumnWidth(kTable, 190);
  lvCompare->setColumnWidth(kCell, 170);
  lvCompare->sortByColumn(kTable, Qt::AscendingOrder);
  lvCompare->setSortingEnabled(true);
  layout->addWidget(lvCompare);

  connect(cbOnlyDiffs, &QCheckBox::toggled, this, [this] { Rebuild(); });
  connect(&fMarks, &TCompareMarks::Changed, this, [this] {
    if (isVisible()) Rebuild();
  });
  connect(lvCompare, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    const QTableWidgetItem* item = lvCompare->item(row, kTable);
    if (!item) return;
    const QPoint cell = item->data(kCellRole).toPoint();
    if (cell.x() < 0) return;
    emit CellWanted(static_cast<TTableId>(item->data(kTableRole).toInt()), cell.x(), cell.y());
  });
}

void TfrmCompare::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Rebuild();
}

QString TfrmCompare::Place(const TCalTable& table, int col, int row) const {
  const QString where = QStringLiteral("[%1, %2]").arg(col).arg(row);
  if (table.IsFixed(col, row)) return where + QLatin1Char(' ') + tr("ось");
  QStringList axes;
  if (const auto rpm = table.ColumnAxis(col))
    axes << FloatToStr(*rpm) + Unit(table.Rule(col, 0).GetKind());
  if (const auto load = table.RowAxis(row))
    axes << FloatToStr(*load) + Unit(table.Rule(0, row).GetKind());
  return axes.isEmpty() ? where : where + QLatin1Char(' ') + axes.join(QStringLiteral(" × "));
}

void TfrmCompare::AddRow(const TCalTable& table, int col, int row, const Side& reference,
                         const Side& current) {
  const int line = lvCompare->rowCount();
  lvCompare->insertRow(line);
  // Sorted by this column, the rows go table by table, each in the order of its grid.
  auto* name = new TSortItem(TableCaption(table.id),
                             static_cast<int>(table.id) * 1000000 + std::max(row, 0) * 1000 + col);
  name->setData(kCellRole, QPoint(col, row));
  name->setData(kTableRole, static_cast<int>(table.id));
  lvCompare->setItem(line, kTable, name);
  lvCompare->setItem(line, kCell,
                     new TSortItem(col < 0 ? current.text : Place(table, col, row),
                                   col < 0 ? QVariant() : QVariant(row * 1000 + col)));
  if (col < 0) return;
  const std::optional<double>&ref = reference.value, &cur = current.value;
  lvCompare->setItem(line, kReference, new TSortItem(reference.text, Key(ref)));
  lvCompare->setItem(line, kCurrent, new TSortItem(current.text, Key(cur)));
  // At the precision the two texts show (1,07 against 1 differs by 0,07).
  std::optional<double> delta;
  if (ref && cur) delta = TextDifference(current.text, reference.text).value_or(*cur - *ref);
  QString deltaText;
  if (delta) deltaText = (*delta > 0 ? QStringLiteral("+") : QString()) + FloatToStr(*delta);
  lvCompare->setItem(line, kDifference, new TSortItem(deltaText, Key(delta)));
}

void TfrmCompare::AddTable(TTableId id) {
  const TTableDiff* diff = fMarks.Result().Table(id);
  if (!diff) return;
  const TCalTable current = fMarks.Current(id);
  if (!diff->comparable) {
    AddRow(current, -1, -1, {}, {tr("несравнима (%1)").arg(diff->reason), {}});
    return;
  }
  if (cbOnlyDiffs->isChecked()) {
    for (const TCellDiff& cell : diff->cells)
      AddRow(current, cell.col, cell.row, {cell.referenceText, cell.reference},
             {cell.currentText, cell.current});
    return;
  }
  const TCalTable& reference = fMarks.Reference()->Table(id);
  for (int r = 0; r < current.rows; ++r)
    for (int c = 0; c < current.cols; ++c)
      if (!current.Text(c, r).isEmpty() || !reference.Text(c, r).isEmpty())
        AddRow(current, c, r, {reference.Text(c, r), reference.Value(c, r)},
               {current.Text(c, r), current.Value(c, r)});
}

void TfrmCompare::Rebuild() {
  lvCompare->setSortingEnabled(false);
  lvCompare->setRowCount(0);
  if (!fMarks.Active()) {
    lCompareSummary->setText(tr("Эталон не открыт"));
    return;
  }
  const TCompareResult& result = fMarks.Result();
  QString summary = tr("Эталон: %1. Отличающихся ячеек: %2")
                        .arg(fMarks.ReferenceName())
                        .arg(result.DifferentCells());
  if (result.NotComparable() > 0)
    summary += tr(", несравнимых таблиц: %1").arg(result.NotComparable());
  lCompareSummary->setText(summary);
  for (int i = 0; i < kTableCount; ++i) AddTable(static_cast<TTableId>(i));
  lvCompare->setSortingEnabled(true);
}
