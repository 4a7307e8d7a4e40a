// TMafPage: the air-mass-meter table and its curve.
#include "ui/editors/MafPage.h"

#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <algorithm>
#include <vector>

#include "common/DecimalText.h"
#include "image/EfiOperator.h"
#include "ui/editors/PageParts.h"
#include "ui/editors/TableView.h"
#include "ui/widgets/CurvePlot.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/StringGrid.h"

using namespace PageParts;

TMafPage::TMafPage(QObject* parent, TCalibration& doc, TEditorState& state, QWidget* sheet,
                   QTabWidget* control)
    : QObject(parent), fSheet(sheet), fControl(control) {
  gbMAF = Group(sheet, "gbMAF", tr("Карта калибровки ДМРВ"), 4, 2, 670, 392);
  sgMAF = Grid(gbMAF, "sgMAF", 2, 256, 1, 0, QRect(8, 18, 170, 366));
  sgMAF->SetDefaultRowHeight(20);
  sgMAF->SetDefaultColWidth(64);
  sgMAF->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  TLineChart::Style mafStyle;
  mafStyle.lineColor = Qt::red;
  mafStyle.lineWidth = 2;
  mafStyle.yDecimals = 0;
  chrtMAF = Chart(gbMAF, "chrtMAF", mafStyle, QRect(184, 18, 478, 366));
  Text(gbMAF, tr("х 10 кг/час"), 560, 22)->setVisible(false);
  gbMAF->setVisible(false);
  PageButton(sheet, "sbECUMAF");

  // The meter's values are integers.
  fView = new TTableView(this, doc, TTableId::MAF, sgMAF,
                         {TCodedTable::MAF, true, false, true, false}, state);
  auto chart = [this] { DrawFromGrid(); };
  fView->SetFollowUps({{}, chart, chart, chart});
}

void TMafPage::LayOut(const TEFIOperator& efi) {
  const bool meter = efi.fVersion != 1;
  gbMAF->setVisible(meter);
  sgMAF->setEnabled(meter);
  fControl->setTabEnabled(fControl->indexOf(fSheet), meter);
  sgMAF->SetRowCount(std::max(efi.fMAFLength, 0));
}

void TMafPage::Plot(const TEFIOperator& efi) {
  // The curve: row number against meter value.
  if (efi.fVersion == 1 || efi.fMAFTable.empty()) return;
  const auto& maf = efi.fMAFTable;
  chrtMAF->SetXRange(maf.front(), maf.back() + 1);
  chrtMAF->SetYRange(0, static_cast<double>(maf.size()) - 1);
  chrtMAF->Clear();
  chrtMAF->MoveTo(maf.front(), 0);
  for (size_t n = 0; n < maf.size(); ++n) chrtMAF->LineTo(maf[n], static_cast<double>(n));
  chrtMAF->Show();
}

void TMafPage::DrawFromGrid() {
  // x: the meter values of column 1; y: the row numbers of column 0.
  std::vector<double> x, y;
  for (int n = 0; n < sgMAF->RowCount(); ++n) {
    x.push_back(StrToInt(sgMAF->Cell(1, n)));
    y.push_back(StrToInt(sgMAF->Cell(0, n)));
  }
  PlotCurve(*chrtMAF, x, y, 1, PenStart::LowerLeft);
}
