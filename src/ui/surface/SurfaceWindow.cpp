// TfrmSurface: the 3D view of a part-load map.
#include "ui/surface/SurfaceWindow.h"

#include <QLabel>
#include <QLinearGradient>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QCustom3DLabel>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>
#include <algorithm>
#include <numeric>
#include <optional>

#include "common/DecimalText.h"
#include "telemetry/LiveCell.h"
#include "ui/editors/EditorRules.h"
#include "ui/editors/MapEditors.h"
#include "ui/editors/TableColors.h"
#include "ui/widgets/StringGrid.h"

namespace {
constexpr int kLivePollMs = 100;

}  // namespace

bool OpenGLAvailable() {
  QOpenGLContext context;
  if (!context.create()) return false;
  QOffscreenSurface surface;
  surface.setFormat(context.format());
  surface.create();
  const bool current = surface.isValid() && context.makeCurrent(&surface);
  if (current) context.doneCurrent();
  return current;
}

TfrmSurface::TfrmSurface(TMapEditors& maps, QTabWidget* pages, QWidget* fuelPage,
                         QWidget* ignitionPage, const TLiveMark& live, QWidget* parent)
    : QWidget(parent, Qt::Window),
      fMaps(maps),
      fPages(pages),
      fFuelPage(fuelPage),
      fIgnitionPage(ignitionPage),
      fLive(live) {
  setObjectName(QStringLiteral("frm3D"));
  setWindowTitle(tr("3D-вид карты"));
  resize(640, 480);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  if (!OpenGLAvailable()) {
    lNoGL = new QLabel(tr("3D-вид недоступен: не удалось создать контекст OpenGL."), this);
    lNoGL->setObjectName(QStringLiteral("lNoGL"));
    lNoGL->setAlignment(Qt::AlignCenter);
    layout->addWidget(lNoGL);
    return;
  }
  BuildGraph();
  fGrid = fMaps.GridOf(TTableId::FuelMain);
  // The surface follows the document: one accepted cell moves one point, and the surface
  // is never reloaded for it; text still being typed is not a value yet.
  connect(&fMaps.Doc(), &TCalibration::CellsChanged, this,
          [this](TTableId table, const std::vector<QPoint>& cells) {
            if (table != Shown() || !isVisible()) return;
            for (const QPoint& cell : cells) CellChanged(cell.y(), cell.x());
          });
  for (TStringGrid* grid : {fMaps.GridOf(TTableId::FuelMain), fMaps.GridOf(TTableId::IgnMain)}) {
    connect(grid, &QTableWidget::itemSelectionChanged, this, [this, grid] {
      if (grid == fGrid && isVisible()) ShowSelection();
    });
    connect(grid, &QTableWidget::currentCellChanged, this, [this, grid] {
      if (grid == fGrid && isVisible()) ShowSelection();
    });
  }
  connect(fPages, &QTabWidget::currentChanged, this, [this] {
    if (isVisible()) FollowPage();
  });
  connect(&fMaps, &TMapEditors::TablesFilled, this, [this] {
    if (isVisible()) Rebuild();
  });
  fLiveTimer = new QTimer(this);
  fLiveTimer->setInterval(kLivePollMs);
  connect(fLiveTimer, &QTimer::timeout, this, [this] { ShowLive(); });
}

void TfrmSurface::BuildGraph() {
  fGraph = new Q3DSurface;
  fGraph->setObjectName(QStringLiteral("grSurface"));
  QWidget* container = QWidget::createWindowContainer(fGraph, this);
  container->setMinimumSize(320, 240);
  layout()->addWidget(container);
  fGraph->axisX()->setTitle(tr("Обороты, об/мин"));
  fGraph->axisZ()->setTitle(tr("Нагрузка, мс"));
  for (QValue3DAxis* axis : {fGraph->axisX(), fGraph->axisY(), fGraph->axisZ()})
    axis->setTitleVisible(true);
  fGraph->setSelectionMode(QAbstract3DGraph::SelectionItem);
  // Seen from above and aside, as a map is judged; the mouse turns and zooms it.
  fGraph->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPresetIsometricRightHigh);
  fGraph->activeTheme()->setAmbientLightStrength(0.6f);
  // Both ground axes as long as each other, whatever their units (rpm against ms).
  fGraph->setHorizontalAspectRatio(1.0f);
  fSeries = new QSurface3DSeries;
  fSeries->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
  fSeries->setColorStyle(Q3DTheme::ColorStyleRangeGradient);
  fSeries->setFlatShadingEnabled(true);
  fGraph->addSeries(fSeries);
  // The selected block of the grid: its own wireframe over the surface.
  fSelection = new QSurface3DSeries;
  fSelection->setDrawMode(QSurface3DSeries::DrawWireframe);
  fSelection->setWireframeColor(Qt::white);
  fSelection->setBaseColor(Qt::white);
  fSelection->setVisible(false);
  fGraph->addSeries(fSelection);
  connect(fSeries, &QSurface3DSeries::selectedPointChanged, this,
          [this](const QPoint& point) { PointSelected(point); });
  fLiveLabel = new QCustom3DLabel;
  fLiveLabel->setText(QStringLiteral("● live"));
  fLiveLabel->setTextColor(Qt::white);
  fLiveLabel->setBackgroundColor(LiveMarkColor());
  fLiveLabel->setFacingCamera(true);
  fLiveLabel->setVisible(false);
  fGraph->addCustomItem(fLiveLabel);
}

