#pragma once
// TMafPage: the air-mass-meter page: the meter's table (row number against meter value)
// and its curve. Variant 1 units have no meter: the page's tab is then disabled.

#include <QCoreApplication>
#include <QObject>

class QGroupBox;
class QTabWidget;
class QWidget;
class TCalibration;
class TEFIOperator;
class TLineChart;
class TStringGrid;
class TTableView;
struct TEditorState;

class TMafPage : public QObject {
  Q_DECLARE_TR_FUNCTIONS(TMapEditors)
 public:
  // Builds the page on `sheet`, whose tab in `control` it enables and disables.
  TMafPage(QObject* parent, TCalibration& doc, TEditorState& state, QWidget* sheet,
           QTabWidget* control);

  TTableView& View() const { return *fView; }

  // Shows or hides the meter for the configuration of `efi` (before the load).
  void LayOut(const TEFIOperator& efi);
  // Draws the curve from the loaded table (not in variant 1).
  void Plot(const TEFIOperator& efi);
  // Redraws the curve from the grid.
  void DrawFromGrid();

 private:
  QWidget* fSheet;
  QTabWidget* fControl;
  QGroupBox* gbMAF = nullptr;
  TStringGrid* sgMAF = nullptr;
  TLineChart* chrtMAF = nullptr;
  TTableView* fView = nullptr;
};
