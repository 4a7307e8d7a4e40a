#pragma once
// TPagedChart: a telemetry chart of four data curves and a cursor curve, drawn from the
// loaded log's records one page of 500 points at a time. The chart's series hold only the
// points of the page shown; each curve's smallest and largest value over the whole log are
// worked out once when the curve is filled, so moving the cursor costs the same for a log
// of three hundred records as for one of a million.

#include <QChartView>
#include <QColor>
#include <array>

#include "telemetry/LogReader.h"

class QLineSeries;
class QValueAxis;

class TPagedChart : public QChartView {
  Q_OBJECT
 public:
  static constexpr int kDataCurves = 4;
  static constexpr int kCursorCurve = 4;
  static constexpr int kPointsPerPage = 500;

  explicit TPagedChart(QWidget* parent = nullptr);

  // The records the curves are drawn from (not owned; nullptr for none). Pages are counted
  // over these records, so the three charts of the window page alike.
  void SetRecords(const TEFILogList* records);
  void SetCurveColor(int curve, QColor color);

  // Fills data curve `curve` with (Time, slot `slot`) of every record; a slot above 11
  // gives 0 for every record, a slot of 0 or less leaves the curve empty.
  void FillCurve(int curve, int slot);
  // Empties one curve (0 to 4).
  void ClearCurve(int curve);
  void ClearAll();
  // Number of points of a curve (the records for a filled data curve).
  int CurvePointCount(int curve) const;
  double CurveMin(int curve) const { return fCurves[curve].lo; }
  double CurveMax(int curve) const { return fCurves[curve].hi; }

  // Pages are numbered from 1; page n shows points (n - 1) * 500 to n * 500 - 1.
  int Page() const { return fPage; }
  int PageCount() const;
  void NextPage();
  void PreviousPage();
  void FirstPage();
  void LastPage();

  // The white vertical line at time x from the data curves' smallest value (0 at most)
  // to 1.05 times their largest (0 at least).
  void DrawCursor(double x);

  void SetValueLabelsVisible(int curve, bool visible);
  QLineSeries* Series(int curve) const { return fSeries[curve]; }
  QValueAxis* AxisX() const { return fAxisX; }
  QValueAxis* AxisY() const { return fAxisY; }

 private:
  struct Curve {
    int slot = 0;  // 0: empty
    double lo = 0, hi = 0;
  };
  double ValueOf(const LiveRecord& record, int slot) const {
    return slot < kLiveSlots ? record[slot] : 0.0;
  }
  void SetPage(int page);
  void ShowPage();
  void UpdateValueAxis();

  const TEFILogList* fRecords = nullptr;
  std::array<QLineSeries*, kDataCurves + 1> fSeries{};
  std::array<Curve, kDataCurves> fCurves{};
  QValueAxis* fAxisX = nullptr;
  QValueAxis* fAxisY = nullptr;
  int fPage = 1;
  bool fCursorShown = false;
};
