#pragma once
// TFullLoadPage: the full-load page: the full-load ignition (a curve with its chart in
// variant 1, a map with axes otherwise) and the full-load fuel curve with its chart.

#include <QCoreApplication>
#include <QObject>

class QWidget;
class TCalibration;
class TEFIOperator;
class TLineChart;
class TStringGrid;
class TTableView;
struct TEditorState;

class TFullLoadPage : public QObject {
  Q_DECLARE_TR_FUNCTIONS(TMapEditors)
 public:
  TFullLoadPage(QObject* parent, TCalibration& doc, TEditorState& state, QWidget* sheet);

  TTableView& IgnitionView() const { return *fIgnView; }
  TTableView& FuelView() const { return *fFuelView; }

  // Sizes the tables for the configuration of `efi` (before the load).
  void LayOut(const TEFIOperator& efi);
  // Draws the charts from the loaded tables.
  void Plot(const TEFIOperator& efi);
  // Redraw a chart from its grid.
  void DrawIgnitionFromGrid();
  void DrawFuelFromGrid();

 private:
  TEditorState& fState;
  TStringGrid* sgrdIgnMax = nullptr;
  TLineChart* chrtMaxIgn = nullptr;
  TStringGrid* sgrdFuelMax = nullptr;
  TLineChart* chrtMaxFuel = nullptr;
  TTableView* fIgnView = nullptr;
  TTableView* fFuelView = nullptr;
};
