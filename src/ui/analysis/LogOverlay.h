#pragma once
// TLogOverlay: a log analysis laid over one part-load map grid. Each cell the log reached
// gets a bar along its lower edge, as long as the time the engine spent there allows (dark
// blue when the cell has records enough, grey when it has too few), so that the map's own
// colours, its text and the live mark stay readable. Hovering a cell shows its numbers.

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

#include "analysis/LogAnalysis.h"

class QPainter;
class QRect;
class TStringGrid;

class TLogOverlay : public QObject {
  Q_OBJECT
 public:
  TLogOverlay(QObject* parent, TStringGrid* grid);
  ~TLogOverlay() override;

  // Shows `analysis` over the grid (data cell (col, row) of it on grid cell (col+1, row+1)),
  // or nothing; `channel` names the gathered channel in the tooltips.
  void Show(const TLogAnalysis& analysis, const QString& channel);
  void Clear();
  bool Showing() const { return fAnalysis.has_value(); }
  const TLogAnalysis* Analysis() const { return fAnalysis ? &*fAnalysis : nullptr; }

  // The tooltip text of a grid cell; empty where the overlay says nothing.
  QString CellText(int col, int row) const;
  // Draws the mark of a grid cell (the grid's overlay hook).
  void Paint(QPainter& painter, const QRect& rect, int col, int row) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const TCellStats* Stats(int col, int row) const;

  QPointer<TStringGrid> fGrid;
  std::optional<TLogAnalysis> fAnalysis;
  QString fChannel;
  double fMaxSeconds = 0;
};
