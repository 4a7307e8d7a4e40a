// TMapEditors: the pages composed, the fill and the collect, and the few things the
// editors take from the main window (the version label, the colour toggle, the modified
// mark).
#include "ui/editors/MapEditors.h"

#include <QLabel>
#include <QToolButton>
#include <algorithm>

#include "calibration/CalibrationSession.h"
#include "common/ShownText.h"
#include "image/EfiOperator.h"
#include "ui/editors/FullLoadPage.h"
#include "ui/editors/IdlePage.h"
#include "ui/editors/MafPage.h"
#include "ui/editors/PartLoadPage.h"
#include "ui/editors/SettingsPage.h"
#include "ui/widgets/StatusStrip.h"
#include "ui/widgets/StringGrid.h"

TMapEditors::TMapEditors(QObject* parent, TCalibrationSession& session, const Pages& pages,
                         TStatusStrip& strip, const TLiveMark& live)
    : QObject(parent), fSession(session), fEFI(session.Efi()), fStrip(strip), fDoc(session.Doc()) {
  setObjectName(QStringLiteral("MapEditors"));
  fState.variant = [this] { return fEFI.fVersion; };
  using Kind = TPartLoadPage::Kind;
  fFuel = new TPartLoadPage(this, Kind::Fuel, fDoc, fState, pages.fuel, pages.control, live);
  fIgnition =
      new TPartLoadPage(this, Kind::Spark, fDoc, fState, pages.ignition, pages.control, live);
  fIdle = new TIdlePage(this, fDoc, fState, pages.idle);
  fFullLoad = new TFullLoadPage(this, fDoc, fState, pages.fullLoad);
  fSettings = new TSettingsPage(this, fDoc, fState, pages.settings);
  fMaf = new TMafPage(this, fDoc, fState, pages.maf, pages.control);
  fViews = {&fFuel->View(),     &fIgnition->View(),         &fIdle->IgnitionView(),
            &fIdle->FuelView(), &fFullLoad->IgnitionView(), &fFullLoad->FuelView(),
            &fMaf->View(),      &fIdle->WarmUpView()};
  ConnectViews();
}

void TMapEditors::ConnectViews() {
  for (TTableView* view : fViews)
    connect(view, &TTableView::Entered, this, [this, view] { emit GridEntered(view->Grid()); });
  connect(&fDoc, &TCalibration::HistoryChanged, this,
          [this] { fStrip.ShowModified(fDoc.IsModified()); });
  QToolButton* toggle = fStrip.sbColorizeTable;
  connect(toggle, &QToolButton::clicked, this, [this, toggle] {
    fFuel->Grid()->Repaint();
    fIgnition->Grid()->Repaint();
    toggle->setToolTip(toggle->isChecked() ? tr("Убрать цветную градацию")
                                           : tr("Включить цветную градацию"));
  });
}

void TMapEditors::ShowVersionText(const QString& text) {
  // The version bytes come from the image file: control characters are shown escaped.
  fStrip.lVersion->setText(EscapeControls(text));
}

// --- Fill ---

void TMapEditors::FillGrids() {
  TEFIOperator& efi = fEFI;
  // Nothing to show without a model and an image.
  if (efi.fVersion <= 0 || efi.fImage.size() < 2) return;
  // What the fill sets in the widgets is the loaded state, not an edit.
  const TScopedFlag showing(fState.showing);
  ShowVersionText(efi.fVersionText);
  // Variant 1 has split part-load maps, the full-load ignition as a curve with its chart, no
  // air-mass meter, no idle fuel table and no CO trim; the others single maps, the
  // full-load ignition as a map with axes, the meter and the idle fuel table.
  fIdle->LayOut(efi);
  fFullLoad->LayOut(efi);
  fMaf->LayOut(efi);
  fFuel->LayOut(efi);
  fIgnition->LayOut(efi);
  fSettings->LayOut(efi);

  // The loaded calibration starts a new history; the grids show its texts.
  fSession.LoadDocument();
  for (TTableView* view : fViews) view->ShowAll();
  fFullLoad->Plot(efi);
  fIdle->Plot(efi);
  fSettings->ShowLoaded(efi);
  for (TPartLoadPage* map : {fFuel, fIgnition}) {
    map->Grid()->setEnabled(true);
    map->RecomputeRange(true);
  }
  fMaf->Plot(efi);
  fFuel->Grid()->Repaint();
  fIgnition->Grid()->Repaint();
  fSettings->TakeBaseline();
  emit TablesFilled();
}

// --- Collect ---

void TMapEditors::CollectGrids(uint8_t mode) {
  if (mode != 1) return;
  fSettings->CollectMaxRPM(fEFI);
  // The document's values, and a grid text it does not show (typed, not yet checked): a
  // change of the user's, held within the editors' limits; every other value keeps what it
  // was loaded or edited to.
  std::vector<TCalTable> tables = fDoc.Tables();
  for (TCalTable& table : tables) {
    const TStringGrid* grid = GridOf(table.id);
    for (int r = 0; r < std::min(table.rows, grid->RowCount()); ++r)
      for (int c = 0; c < std::min(table.cols, grid->ColCount()); ++c)
        if (grid->Cell(c, r) != table.Text(c, r)) table.SetUnchecked(c, r, grid->Cell(c, r));
  }
  fDoc.CollectTablesInto(tables, fEFI);
}

// --- What the other parts ask ---

TStringGrid* TMapEditors::GridOf(TTableId table) const {
  return View(table).Grid();
}

std::optional<TTableId> TMapEditors::TableOf(const QObject* grid) const {
  for (const TTableView* view : fViews)
    if (view->Grid() == grid) return view->Table();
  return std::nullopt;
}

void TMapEditors::FinishTyping(TStringGrid* grid) {
  if (const std::optional<TTableId> table = TableOf(grid)) View(*table).FinishTyping();
}

TValueRange TMapEditors::ColorRange(TTableId map) const {
  return (map == TTableId::IgnMain ? fIgnition : fFuel)->ColorRange();
}

void TMapEditors::FollowTable(TTableId table) {
  View(table).FollowChange();
}

bool TMapEditors::WideBand() const {
  return fSettings->WideBand();
}

TWideBandRange TMapEditors::LambdaRange() const {
  return fSettings->LambdaRange();
}
