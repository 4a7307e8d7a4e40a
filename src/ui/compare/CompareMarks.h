#pragma once
// TCompareMarks: a reference calibration beside the current one, and its marks on every
// table grid. A cell whose value differs from the reference gets a corner triangle and a
// dashed frame drawn over whatever the grid paints there (the colour scale included), so the
// mark reads without telling colours apart; its tooltip gives the reference value and the
// difference. The status strip counts the differing cells of all tables. The marks follow
// the calibration document: a table is compared again after each change the document
// accepted (an edit, an operation, an undo, a load), never from text still being typed.

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>

#include "calibration/Calibration.h"
#include "calibration/Compare.h"

class QPainter;
class QRect;
class TStatusStrip;
class TStringGrid;

class TCompareMarks : public QObject {
  Q_OBJECT
 public:
  // The grids of the eight tables in TTableId order, which show `current`.
  using Grids = std::array<TStringGrid*, kTableCount>;
  TCompareMarks(QObject* parent, const Grids& grids, TStatusStrip& strip,
                const TCalibration& current);
  ~TCompareMarks() override;

  // Starts comparing with `reference` (its file `name` for the captions) and marks the grids.
  void Start(std::unique_ptr<TCalibration> reference, const QString& name);
  // Ends the comparison: the marks, the tooltips and the count go.
  void End();
  bool Active() const { return fReference != nullptr; }
  const QString& ReferenceName() const { return fName; }
  const TCalibration* Reference() const { return fReference.get(); }

  // The current calibration's table (empty before a load).
  TCalTable Current(TTableId id) const;
  TStringGrid* Grid(TTableId id) const;
  // The comparison as of the last refresh (dirty tables are refreshed first).
  const TCompareResult& Result();
  // The tooltip of a marked cell ("эталон: X" and the difference); empty for others.
  QString ToolTip(TTableId id, int col, int row);

  // A table changed (an edit, an undo): its marks are computed again once the events
  // pending now have run, however many cells changed.
  void MarkDirty(TTableId id);
  void MarkAllDirty();
  // Computes the dirty tables now and repaints their grids.
  void Refresh();

  // Draws the mark of a differing cell over `rect`.
  static void PaintMark(QPainter& painter, const QRect& rect);

 signals:
  // The marks changed (refreshed, started or ended).
  void Changed();

 private:
  void Install(size_t index);
  void Uninstall();
  bool PaintCell(size_t index, QPainter& painter, const QRect& rect, int col, int row);
  void ShowCount();
  bool eventFilter(QObject* watched, QEvent* event) override;

  // Guarded: the frame may take the grids down before this part.
  std::array<QPointer<TStringGrid>, kTableCount> fGrids;
  std::array<std::function<bool(QPainter&, const QRect&, int, int)>, kTableCount> fPrevious;
  std::array<bool, kTableCount> fDirty{};
  bool fRefreshQueued = false;
  TStatusStrip& fStrip;
  const TCalibration& fCurrent;
  std::unique_ptr<TCalibration> fReference;
  QString fName;
  TCompareResult fResult;
};
