#pragma once
// TIdlePage: the idle page: the idle ignition table with its chart, the idle fuel table
// (not in variant 1) and the warm-up idle speeds.

#include <QCoreApplication>
#include <QObject>

class QGroupBox;
class QWidget;
class TCalibration;
class TEFIOperator;
class TLineChart;
class TStringGrid;
class TTableView;
struct TEditorState;

class TIdlePage : public QObject {
  Q_DECLARE_TR_FUNCTIONS(TMapEditors)
 public:
  TIdlePage(QObject* parent, TCalibration& doc, TEditorState& state, QWidget* sheet);

  TTableView& IgnitionView() const { return *fIgnView; }
  TTableView& FuelView() const { return *fFuelView; }
  TTableView& WarmUpView() const { return *fWarmUpView; }

  // Sizes and shows the tables for the configuration of `efi` (before the load).
  void LayOut(const TEFIOperator& efi);
  // Draws the idle ignition chart from the loaded tables.
  void Plot(const TEFIOperator& efi);
  // Redraws the idle ignition chart from the grid.
  void DrawIgnitionFromGrid();

 private:
  TStringGrid* sgrdIgnXX = nullptr;
  TLineChart* chrtXXIgn = nullptr;
  QGroupBox* gbFuelXX = nullptr;
  TStringGrid* sgrdFuelXX = nullptr;
  TStringGrid* sgrdRPMTempCorr = nullptr;
  TTableView* fIgnView = nullptr;
  TTableView* fFuelView = nullptr;
  TTableView* fWarmUpView = nullptr;
};