void TfrmSurface::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!fGraph) return;
  FollowPage();
  fLiveTimer->start();
}

void TfrmSurface::FollowPage() {
  TStringGrid* wanted = fPages->currentWidget() == fIgnitionPage ? fMaps.GridOf(TTableId::IgnMain)
                                                                 : fMaps.GridOf(TTableId::FuelMain);
  if (wanted == fGrid && !fRows.empty()) return;
  fGrid = wanted;
  Rebuild();
}

void TfrmSurface::ApplyGradient() {
  const bool fuel = fGrid == fMaps.GridOf(TTableId::FuelMain);
  const TValueRange range = fMaps.ColorRange(fuel ? TTableId::FuelMain : TTableId::IgnMain);
  const double low = range.low;
  const double high = range.high;
  if (!(high > low)) return;
  // The grid's own colour of each height, sampled over the colour range, so the surface
  // reads as the grid does.
  QLinearGradient gradient;
  constexpr int kStops = 48;
  for (int i = 0; i <= kStops; ++i) {
    const double v = low + (high - low) * i / kStops;
    const int index = fuel ? FuelColorIndex(v, low, high) : SparkColorIndex(v, low, high);
    gradient.setColorAt(static_cast<double>(i) / kStops,
                        index < 0 ? QColor(Qt::black) : TableColors()[static_cast<size_t>(index)]);
  }
  fSeries->setBaseGradient(gradient);
  fGraph->axisY()->setRange(static_cast<float>(low), static_cast<float>(high));
}

TTableId TfrmSurface::Shown() const {
  return fGrid == fMaps.GridOf(TTableId::IgnMain) ? TTableId::IgnMain : TTableId::FuelMain;
}

std::optional<double> TfrmSurface::CellValue(int col, int row) const {
  const TCalibration& doc = fMaps.Doc();
  if (!doc.Loaded()) return std::nullopt;
  const TCalTable& table = doc.Table(Shown());
  if (!table.Contains(col, row)) return std::nullopt;
  return table.Value(col, row);
}

void TfrmSurface::Rebuild() {
  if (!fGraph || !fGrid) return;
  const bool fuel = fGrid == fMaps.GridOf(TTableId::FuelMain);
  setWindowTitle(tr("3D-вид карты: %1").arg(fuel ? tr("топливо") : tr("зажигание")));
  fGraph->axisY()->setTitle(fuel ? tr("Коэффициент топлива") : tr("Угол опережения, °"));
  fCols.clear();
  fRows.clear();
  const TCalTable empty;
  const TCalTable& table = fMaps.Doc().Loaded() ? fMaps.Doc().Table(Shown()) : empty;
  for (int c = table.fixedCols; c < table.cols; ++c)
    if (CellValue(c, 0)) fCols.push_back(c);
  for (int r = table.fixedRows; r < table.rows; ++r)
    if (CellValue(0, r)) fRows.push_back(r);
  // The surface wants both axes ascending: rpm along the columns, load along the rows (the
  // grid shows the highest load on top).
  auto byValue = [this](bool column) {
    return [this, column](int a, int b) {
      return column ? *CellValue(a, 0) < *CellValue(b, 0) : *CellValue(0, a) < *CellValue(0, b);
    };
  };
  std::stable_sort(fCols.begin(), fCols.end(), byValue(true));
  std::stable_sort(fRows.begin(), fRows.end(), byValue(false));
  auto* array = new QSurfaceDataArray;
  array->reserve(static_cast<qsizetype>(fRows.size()));
  for (int r : fRows) {
    auto* line = new QSurfaceDataRow(static_cast<qsizetype>(fCols.size()));
    const float z = static_cast<float>(*CellValue(0, r));
    for (size_t i = 0; i < fCols.size(); ++i) {
      const int c = fCols[i];
      (*line)[static_cast<qsizetype>(i)].setPosition(
          QVector3D(static_cast<float>(*CellValue(c, 0)),
                    static_cast<float>(CellValue(c, r).value_or(0)), z));
    }
    array->append(line);
  }
  fSeries->dataProxy()->resetArray(array);
  ApplyGradient();
  ShowSelection();
  ShowLive();
}

