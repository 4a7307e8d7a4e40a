#pragma once
// TfrmSurface (frm3D): the part-load map of the active page (fuel, or ignition on the
// ignition page) as a surface over its real rpm and load axes, coloured with the grid's
// colour scale. It follows every change of the calibration document at once (one cell is
// one point of the surface), shows the grid's selected cells and the live operating point, and a
// click on the surface makes that cell current in the grid. Where no OpenGL context can be made the
// window says so in one line instead.

#include <QPoint>
#include <QWidget>
#include <optional>
#include <vector>

#include "calibration/Calibration.h"

class QLabel;
class QTabWidget;
class QTimer;
class TMapEditors;
class TStringGrid;
struct TLiveMark;

class Q3DSurface;
class QSurface3DSeries;
class QCustom3DLabel;

// Whether this session can make an OpenGL context (no GPU driver, a remote session: no).
bool OpenGLAvailable();

class TfrmSurface : public QWidget {
  Q_OBJECT
 public:
  TfrmSurface(TMapEditors& maps, QTabWidget* pages, QWidget* fuelPage, QWidget* ignitionPage,
              const TLiveMark& live, QWidget* parent = nullptr);

  // The grid shown: the ignition map while its page is active, the fuel map otherwise.
  TStringGrid* Grid() const { return fGrid; }
  // Builds the surface anew from the document's table (page change, load, axis change).
  void Rebuild();
  bool HasGraph() const { return fGraph != nullptr; }
  Q3DSurface* Graph() const { return fGraph; }
  QSurface3DSeries* Series() const { return fSeries; }
  // The surface point (row, column of the data array) of a grid cell, and back; (-1, -1)
  // where there is none.
  QPoint PointOf(int col, int row) const;
  QPoint CellOf(const QPoint& point) const;
  // Whether the live operating point is shown, and where.
  bool LiveShown() const;

  QLabel* lNoGL = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildGraph();
  // The table shown, and the value the document holds for one of its cells.
  TTableId Shown() const;
  std::optional<double> CellValue(int col, int row) const;
  void FollowPage();
  void CellChanged(int row, int col);
  void ShowSelection();
  void ShowLive();
  void PointSelected(const QPoint& point);
  void ApplyGradient();

  TMapEditors& fMaps;
  QTabWidget* fPages;
  QWidget* fFuelPage;
  QWidget* fIgnitionPage;
  const TLiveMark& fLive;
  TStringGrid* fGrid = nullptr;
  Q3DSurface* fGraph = nullptr;
  QSurface3DSeries* fSeries = nullptr;
  QSurface3DSeries* fSelection = nullptr;
  QCustom3DLabel* fLiveLabel = nullptr;
  QTimer* fLiveTimer = nullptr;
  // Grid rows of the surface rows (load ascending) and grid columns of its columns.
  std::vector<int> fRows, fCols;
  bool fSelecting = false;
};
