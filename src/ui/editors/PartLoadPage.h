#pragma once
// TPartLoadPage: a part-load map page (fuel or ignition): the map in its group with the RPM
// and load captions, the key of its colour scale, and the scale itself: the range of the
// map's values in the document, the colour of each cell and the live operating-point mark.

#include <QCoreApplication>
#include <QObject>

#include "image/CodeRange.h"

class QPainter;
class QRect;
class QTabWidget;
class QWidget;
class TCalibration;
class TColorLegend;
class TEFIOperator;
class TStringGrid;
class TTableView;
struct TEditorState;
struct TLiveMark;

class TPartLoadPage : public QObject {
  Q_DECLARE_TR_FUNCTIONS(TMapEditors)
 public:
  enum class Kind { Fuel, Spark };
  // Builds the page on `sheet`; `control` is the page control it lies in, `live` the live
  // operating point the map marks.
  TPartLoadPage(QObject* parent, Kind kind, TCalibration& doc, TEditorState& state, QWidget* sheet,
                QTabWidget* control, const TLiveMark& live);

  TStringGrid* Grid() const { return fGrid; }
  TTableView& View() const { return *fView; }

  // Sizes the map for the configuration of `efi` (before the document is loaded).
  void LayOut(const TEFIOperator& efi);
  // What the map shows once the document is loaded: enabled, its range widened.
  void Show();
  // Takes the range from the document's values of the data cells (widened on each side
  // when `widen`) and shows the ends on the key.
  void RecomputeRange(bool widen);
  // The range the colours spread over now.
  TValueRange ColorRange() const { return {fLow, fHigh}; }

 private:
  bool Fuel() const { return fKind == Kind::Fuel; }
  int ColorIndex(double value) const;
  bool PaintCell(QPainter& painter, const QRect& rect, int col, int row) const;
  void Follow();

  Kind fKind;
  const TCalibration& fDoc;
  QWidget* fSheet;
  QTabWidget* fControl;
  const TLiveMark& fLive;
  TStringGrid* fGrid = nullptr;
  TColorLegend* fLegend = nullptr;
  TTableView* fView = nullptr;
  double fLow = 0, fHigh = 0;
};