QPoint TfrmSurface::PointOf(int col, int row) const {
  const auto r = std::find(fRows.begin(), fRows.end(), row);
  const auto c = std::find(fCols.begin(), fCols.end(), col);
  if (r == fRows.end() || c == fCols.end()) return {-1, -1};
  return {static_cast<int>(r - fRows.begin()), static_cast<int>(c - fCols.begin())};
}

QPoint TfrmSurface::CellOf(const QPoint& point) const {
  if (point.x() < 0 || point.y() < 0 || point.x() >= static_cast<int>(fRows.size()) ||
      point.y() >= static_cast<int>(fCols.size()))
    return {-1, -1};
  return {fCols[static_cast<size_t>(point.y())], fRows[static_cast<size_t>(point.x())]};
}

void TfrmSurface::CellChanged(int row, int col) {
  const QPoint point = PointOf(col, row);
  if (point.x() < 0 || fGrid->IsFixed(col, row)) {
    // An axis breakpoint moves a whole line of points, or reorders them.
    if (fGrid->IsFixed(col, row)) Rebuild();
    return;
  }
  const auto value = CellValue(col, row);
  if (!value) return;
  QSurfaceDataItem item = *fSeries->dataProxy()->itemAt(point);
  QVector3D position = item.position();
  position.setY(static_cast<float>(*value));
  item.setPosition(position);
  fSeries->dataProxy()->setItem(point, item);
}

void TfrmSurface::ShowSelection() {
  if (!fGraph || fSelecting) return;
  fSelecting = true;
  fSeries->setSelectedPoint(PointOf(fGrid->Col(), fGrid->Row()));
  fSelecting = false;
  // A block of two or more rows and columns: the same points drawn again as a wireframe.
  const QList<QTableWidgetSelectionRange> ranges = fGrid->selectedRanges();
  std::vector<int> rows, cols;
  for (const QTableWidgetSelectionRange& range : ranges) {
    for (int r = range.topRow(); r <= range.bottomRow(); ++r)
      if (PointOf(fCols.empty() ? 0 : fCols.front(), r).x() >= 0) rows.push_back(r);
    for (int c = range.leftColumn(); c <= range.rightColumn(); ++c)
      if (PointOf(c, fRows.empty() ? 0 : fRows.front()).y() >= 0) cols.push_back(c);
  }
  auto* array = new QSurfaceDataArray;
  if (rows.size() >= 2 && cols.size() >= 2) {
    for (int r : fRows) {
      if (std::find(rows.begin(), rows.end(), r) == rows.end()) continue;
      auto* line = new QSurfaceDataRow;
      for (int c : fCols)
        if (std::find(cols.begin(), cols.end(), c) != cols.end())
          line->append(*fSeries->dataProxy()->itemAt(PointOf(c, r)));
      array->append(line);
    }
  }
  fSelection->dataProxy()->resetArray(array);
  fSelection->setVisible(!array->isEmpty());
}

void TfrmSurface::PointSelected(const QPoint& point) {
  if (fSelecting) return;
  const QPoint cell = CellOf(point);
  if (cell.x() < 0) return;
  fSelecting = true;
  fGrid->SelectCell(cell.x(), cell.y());
  fSelecting = false;
}

bool TfrmSurface::LiveShown() const {
  return fLiveLabel && fLiveLabel->isVisible();
}

void TfrmSurface::ShowLive() {
  if (!fGraph) return;
  const QPoint point = PointOf(fLive.LiveCellCol, fLive.LiveCellRow);
  const bool show = fLive.LiveLoopActive == 1 && point.x() >= 0;
  if (show) {
    QVector3D position = fSeries->dataProxy()->itemAt(point)->position();
    fLiveLabel->setPosition(position);
  }
  if (fLiveLabel->isVisible() != show) fLiveLabel->setVisible(show);
}
